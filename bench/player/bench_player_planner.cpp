// How long the real movie in the real player takes to answer a selection whose
// racks it plans or whose limits it finds remedies for: for I/O needs over the
// whole range the shipped catalogue can meet, with and without a reserve,
// demands no rack can take, and selections by module that run past limits, the
// movie's own time for "zLoad" (reading the text, planning the system, finding
// the remedies of the limit shown and painting the screen), between the marks
// it puts in the opt-in start trace, and the call's time as the host sees it;
// then the same with a catalogue ten times larger. Each figure is the median
// of the rounds, a call that does nothing ("zSave") given for the cost of the
// call itself.
//
// Usage: bench_player_planner [rounds]
// (ORVANE_BENCH_VERBOSE=1 names each selection on standard error before the movie is given it, and its time after)
// (as root: QTWEBENGINE_DISABLE_SANDBOX=1; under Xvfb or QT_QPA_PLATFORM=offscreen)
#include "PlayerControl.h"

#include <orvane/InvokeMessage.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Case {
    QString group;
    QString text;
};

struct Timing {
    QString group;
    std::vector<double> movie, call;  // one median per case
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString Escaped(QString text)
{
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
}

QString Request(const QString& name, const QString& argument = {})
{
    if (argument.isNull())
        return "<invoke name=\"" + name + "\" returntype=\"xml\"/>";
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments><string>" + Escaped(argument) +
           "</string></arguments></invoke>";
}

// I/O needs on a CPU that drives eight bases, from nothing to past what eight
// bases hold, with the default modules; `reserve` the selection text's line.
std::vector<Case> NeedCases(const QString& reserve)
{
    std::vector<Case> cases;
    for (int di = 0; di <= 1600; di += 160)
        for (int dout : {0, 160, 320})
            for (int ai : {0, 24})
                for (int ao : {0, 12}) {
                    const QString header = reserve.isEmpty() ? QStringLiteral("TZSEL/1") : QStringLiteral("TZSEL/4");
                    cases.push_back({{},
                                     header + "\nmode=io\ncpu=ZC-320\npower=ZP-P50\nbase=ZB-B12\n" + reserve +
                                         QStringLiteral("need=DI:%1,DO:%2,AI:%3,AO:%4").arg(di).arg(dout).arg(ai).arg(ao)});
                }
    return cases;
}

// By module, every limit of an expansion rack run past: slots, 5 V, 24 V, and the CPU's points and bases.
std::vector<Case> ModuleCases()
{
    const QString racks = QStringLiteral("TZSEL/3\nmode=module\ncpu=ZC-120\npower=ZP-P15\nbase=ZB-B04\nrack=ZB-E06/ZP-P15\n");
    std::vector<Case> cases;
    for (const char* modules : {"qty=ZX-DI16:14", "qty=ZX-DO16R:6", "qty=ZX-DI64:12\nqty=ZX-EN01:2", "qty=ZX-AI08:12\nqty=ZX-AO04:6"})
        cases.push_back({QStringLiteral("by module, limits run past"), racks + QString::fromLatin1(modules)});
    cases.push_back({QStringLiteral("by module, limits run past"), racks + "rack=ZB-E06/ZP-P15\nqty=ZX-DI16:20"});
    return cases;
}

// Engineers' plants, each a group of its own: a packaging line whose relay outputs draw more 24 V
// than its main rack gives, and plants whose racks the planner must fill to the CPU's eight bases
// with a 20 % reserve, on 16-point and on 32-point modules.
std::vector<Case> PlantCases()
{
    const QString reserve = QStringLiteral("reserve=slots:20,5V:20,24V:20,points:0\n");
    const QString plant = QStringLiteral("TZSEL/4\nmode=io\ncpu=ZC-320\npower=ZP-P50\nbase=ZB-B12\n") + reserve;
    const QString on16 = QStringLiteral("pick=DI:ZX-DI16,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04");
    const QString on32 = QStringLiteral("pick=DI:ZX-DI32,DO:ZX-DO32T,AI:ZX-AI04,AO:ZX-AO04");
    return {
        {QStringLiteral("packaging line"), QStringLiteral("TZSEL/1\nmode=io\ncpu=ZC-120\npower=ZP-P30\nbase=ZB-B12\n"
                                                          "need=DI:120,DO:80,AI:8,AO:4\npick=DI:ZX-DI16,DO:ZX-DO16R,AI:ZX-AI04,AO:ZX-AO04\nqty=ZX-EN01:1")},
        {QStringLiteral("plant 600/400/48/16, 16-point"), plant + "need=DI:600,DO:400,AI:48,AO:16\n" + on16},
        {QStringLiteral("plant 600/400/48/16, 32-point"), plant + "need=DI:600,DO:400,AI:48,AO:16\n" + on32},
        {QStringLiteral("plant 1000/800/96/32, 16-point"), plant + "need=DI:1000,DO:800,AI:96,AO:32\n" + on16},
        {QStringLiteral("plant 1000/800/96/32, 32-point"), plant + "need=DI:1000,DO:800,AI:96,AO:32\n" + on32},
    };
}

// The shipped catalogue ten times over: each item again under nine other
// codes and order numbers, its capacity and price a little different.
QByteArray TenTimesLarger(const QByteArray& shipped)
{
    const QString text = QString::fromUtf8(shipped);
    const qsizetype first = text.indexOf(QStringLiteral("<item"));
    const qsizetype end = text.indexOf(QStringLiteral("</catalog>"));
    QString items;
    const QRegularExpression item(QStringLiteral("<item [^>]*/>"));
    for (int copy = 0; copy < 10; ++copy) {
        for (auto match = item.globalMatch(text.mid(first, end - first)); match.hasNext();) {
            QString line = match.next().captured();
            if (copy > 0) {
                const QString suffix = QStringLiteral("-K%1").arg(copy);
                line.replace(QRegularExpression(QStringLiteral("code=\"([^\"]+)\"")), "code=\"\\1" + suffix + "\"");
                line.replace(QRegularExpression(QStringLiteral("order=\"([^\"]+)\"")), QStringLiteral("order=\"\\1/%1\"").arg(copy));
                line.replace(QRegularExpression(QStringLiteral("accessories=\"([^:]+):([0-9]+),([^:]+):([0-9]+)\"")),
                             "accessories=\"\\1" + suffix + ":\\2,\\3" + suffix + ":\\4\"");
                line.replace(QStringLiteral(" plan=\"1\""), QString());
                for (const char* figure : {"slots", "out5v", "price", "maxio"}) {
                    const QRegularExpression pattern(QStringLiteral("%1=\"([0-9]+)").arg(QLatin1String(figure)));
                    const auto found = pattern.match(line);
                    if (found.hasMatch() && !line.contains(QLatin1String("kind=\"di\"")) && !line.contains(QLatin1String("kind=\"do\"")))
                        line.replace(found.capturedStart(1), found.capturedLength(1),
                                     QString::number(found.captured(1).toInt() + copy * (QLatin1String(figure) == "slots" ? 1 : 10)));
                }
            }
            items += line + "\n";
        }
    }
    return (text.left(first) + items + text.mid(end)).toUtf8();
}

// The movie's own time between its trace marks "zLoad called" and "zLoad done", in ms.
double MovieTime(QWebEnginePage* page)
{
    QVariant marks;
    QEventLoop loop;
    page->runJavaScript(QStringLiteral("orvaneTakeTraceMarks()"), [&](const QVariant& value) {
        marks = value;
        loop.quit();
    });
    loop.exec();
    double called = 0, done = 0;
    for (const QVariant& mark : marks.toList()) {
        const QVariantList phaseAndTime = mark.toList();
        (phaseAndTime.value(0).toString() == QLatin1String("zLoad called") ? called : done) = phaseAndTime.value(1).toDouble();
    }
    return done - called;
}

// Plays `movie` and answers with the median times of "zLoad" for each case, grouped.
bool Measure(const QString& movie, const std::vector<Case>& cases, int rounds, std::vector<Timing>& timings, double& callCost)
{
    const std::unique_ptr<CShockwaveFlash> shown = ShownPlayerControl();
    if (!shown)
        return false;
    CShockwaveFlash& control = *shown;
    QSignalSpy calls(&control, &CShockwaveFlash::FlashCall);
    control.LoadMovie(0, movie);
    const auto ready = [&] {
        return std::any_of(calls.cbegin(), calls.cend(),
                           [](const QList<QVariant>& call) { return call.at(0).toString().contains(QLatin1String("zDataLoadEnd")); });
    };
    for (int waited = 0; !ready() && waited < 600; ++waited)
        calls.wait(100);
    if (!ready())
        return false;
    auto* page = control.findChild<QWebEngineView*>()->page();
    MovieTime(page);  // the start-up's marks
    QElapsedTimer clock;
    std::vector<double> saves;
    for (const Case& selection : cases) {
        std::vector<double> loads, movieTimes;
        for (int round = 0; round < rounds; ++round) {
            control.CallFunction(Request(QStringLiteral("zNewOpen")));
            if (qEnvironmentVariableIsSet("ORVANE_BENCH_VERBOSE"))
                std::fprintf(stderr, "selection: %s\n", qPrintable(QString(selection.text).replace('\n', '|')));
            clock.start();
            control.CallFunction(Request(QStringLiteral("zLoad"), selection.text));
            loads.push_back(clock.nsecsElapsed() / 1e6);
            movieTimes.push_back(MovieTime(page));
            if (qEnvironmentVariableIsSet("ORVANE_BENCH_VERBOSE"))
                std::fprintf(stderr, "  %.1f ms\n", movieTimes.back());
            clock.start();
            control.CallFunction(Request(QStringLiteral("zSave")));
            saves.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::string bill;
        orvane::ParseReturnString(control.CallFunction(Request(QStringLiteral("zBom"))).toStdString(), bill);
        const QString group = !selection.group.isEmpty() ? selection.group
                              : QString::fromStdString(bill).contains(QStringLiteral("I/O 需求无法满足"))
                                  ? QStringLiteral("by I/O need, beyond every rack")
                                  : selection.text.contains(QLatin1String("reserve=")) ? QStringLiteral("by I/O need, met, 20 % reserve")
                                                                                      : QStringLiteral("by I/O need, met");
        auto timing = std::find_if(timings.begin(), timings.end(), [&](const Timing& t) { return t.group == group; });
        if (timing == timings.end())
            timing = timings.insert(timings.end(), Timing{group, {}, {}});
        timing->movie.push_back(Median(movieTimes));
        timing->call.push_back(Median(loads));
    }
    callCost = Median(saves);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    QTemporaryDir trace;  // the player asks the movie for its marks only while a start trace is written
    qputenv("ORVANE_START_TRACE", trace.filePath(QStringLiteral("trace")).toLocal8Bit());

    std::vector<Case> cases = NeedCases({});
    for (Case& reserved : NeedCases(QStringLiteral("reserve=slots:20,5V:20,24V:20,points:20\n")))
        cases.push_back(std::move(reserved));
    for (Case& module : ModuleCases())
        cases.push_back(std::move(module));
    for (Case& plant : PlantCases())
        cases.push_back(std::move(plant));

    QTemporaryDir larger;
    QFile shipped(QStringLiteral(ORVANE_BIN_DIR "/orvane_catalog.xml"));
    QFile catalogue(larger.filePath(QStringLiteral("orvane_catalog.xml")));
    if (!larger.isValid() || !shipped.open(QIODevice::ReadOnly) || !catalogue.open(QIODevice::WriteOnly) ||
        catalogue.write(TenTimesLarger(shipped.readAll())) < 0 ||
        !QFile::link(QStringLiteral(ORVANE_BIN_DIR "/orvane.swf"), larger.filePath(QStringLiteral("orvane.swf"))) ||
        !QFile::link(QStringLiteral(ORVANE_BIN_DIR "/orvane_font.swf"), larger.filePath(QStringLiteral("orvane_font.swf")))) {
        std::fprintf(stderr, "cannot make the larger catalogue's folder\n");
        return 1;
    }
    catalogue.close();

    int status = 0;
    for (const auto& [name, folder, target] : {std::tuple<const char*, QString, double>{"shipped catalogue", QStringLiteral(ORVANE_BIN_DIR), 100},
                                               {"catalogue ten times larger", larger.path(), 1000}}) {
        std::vector<Timing> timings;
        double callCost = 0;
        if (!Measure(QDir(folder).filePath(QStringLiteral("orvane.swf")), cases, rounds, timings, callCost)) {
            std::fprintf(stderr, "%s: the movie did not start\n", name);
            return 1;
        }
        std::printf("%s, zLoad in ms, median of %d rounds per selection, the movie's own time (the call as the host sees it;"
                    " a call doing nothing: %.1f ms):\n", name, rounds, callCost);
        double slowest = 0;
        for (const Timing& timing : timings) {
            const double movieSlowest = *std::max_element(timing.movie.begin(), timing.movie.end());
            slowest = std::max(slowest, movieSlowest);
            std::printf("  %-34s %3zu selections: median %6.1f (%6.1f), slowest %6.1f (%6.1f)\n", timing.group.toUtf8().constData(),
                        timing.movie.size(), Median(timing.movie), Median(timing.call), movieSlowest,
                        *std::max_element(timing.call.begin(), timing.call.end()));
        }
        std::printf("  the movie's slowest %.1f ms (target <= %.0f ms): %s\n\n", slowest, target, slowest <= target ? "met" : "NOT MET");
        status |= slowest <= target ? 0 : 2;
    }
    return status;
}
