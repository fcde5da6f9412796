#include "BarePages.h"

#include "StartTrace.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineView>

namespace {

void ShowView(QWebEngineView& view)
{
    view.resize(1000, 600);
    view.show();
    orvane::StartTrace::Mark(QStringLiteral("window shown"));
    QObject::connect(&view, &QWebEngineView::loadFinished, [] { orvane::StartTrace::Mark(QStringLiteral("page loaded")); });
}

}  // namespace

int RunBarePage(QApplication& app, const QString& ruffleDir, const QString& movie)
{
    const QString html = QStringLiteral(R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<style>html,body{margin:0;width:100%;height:100%}ruffle-player{width:100%;height:100%;display:block}</style>
<script>window.RufflePlayer = {config: {polyfills: false}};</script><script src="ruffle.js"></script></head>
<body><script>
window.zDataLoadEnd = () => { document.title = "zDataLoadEnd"; };
const player = window.RufflePlayer.newest().createPlayer();
document.body.appendChild(player);
player.load({url: %1, allowScriptAccess: true, autoplay: "on", unmuteOverlay: "hidden", splashScreen: false});
</script></body></html>)")
                             .arg("\"" + QUrl::fromLocalFile(QFileInfo(movie).absoluteFilePath()).toString() + "\"");
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::titleChanged, &app, [](const QString& title) {
        if (title == QLatin1String("zDataLoadEnd"))
            orvane::StartTrace::Mark(title);
    });
    ShowView(view);
    view.setHtml(html, QUrl::fromLocalFile(QDir(ruffleDir).filePath(QStringLiteral("bare.html"))));
    return app.exec();
}

int RunEmptyPage(QApplication& app)
{
    QWebEngineView view;
    ShowView(view);
    view.setHtml(QStringLiteral("<!DOCTYPE html><html><body></body></html>"));
    return app.exec();
}
