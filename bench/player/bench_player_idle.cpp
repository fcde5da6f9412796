// What the program costs while a selection sits open and nobody works, and
// how fast it answers when somebody does. The real `orvane` opens a selection
// file named on its command line; once it has been open and untouched for a
// while, the benchmark measures the CPU time of its whole process tree over a
// fixed window, as a percentage of one core. On an X display (under a window
// manager: tests/install/run_under_openbox.sh) it also measures the window
// minimised and fully covered by another window, and the input latency: from
// a synthetic click on a CPU row (XTest), and from a key typed into a
// quantity field, to the changed pixels being on the screen. Each click and
// key comes after a quiet spell, so it finds the program idle.
//
// Usage: bench_player_idle [rounds] [--variant LABEL@FOLDER]...
//   A variant is the orvane in FOLDER (the program folder of an earlier
//   build), measured in the same rounds as the build's own program.
// As root: QTWEBENGINE_DISABLE_SANDBOX=1. Offscreen (QT_QPA_PLATFORM=offscreen)
// only the idle cost is measured.
#include "ProcessTree.h"
#include "StartRun.h"
#include "X11Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace {

constexpr int kMeasureMs = 10000;  // each CPU window
constexpr int kSettleMs = 4000;    // untouched before a measurement (the player stays awake 2 s after input)
constexpr int kQuietMs = 2600;     // between one click or key and the next
constexpr int kPresses = 8;        // clicks and keys of each round
constexpr int kPixelTimeoutMs = 3000;

// In the movie (1000 x 600, at (4, client bottom - 604) in the window): two
// rows of the CPU list and the typed quantity of the second input module.
constexpr QPoint kCpuRows[] = {{60, 110}, {60, 132}};
const QRect kCpuRowsWatched(20, 95, 260, 50);
constexpr QPoint kQuantityField{591, 172};
const QRect kQuantityWatched(570, 160, 45, 25);
constexpr unsigned kDigitFive = '5', kBackSpace = 0xFF08;

struct Subject {
    QString name;
    QString program;
};

struct Figures {
    std::vector<double> idlePercent, minimisedPercent, coveredPercent, clickMs, keyMs;
};

void Wait(int ms) { QThread::msleep(ms); }

double TreeCpuPercent(qint64 pid, int windowMs)
{
    const double before = TreeCpuMs(pid);
    Wait(windowMs);
    return (TreeCpuMs(pid) - before) * 100.0 / windowMs;
}


// Milliseconds from an input to a change of the pixels in watched; nullopt when none came.
std::optional<double> Latency(const X11Desktop& desktop, QRect watched, const std::function<void()>& input)
{
    const QByteArray before = desktop.Pixels(watched);
    QElapsedTimer clock;
    clock.start();
    input();
    while (clock.elapsed() < kPixelTimeoutMs) {
        if (desktop.Pixels(watched) != before)
            return clock.nsecsElapsed() / 1e6;
        QThread::usleep(500);
    }
    return std::nullopt;
}

void MeasureOnDisplay(X11Desktop& desktop, qint64 pid, Figures& figures)
{
    std::optional<unsigned> window;
    for (int i = 0; i < 200 && !window; ++i, Wait(50))
        window = desktop.WindowOf(pid);
    if (!window) {
        std::fprintf(stderr, "the program's window was not found\n");
        return;
    }
    const QRect client = desktop.ClientArea(*window);
    const QPoint movie(client.left() + 4, client.bottom() + 1 - 604);
    const auto onScreen = [&](QRect area) { return area.translated(movie); };

    for (int i = 0; i < kPresses; ++i) {
        Wait(kQuietMs);
        const QPoint row = kCpuRows[i % 2] + movie;
        if (const auto ms = Latency(desktop, onScreen(kCpuRowsWatched), [&] { desktop.Click(row); }))
            figures.clickMs.push_back(*ms);
    }
    desktop.Click(kQuantityField + movie);
    for (int i = 0; i < kPresses; ++i) {
        Wait(kQuietMs);
        const unsigned key = i % 2 == 0 ? kDigitFive : kBackSpace;
        if (const auto ms = Latency(desktop, onScreen(kQuantityWatched), [&] { desktop.Key(key); }))
            figures.keyMs.push_back(*ms);
    }

    desktop.Minimise(*window);
    Wait(kSettleMs);
    figures.minimisedPercent.push_back(TreeCpuPercent(pid, kMeasureMs));
    desktop.Restore(*window);
    Wait(1000);
    desktop.Cover(true);
    Wait(kSettleMs);
    figures.coveredPercent.push_back(TreeCpuPercent(pid, kMeasureMs));
    desktop.Cover(false);
}

void MeasureRound(const Subject& subject, const QString& selectionFile, X11Desktop* desktop, Figures& figures)
{
    QTemporaryDir folder;
    StartRun run{subject.program, {selectionFile}, QProcessEnvironment::systemEnvironment(),
                 QStringLiteral("document opened")};
    // The clicks leave unsaved work, which the ended program keeps for its
    // next start: each start gets a state folder of its own.
    run.environment.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
    QProcess program;
    if (!StartUntilReady(program, run, folder.filePath(QStringLiteral("trace")))) {
        std::fprintf(stderr, "%s: the document did not open\n", qPrintable(subject.name));
        EndProcessTree(program);
        return;
    }
    Wait(kSettleMs);
    figures.idlePercent.push_back(TreeCpuPercent(program.processId(), kMeasureMs));
    if (desktop)
        MeasureOnDisplay(*desktop, program.processId(), figures);
    EndProcessTree(program);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString Spread(const std::vector<double>& values, const char* format)
{
    if (values.empty())
        return QStringLiteral("-");
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QString::asprintf(format, Median(values)) + QString::asprintf(" (") + QString::asprintf(format, *low) +
           QStringLiteral("-") + QString::asprintf(format, *high) + QStringLiteral(")");
}

void PrintFigures(const std::vector<Subject>& subjects, const std::map<QString, Figures>& figures)
{
    std::printf("\n%-14s %-22s %-22s %-22s %-26s %-26s\n", "subject", "idle % core", "minimised % core",
                "covered % core", "click to pixels ms", "key to pixels ms");
    for (const Subject& subject : subjects) {
        const Figures& f = figures.at(subject.name);
        std::printf("%-14s %-22s %-22s %-22s %-26s %-26s\n", qPrintable(subject.name),
                    qPrintable(Spread(f.idlePercent, "%.2f")), qPrintable(Spread(f.minimisedPercent, "%.2f")),
                    qPrintable(Spread(f.coveredPercent, "%.2f")), qPrintable(Spread(f.clickMs, "%.1f")),
                    qPrintable(Spread(f.keyMs, "%.1f")));
    }
    // Targets: the build's program against the limits and against the first variant (before).
    const Figures& now = figures.at(subjects.front().name);
    const auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    std::printf("\ntargets (%s):\n", qPrintable(subjects.front().name));
    std::printf("  idle <= 2 %%: %.2f %s\n", Median(now.idlePercent), verdict(Median(now.idlePercent) <= 2));
    if (!now.minimisedPercent.empty()) {
        const double hidden = std::max(Median(now.minimisedPercent), Median(now.coveredPercent));
        std::printf("  minimised or covered <= 0.5 %%: %.2f %s\n", hidden, verdict(hidden <= 0.5));
    }
    if (subjects.size() > 1 && !now.clickMs.empty()) {
        const Figures& before = figures.at(subjects[1].name);
        for (const auto& [what, mine, theirs] :
             {std::tuple{"click", &now.clickMs, &before.clickMs}, std::tuple{"key", &now.keyMs, &before.keyMs}}) {
            const double limit = Median(*theirs) * 1.10;
            std::printf("  %s latency median <= %s median + 10 %% (%.1f ms): %.1f %s\n", what,
                        qPrintable(subjects[1].name), limit, Median(*mine), verdict(Median(*mine) <= limit));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 3;
    std::vector<Subject> subjects{{QStringLiteral("program"), QStringLiteral(ORVANE_BIN_DIR "/orvane")}};
    const QStringList arguments = app.arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--variant") && i + 1 < arguments.size()) {
            const QString spec = arguments[++i];
            subjects.push_back({spec.section('@', 0, 0), QDir(spec.section('@', 1)).filePath(QStringLiteral("orvane"))});
        } else {
            rounds = std::max(1, arguments[i].toInt());
        }
    }
    QTemporaryDir folder;
    const QString selectionFile = folder.filePath(QStringLiteral("idle.zsr"));
    if (!WriteBenchSelection(selectionFile, QStringLiteral(ZSR_TOOL)))
        return 1;
    const bool offscreen = qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen");
    const std::unique_ptr<X11Desktop> desktop = offscreen ? nullptr : X11Desktop::Open();
    std::printf("%d rounds, %s\n", rounds, desktop ? "on an X display" : "offscreen (idle only)");

    std::map<QString, Figures> figures;
    for (int round = 0; round < rounds; ++round) {
        // Each round begins with another subject.
        for (std::size_t i = 0; i < subjects.size(); ++i) {
            const Subject& subject = subjects[(i + round) % subjects.size()];
            std::fprintf(stderr, "round %d: %s\n", round + 1, qPrintable(subject.name));
            MeasureRound(subject, selectionFile, desktop.get(), figures[subject.name]);
        }
    }
    PrintFigures(subjects, figures);
    return 0;
}
