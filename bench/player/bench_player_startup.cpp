// Start-up of the program: the real `orvane` executable opening a selection
// file named on its command line (the movie orvane.swf with its catalogue),
// against a bare page of the same engine and Ruffle playing the same movie and
// an empty page of the same engine, in interleaved rounds. Prints the median
// time of each start-up phase (flash/StartTrace.h), the PSS at ready by process
// kind, and the ratios against the targets.
//
// Usage: bench_player_startup [rounds] [--variant LABEL[@FOLDER]:[VAR=VALUE[;VAR=VALUE...]]]...
//   Each variant is the program (or the orvane in FOLDER, such as the program
//   folder of an earlier build) started with those environment variables
//   added, measured in the same rounds.
// As root: QTWEBENGINE_DISABLE_SANDBOX=1. Offscreen (QT_QPA_PLATFORM=offscreen)
// or on an X display (tests/install/run_under_openbox.sh).
#include "BarePages.h"
#include "StartReport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {


// "LABEL[@FOLDER]:VAR=VALUE;VAR=VALUE" as a program subject with those variables added.
StartSubject ProgramVariant(const QString& spec, const StartRun& program)
{
    const qsizetype colon = spec.indexOf(':');
    const QString label = spec.left(colon);
    StartSubject variant{label.section('@', 0, 0), program, {}};
    if (label.contains('@'))
        variant.run.program = QDir(label.section('@', 1)).filePath(QStringLiteral("orvane"));
    for (const QString& assignment : spec.mid(colon + 1).split(';', Qt::SkipEmptyParts)) {
        const qsizetype equals = assignment.indexOf('=');
        variant.run.environment.insert(assignment.left(equals), assignment.mid(equals + 1));
    }
    return variant;
}

}  // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--bare" || mode == "--empty") {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return mode == "--bare" ? RunBarePage(app, QDir(ORVANE_BIN_DIR).filePath("ruffle"), ORVANE_BIN_DIR "/orvane.swf")
                                : RunEmptyPage(app);
    }

    QCoreApplication app(argc, argv);
    int rounds = 7;
    QStringList variants;
    for (int index = 1; index < argc; ++index) {
        if (QByteArray(argv[index]) == "--variant" && index + 1 < argc)
            variants << QString::fromLocal8Bit(argv[++index]);
        else
            rounds = QByteArray(argv[index]).toInt();
    }
    QTemporaryDir work;
    const QString selection = work.filePath(QStringLiteral("bench.zsr"));
    if (rounds < 1 || !WriteBenchSelection(selection, QStringLiteral(ZSR_TOOL))) {
        std::fprintf(stderr, "usage: bench_player_startup [rounds] [--variant LABEL[@FOLDER]:VAR=VALUE;...]...\n");
        return 2;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Recovery copies of the runs stay out of the user's folder.
    environment.insert(QStringLiteral("XDG_STATE_HOME"), work.filePath(QStringLiteral("state")));

    const StartRun program{ORVANE_BIN_DIR "/orvane", {selection}, environment, QStringLiteral("document opened")};
    std::vector<StartSubject> subjects{{QStringLiteral("program"), program, {}}};
    for (const QString& spec : variants)
        subjects.push_back(ProgramVariant(spec, program));
    const QString self = QCoreApplication::applicationFilePath();
    subjects.push_back({QStringLiteral("bare page"), {self, {"--bare"}, environment, QStringLiteral("zDataLoadEnd")}, {}});
    subjects.push_back({QStringLiteral("empty page"), {self, {"--empty"}, environment, QStringLiteral("page loaded")}, {}});

    // The first start of each fills the file cache.
    for (const StartSubject& subject : subjects)
        (void)RunStart(subject.run);
    for (int round = 0; round < rounds; ++round) {
        // Each round starts with another subject, so none always runs first.
        for (std::size_t step = 0; step < subjects.size(); ++step) {
            StartSubject& subject = subjects[(round + step) % subjects.size()];
            StartSample sample = RunStart(subject.run);
            if (!sample.ready) {
                std::fprintf(stderr, "%s never reached \"%s\"\n", qPrintable(subject.name),
                             qPrintable(subject.run.readyPhase));
                return 1;
            }
            std::printf("round %d %-12s ready %7.1f ms\n", round + 1, qPrintable(subject.name),
                        sample.phaseMs.at(subject.run.readyPhase));
            std::fflush(stdout);
            subject.samples.push_back(std::move(sample));
        }
    }

    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    std::printf("\nplatform: %s%s\n", qPrintable(platform),
                environment.contains(QStringLiteral("DISPLAY")) ? qPrintable(" on " + environment.value("DISPLAY")) : "");
    PrintPhaseTable(subjects);
    PrintMemoryTable(subjects);
    const std::vector<StartSubject> programs(subjects.begin(), subjects.end() - 2);
    PrintTargets(programs, subjects[subjects.size() - 2], subjects.back(), platform == "offscreen" ? 350 : 400);
    return 0;
}
