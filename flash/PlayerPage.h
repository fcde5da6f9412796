#pragma once
// The web page that holds the player: it stays on its own document (no
// navigation, no new windows) and hands the console to the Flash log.

#include <QWebEnginePage>

namespace orvane {

class PlayerPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

    // Loads the shell document: the one navigation the page allows, once
    // for each call (a restarted player loads it again).
    void LoadShell(const QString& html, const QUrl& baseUrl);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

private:
    bool m_shellRequested = false;
};

}  // namespace orvane
