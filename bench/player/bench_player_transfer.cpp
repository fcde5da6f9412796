// A 10 MB selection-like text through the Flash control, against a raw
// transfer of the same text over the same channel (runJavaScript returning
// it from the same movie function, no XML, no bridge).
//
// Usage: bench_player_transfer [megabytes] [rounds]
// (as root: QTWEBENGINE_DISABLE_SANDBOX=1; under Xvfb or QT_QPA_PLATFORM=offscreen)
#include "PlayerControl.h"

#include <orvane/InvokeMessage.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString SelectionLikeText(qsizetype size)
{
    // Lines of a bill of materials: ASCII fields, Chinese names, a form feed
    // (which XML carries only as a reference), CR LF.
    const QString line = QString::fromUtf8("DI-16\t数字输入模块 16点 24V DC\tqty=4\tslot=2..5\t5V=70mA\t24V=0mA & <ok>\f\r\n");
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

QString Request(const QString& name, const QString& escapedArgument = {})
{
    if (escapedArgument.isNull())
        return "<invoke name=\"" + name + "\" returntype=\"xml\"/>";
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments><string>" + escapedArgument
           + "</string></arguments></invoke>";
}

QString Escaped(QString text)
{
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace("\r", "&#xD;")
        .replace("\f", "&#xC;");
}

QVariant RunAndWait(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    QEventLoop loop;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const qsizetype size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 10) * 1000 * 1000;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;

    const std::unique_ptr<CShockwaveFlash> shown = ShownPlayerControl();
    if (!shown) {
        std::fprintf(stderr, "cannot create the player\n");
        return 1;
    }
    CShockwaveFlash& control = *shown;
    QSignalSpy ready(&control, &CShockwaveFlash::FlashCall);
    control.LoadMovie(0, ECHO_MOVIE);
    if (!ready.wait(60000)) {
        std::fprintf(stderr, "the movie did not start\n");
        return 1;
    }
    auto* page = control.findChild<QWebEngineView*>()->page();

    const QString text = SelectionLikeText(size);
    const QString escaped = Escaped(text);
    const QString rawLoad = "document.querySelector('ruffle-player').store("
                            + QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)
                            + ")";
    std::vector<double> saveControl, saveRaw, loadControl, loadRaw;
    QElapsedTimer clock;
    for (int round = 0; round < rounds; ++round) {
        clock.start();
        control.CallFunction(Request("store", escaped));
        loadControl.push_back(clock.nsecsElapsed() / 1e6);

        clock.start();
        RunAndWait(page, rawLoad);
        loadRaw.push_back(clock.nsecsElapsed() / 1e6);

        clock.start();
        const QString reply = control.CallFunction(Request("fetch"));
        saveControl.push_back(clock.nsecsElapsed() / 1e6);
        std::string saved;  // as the host reads it, outside the timing
        if (orvane::ParseReturnString(reply.toStdString(), saved) != orvane::ReplyStatus::Ok || saved != text.toStdString()) {
            std::fprintf(stderr, "the host does not read back the text\n");
            return 1;
        }

        clock.start();
        const QString raw = RunAndWait(page, "document.querySelector('ruffle-player').fetch()").toString();
        saveRaw.push_back(clock.nsecsElapsed() / 1e6);
        if (raw != text) {
            std::fprintf(stderr, "raw transfer differs\n");
            return 1;
        }
        std::printf("round %d: save control %7.1f ms raw %7.1f ms | load control %7.1f ms raw %7.1f ms\n", round + 1,
                    saveControl.back(), saveRaw.back(), loadControl.back(), loadRaw.back());
    }
    std::printf("\n%lld characters (%lld bytes UTF-8), median of %d rounds\n", static_cast<long long>(text.size()),
                static_cast<long long>(text.toUtf8().size()), rounds);
    std::printf("zSave-like (movie -> host): CallFunction %.1f ms, raw runJavaScript %.1f ms, ratio %.2f (target <= 2)\n",
                Median(saveControl), Median(saveRaw), Median(saveControl) / Median(saveRaw));
    std::printf("zLoad-like (host -> movie): CallFunction %.1f ms, raw runJavaScript %.1f ms, ratio %.2f\n",
                Median(loadControl), Median(loadRaw), Median(loadControl) / Median(loadRaw));
    return 0;
}
