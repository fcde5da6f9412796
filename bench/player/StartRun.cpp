#include "StartRun.h"

#include "ProcessTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

std::map<QString, double> ReadStartTrace(const QString& path)
{
    std::map<QString, double> phases;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return phases;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab > 0)
            phases.emplace(QString::fromUtf8(line.mid(tab + 1)), line.left(tab).toDouble());
    }
    return phases;
}

namespace {

bool Alive(qint64 pid) { return QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }

}  // namespace

void EndProcessTree(QProcess& process)
{
    const std::vector<qint64> tree = ProcessTree(process.processId());
    for (const qint64 pid : tree)
        ::kill(pid_t(pid), SIGKILL);
    process.waitForFinished(5000);
    QElapsedTimer clock;
    clock.start();
    for (const qint64 pid : tree)
        while (Alive(pid) && clock.elapsed() < 5000)
            QThread::msleep(5);
}

bool StartUntilReady(QProcess& process, const StartRun& run, const QString& tracePath, int timeoutMs)
{
    QProcessEnvironment environment = run.environment;
    environment.insert(QStringLiteral("ORVANE_START_TRACE"), tracePath);
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(run.program, run.arguments);
    if (!process.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs && process.state() == QProcess::Running) {
        QThread::msleep(5);
        if (ReadStartTrace(tracePath).count(run.readyPhase))
            return true;
    }
    return false;
}

StartSample RunStart(const StartRun& run, int timeoutMs)
{
    QTemporaryDir folder;
    const QString tracePath = folder.filePath(QStringLiteral("trace"));
    QProcess process;
    StartSample sample;
    if (StartUntilReady(process, run, tracePath, timeoutMs)) {
        sample.pssMiB = TreePssMiBByKind(process.processId());
        sample.cpuMs = TreeCpuMs(process.processId());
        sample.ready = true;
    }
    EndProcessTree(process);
    sample.phaseMs = ReadStartTrace(tracePath);
    return sample;
}

bool WriteBenchSelection(const QString& path, const QString& zsrTool)
{
    QProcess zsr;
    zsr.start(zsrTool, {QStringLiteral("encode"), path});
    zsr.write("TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-DI16:3\nqty=ZX-EN01:1");
    zsr.closeWriteChannel();
    return zsr.waitForFinished(30000) && zsr.exitCode() == 0;
}
