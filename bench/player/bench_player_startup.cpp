// Start-up of the Flash control: time from process start to the movie's
// first ExternalInterface call through the full control (CShockwaveFlash with
// RufflePlayer), against the same movie in a bare page of the same engine
// and player; and the PSS of the process tree when the movie is ready.
//
// Usage: bench_player_startup [movie.swf] [rounds]
// (as root: QTWEBENGINE_DISABLE_SANDBOX=1; under Xvfb or QT_QPA_PLATFORM=offscreen)
#include "InitialProperties.h"
#include "RufflePlayerFactory.h"
#include "ShockwaveFlash.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

void ReportReady()
{
    std::printf("READY\n");
    std::fflush(stdout);
}

int RunControl(QApplication& app, const QString& movie)
{
    FlashCreateResult created = RufflePlayerFactory(ORVANE_BIN_DIR)();
    if (created.status != FlashCreateStatus::Ok)
        return 2;
    CShockwaveFlash control;
    control.Attach(std::move(created.player), ControlInitialPropertiesBlock());
    QObject::connect(&control, &CShockwaveFlash::FlashCall, &app, [] { ReportReady(); }, Qt::SingleShotConnection);
    control.resize(1000, 600);
    control.show();
    control.LoadMovie(0, movie);
    control.Zoom(100);
    control.StopPlay();
    return app.exec();
}

// The same player in the smallest page that plays the movie: the movie's
// first ExternalInterface call (any name) sets the title.
int RunBarePage(QApplication& app, const QString& movie)
{
    const QString runtime = QDir(ORVANE_BIN_DIR).filePath("ruffle");
    const QString html = QStringLiteral(R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<style>html,body{margin:0;width:100%;height:100%}ruffle-player{width:100%;height:100%;display:block}</style>
<script>window.RufflePlayer = {config: {polyfills: false}};</script><script src="ruffle.js"></script></head>
<body><script>
const reached = () => { document.title = "READY"; };
window.movieReady = reached; window.zDataLoadEnd = reached;
const player = window.RufflePlayer.newest().createPlayer();
document.body.appendChild(player);
player.load({url: %1, allowScriptAccess: true, autoplay: "on", unmuteOverlay: "hidden", splashScreen: false});
</script></body></html>)")
                             .arg("\"" + QUrl::fromLocalFile(QFileInfo(movie).absoluteFilePath()).toString() + "\"");
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::titleChanged, &app, [](const QString& title) {
        if (title == QLatin1String("READY"))
            ReportReady();
    });
    view.resize(1000, 600);
    view.show();
    view.setHtml(html, QUrl::fromLocalFile(QDir(runtime).filePath("bare.html")));
    return app.exec();
}

// PSS in KiB of a process and all its descendants.
qint64 TreePssKiB(qint64 root)
{
    std::multimap<qint64, qint64> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.emplace(fields[1].toLongLong(), pid);
    }
    qint64 total = 0;
    std::vector<qint64> pending{root};
    while (!pending.empty()) {
        const qint64 pid = pending.back();
        pending.pop_back();
        QFile rollup(QString("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            for (const QByteArray& line : rollup.readAll().split('\n'))
                if (line.startsWith("Pss:"))
                    total += line.mid(4).trimmed().split(' ').first().toLongLong();
        for (auto [it, end] = children.equal_range(pid); it != end; ++it)
            pending.push_back(it->second);
    }
    return total;
}

struct Sample {
    double readyMs = -1;
    double pssMiB = 0;
};

Sample Measure(const QString& mode, const QString& movie)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {mode, movie});
    Sample sample;
    QByteArray out;
    while (clock.elapsed() < 60000 && child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(50);
        out += child.readAllStandardOutput();
        if (out.contains("READY")) {
            sample.readyMs = clock.nsecsElapsed() / 1e6;
            sample.pssMiB = TreePssKiB(child.processId()) / 1024.0;
            break;
        }
    }
    child.kill();
    child.waitForFinished(5000);
    return sample;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && (QByteArray(argv[1]) == "--control" || QByteArray(argv[1]) == "--bare")) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return QByteArray(argv[1]) == "--control" ? RunControl(app, argv[2]) : RunBarePage(app, argv[2]);
    }

    QCoreApplication app(argc, argv);
    const QString movie = argc > 1 ? argv[1] : ECHO_MOVIE;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    std::vector<double> control, bare, controlPss, barePss;
    Measure("--control", movie);  // warm the file cache
    for (int round = 0; round < rounds; ++round) {
        for (const bool isControl : {true, false}) {
            const Sample sample = Measure(isControl ? "--control" : "--bare", movie);
            if (sample.readyMs < 0) {
                std::fprintf(stderr, "%s: the movie never called out\n", isControl ? "control" : "bare page");
                return 1;
            }
            (isControl ? control : bare).push_back(sample.readyMs);
            (isControl ? controlPss : barePss).push_back(sample.pssMiB);
            std::printf("round %d %-9s ready %7.1f ms   PSS %6.1f MiB\n", round + 1, isControl ? "control" : "bare",
                        sample.readyMs, sample.pssMiB);
        }
    }
    const double ratio = Median(control) / Median(bare);
    std::printf("\nmovie: %s\n", qPrintable(movie));
    std::printf("start to first ExternalInterface call, median of %d: control %.1f ms, bare page %.1f ms\n", rounds,
                Median(control), Median(bare));
    std::printf("ratio control / bare: %.2f (target <= 1.2)\n", ratio);
    std::printf("PSS of the process tree at ready: control peak %.1f MiB (median %.1f), bare median %.1f MiB "
                "(target <= 400 MiB)\n",
                *std::max_element(controlPss.begin(), controlPss.end()), Median(controlPss), Median(barePss));
    return 0;
}
