#pragma once
// One start of a program that writes the start-up trace (flash/StartTrace.h):
// started with ORVANE_START_TRACE set, watched until the trace holds the ready
// phase, measured there and ended with all its processes.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <map>

struct StartRun {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment;
    QString readyPhase;  // the phase at which the start is over
};

struct StartSample {
    bool ready = false;
    std::map<QString, double> phaseMs;  // milliseconds since process start
    std::map<QString, double> pssMiB;   // at ready, by process kind
    double cpuMs = 0;                   // CPU time of all processes at ready
};

[[nodiscard]] StartSample RunStart(const StartRun& run, int timeoutMs = 60000);

// Starts run's program in process, its start-up trace written to tracePath,
// and waits until the trace holds the ready phase; false when the program
// ended or timeoutMs passed first.
[[nodiscard]] bool StartUntilReady(QProcess& process, const StartRun& run, const QString& tracePath,
                                   int timeoutMs = 60000);

// Writes the selection the benchmarks open (module mode, CPU, power supply,
// base and two kinds of module) to path with the zsr tool at zsrTool.
[[nodiscard]] bool WriteBenchSelection(const QString& path, const QString& zsrTool);

// The phases of a start-up trace file, in ms since process start.
[[nodiscard]] std::map<QString, double> ReadStartTrace(const QString& path);

// Ends the program and every process it started, and waits until they are
// gone, so that the next start has the machine to itself.
void EndProcessTree(QProcess& process);
