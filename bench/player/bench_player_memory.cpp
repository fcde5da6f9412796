// What a long session of opening, changing and saving costs in memory. The
// real `orvane` runs on an X display under a window manager
// (tests/install/run_under_openbox.sh) and is driven as a user drives it:
// Ctrl+O, the file's path typed into the program's file dialog and Enter, a
// click on a quantity's − or + in the movie, Ctrl+S. Every few cycles, at
// rest, the benchmark prints the PSS of the program's own process, of each of
// its engine processes and of the whole tree (the kernel's, the same counted
// among the tree alone, and its anonymous part), and at the end how they grew.
//
// Usage: bench_player_memory [cycles] [--file SELECTION.zsr] [--every CYCLES] [--program FOLDER]
//   cycles     1000 by default; --every 100 by default.
//   --file     a selection in module mode whose first module tab shows a module
//              in its second row (the benchmark's own selection has ZX-DI16 there);
//              a copy of it is opened and saved, never the file itself.
//   --program  the orvane of another program folder (an earlier build), for
//              figures before a change.
// As root: QTWEBENGINE_DISABLE_SANDBOX=1.
#include "ProcessTree.h"
#include "PssAlone.h"
#include "StartRun.h"
#include "X11Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

namespace {

constexpr int kStepTimeoutMs = 20000;
// Before a sample: at rest, as a user who stops to look. The player stays awake
// for 2 s after input, and the engine lets go of the shared buffers of its last
// frames 4 to 8 s after that (a few MB that would come and go from sample to sample).
constexpr int kRestMs = 10000;
// In the movie (1000 x 600, at (4, client bottom - 604) in the window): the − and +
// of the second module of the first tab, and the undo button, which a load greys and a
// change enables.
constexpr QPoint kLess{559, 172}, kMore{621, 172};
const QRect kUndoButton(565, 13, 50, 14);
constexpr unsigned kControl = 0xFFE3, kReturn = 0xFF0D;
constexpr double kMiBPerMB = 1e6 / (1024.0 * 1024.0);

struct Sample {
    int cycle = 0;
    double secondsPerCycle = 0;  // since the sample before
    std::vector<ProcessPss> processes;
    std::map<qint64, double> aloneMiB;  // PssAlone.h; empty when it cannot be read
};

// A figure of each process, in MiB.
struct Measure {
    const char* name;
    double (*of)(const Sample&, const ProcessPss&);
};

// The kernel's PSS, which moves as other programs of the same engine start and
// end; the same counted among the tree alone; and the anonymous part of the
// kernel's PSS (heaps, caches), which other programs cannot move.
constexpr Measure kPss{"PSS", [](const Sample&, const ProcessPss& process) { return process.pssMiB; }};
constexpr Measure kPssAlone{"PSS alone", [](const Sample& sample, const ProcessPss& process) {
                                const auto found = sample.aloneMiB.find(process.pid);
                                return found == sample.aloneMiB.end() ? 0.0 : found->second;
                            }};
constexpr Measure kAnonymous{"anonymous", [](const Sample&, const ProcessPss& process) { return process.anonMiB; }};

double TotalMiB(const Sample& sample, const Measure& measure)
{
    double total = 0;
    for (const ProcessPss& process : sample.processes)
        total += measure.of(sample, process);
    return total;
}

std::vector<Measure> MeasuresOf(const Sample& sample)
{
    if (sample.aloneMiB.empty())
        return {kPss, kAnonymous};
    return {kPss, kPssAlone, kAnonymous};
}

// Polls until done() holds; false when timeoutMs passed first.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = kStepTimeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's window and what the benchmark does in it.
class Session {
public:
    Session(X11Desktop& desktop, qint64 pid, unsigned window, QString file)
        : m_desktop(desktop), m_pid(pid), m_window(window), m_file(std::move(file))
    {
        const QRect client = m_desktop.ClientArea(m_window);
        m_movie = QPoint(client.left() + 4, client.bottom() + 1 - 604);
    }

    // A first change saved, so that the file holds the movie's own text and the undo
    // button is enabled, as every cycle leaves it. Returns the step that failed, or empty.
    QString Begin()
    {
        if (const QString failure = Change(kMore); !failure.isEmpty())
            return failure;
        return Save();
    }

    // Ctrl+O, the path typed into the file dialog, a click on − or +, Ctrl+S.
    // Returns the step that failed, or empty.
    QString Cycle(int cycle)
    {
        const QByteArray undoEnabled = UndoButton();
        m_desktop.Key('o', kControl);
        std::optional<unsigned> dialog;
        if (!WaitFor([&] { return (dialog = ActiveDialog()).has_value(); }))
            return QStringLiteral("Ctrl+O opened no dialog");
        if (const QString title = m_desktop.Title(*dialog); title != QStringLiteral("打开"))
            return QStringLiteral("Ctrl+O opened \"%1\", not the file dialog").arg(title);
        m_desktop.Type(m_file);
        m_desktop.Key(kReturn);
        if (!WaitFor([&] { return m_desktop.WindowsOf(m_pid).size() == 1; }))
            return QStringLiteral("the file dialog stayed open");
        if (!WaitFor([&] { return UndoButton() != undoEnabled; }))
            return QStringLiteral("the movie did not load the file (its undo button stayed as it was)");
        if (const QString failure = Change(cycle % 2 ? kLess : kMore); !failure.isEmpty())
            return failure;
        return Save();
    }

private:
    QByteArray UndoButton() const { return m_desktop.Pixels(kUndoButton.translated(m_movie)); }

    std::optional<unsigned> ActiveDialog() const
    {
        const std::optional<unsigned> active = m_desktop.ActiveWindow();
        const std::vector<unsigned> windows = m_desktop.WindowsOf(m_pid);
        if (!active || *active == m_window || std::find(windows.begin(), windows.end(), *active) == windows.end())
            return std::nullopt;
        return active;
    }

    QString Change(QPoint button)
    {
        const QByteArray undoBefore = UndoButton();
        m_desktop.Click(m_movie + button);
        if (!WaitFor([&] { return UndoButton() != undoBefore; }))
            return QStringLiteral("the click on the quantity changed nothing");
        return {};
    }

    QString Save()
    {
        const QByteArray before = FileBytes(m_file);
        m_desktop.Key('s', kControl);
        if (!WaitFor([&] {
                const QByteArray now = FileBytes(m_file);
                return !now.isEmpty() && now != before;
            }))
            return QStringLiteral("Ctrl+S wrote nothing new");
        return {};
    }

    X11Desktop& m_desktop;
    qint64 m_pid;
    unsigned m_window;
    QString m_file;
    QPoint m_movie;
};

void PrintSample(const Sample& sample, const Sample* previous)
{
    const auto samePids = [&] {
        return previous && std::equal(sample.processes.begin(), sample.processes.end(), previous->processes.begin(),
                                      previous->processes.end(),
                                      [](const ProcessPss& a, const ProcessPss& b) { return a.pid == b.pid; });
    };
    if (!samePids()) {
        std::printf("\n%6s %8s  %-10s", "cycle", "s/cycle", "MiB");
        for (const ProcessPss& process : sample.processes)
            std::printf(" %15s", qPrintable(QStringLiteral("%1 %2").arg(process.kind).arg(process.pid)));
        std::printf(" %9s\n", "total");
    }
    bool first = true;
    for (const Measure& measure : MeasuresOf(sample)) {
        if (first)
            std::printf("%6d %8.2f  %-10s", sample.cycle, sample.secondsPerCycle, measure.name);
        else
            std::printf("%6s %8s  %-10s", "", "", measure.name);
        first = false;
        for (const ProcessPss& process : sample.processes)
            std::printf(" %15.1f", measure.of(sample, process));
        std::printf(" %9.1f\n", TotalMiB(sample, measure));
    }
    std::fflush(stdout);
}

void PrintTargets(const std::vector<Sample>& samples, const Measure& measure)
{
    const auto at = [&](int cycle) {
        return std::find_if(samples.begin(), samples.end(), [cycle](const Sample& s) { return s.cycle == cycle; });
    };
    const Sample& start = *at(0);
    const Sample& hundred = *at(100);
    const Sample& last = samples.back();
    const auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    const auto program = [&](const Sample& s) { return measure.of(s, s.processes.front()); };
    const auto total = [&](const Sample& s) { return TotalMiB(s, measure); };
    const double firstGrowth = program(hundred) - program(start);
    const double laterGrowth = program(last) - program(hundred);
    const double laterLimit = 1 * kMiBPerMB * (last.cycle - 100) / 1000.0;
    std::printf("\ntargets, %s:\n", measure.name);
    std::printf("  program, cycle 0 to 100: %+.1f MiB (at most 5 MB = %.2f MiB) %s\n", firstGrowth, 5 * kMiBPerMB,
                verdict(firstGrowth <= 5 * kMiBPerMB));
    std::printf("  program, cycle 100 to %d: %+.1f MiB (at most 1 MB per 1,000 cycles = %.2f MiB) %s\n", last.cycle,
                laterGrowth, laterLimit, verdict(laterGrowth <= laterLimit));
    double farthest = 0, largestStep = 0;
    int farthestCycle = 100, stepCycle = 100;
    for (auto sample = at(100) + 1; sample != samples.end(); ++sample) {
        const double departure = (total(*sample) - total(hundred)) * 100.0 / total(hundred);
        if (std::abs(departure) > std::abs(farthest))
            farthest = departure, farthestCycle = sample->cycle;
        const double step = total(*sample) - total(*(sample - 1));
        if (std::abs(step) > std::abs(largestStep))
            largestStep = step, stepCycle = sample->cycle;
    }
    std::printf("  tree, cycle 100 to %d: farthest from cycle 100's %.1f MiB %+.1f %% at cycle %d (within 5 %%) %s\n",
                last.cycle, total(hundred), farthest, farthestCycle, verdict(std::abs(farthest) <= 5));
    std::printf("  tree: largest change from one sample to the next after cycle 100: %+.1f MiB, at cycle %d\n",
                largestStep, stepCycle);
}

struct Options {
    int cycles = 1000;
    int every = 100;
    QString file;
    QString program = QStringLiteral(ORVANE_BIN_DIR "/orvane");
};

Options ReadOptions(const QStringList& arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--file") && i + 1 < arguments.size())
            options.file = arguments[++i];
        else if (arguments[i] == QLatin1String("--program") && i + 1 < arguments.size())
            options.program = QDir(arguments[++i]).filePath(QStringLiteral("orvane"));
        else if (arguments[i] == QLatin1String("--every") && i + 1 < arguments.size())
            options.every = std::max(1, arguments[++i].toInt());
        else
            options.cycles = std::max(1, arguments[i].toInt());
    }
    return options;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Options options = ReadOptions(app.arguments().mid(1));
    const std::unique_ptr<X11Desktop> desktop = X11Desktop::Open();
    if (!desktop) {
        std::fprintf(stderr, "an X display with a window manager is needed (tests/install/run_under_openbox.sh)\n");
        return 2;
    }
    // The selection in a folder of its own, the program's working folder, where the
    // file dialog opens; settings and recovery copies in folders of their own.
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("files"));
    const QString file = folder.filePath(QStringLiteral("files/cycle.zsr"));
    if (options.file.isEmpty() ? !WriteBenchSelection(file, QStringLiteral(ZSR_TOOL))
                               : !QFile::copy(options.file, file)) {
        std::fprintf(stderr, "the selection could not be written to %s\n", qPrintable(file));
        return 2;
    }
    StartRun run{options.program, {file}, QProcessEnvironment::systemEnvironment(),
                 QStringLiteral("document opened")};
    run.environment.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
    run.environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    QProcess program;
    program.setWorkingDirectory(folder.filePath(QStringLiteral("files")));
    std::optional<unsigned> window;
    if (!StartUntilReady(program, run, folder.filePath(QStringLiteral("trace"))) ||
        !WaitFor([&] { return (window = desktop->WindowOf(program.processId())).has_value(); })) {
        std::fprintf(stderr, "the program did not open the selection\n");
        EndProcessTree(program);
        return 1;
    }
    QThread::msleep(kRestMs);
    Session session(*desktop, program.processId(), *window, file);
    QString failure = session.Begin();
    std::printf("%s: %d open / change / save cycles, PSS every %d\n", qPrintable(options.program), options.cycles,
                options.every);

    std::vector<Sample> samples;
    QElapsedTimer clock;
    const auto takeSample = [&](int cycle) {
        const double seconds = clock.isValid() ? clock.restart() / 1000.0 : 0;
        QThread::msleep(kRestMs);
        const int since = samples.empty() ? 0 : cycle - samples.back().cycle;
        const std::vector<ProcessPss> processes = TreePssMiB(program.processId());
        std::vector<qint64> pids;
        for (const ProcessPss& process : processes)
            pids.push_back(process.pid);
        samples.push_back({cycle, since > 0 ? seconds / since : 0, processes, PssAloneMiB(pids)});
        PrintSample(samples.back(), samples.size() > 1 ? &samples[samples.size() - 2] : nullptr);
        clock.start();
    };
    if (failure.isEmpty())
        takeSample(0);
    for (int cycle = 1; cycle <= options.cycles && failure.isEmpty(); ++cycle) {
        failure = session.Cycle(cycle);
        if (failure.isEmpty() && (cycle % options.every == 0 || cycle == options.cycles))
            takeSample(cycle);
        else if (!failure.isEmpty())
            failure = QStringLiteral("cycle %1: %2").arg(cycle).arg(failure);
    }
    EndProcessTree(program);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const bool sampledAtHundred = std::any_of(samples.begin(), samples.end(), [](const Sample& s) { return s.cycle == 100; });
    if (!sampledAtHundred || samples.back().cycle <= 100) {
        std::printf("\ntargets: they need a run of more than 100 cycles sampled at cycle 100\n");
        return 0;
    }
    for (const Measure& measure : MeasuresOf(samples.front()))
        PrintTargets(samples, measure);
    return 0;
}
