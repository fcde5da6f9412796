#include "PlayerPage.h"

#include "FlashLog.h"

namespace orvane {

Q_LOGGING_CATEGORY(lcFlash, "orvane.flash")
Q_LOGGING_CATEGORY(lcFlashPage, "orvane.flash.page", QtInfoMsg)

void PlayerPage::LoadShell(const QString& html, const QUrl& baseUrl)
{
    m_shellRequested = true;
    setHtml(html, baseUrl);
}

bool PlayerPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    // The shell document itself is the only navigation.
    if (isMainFrame && m_shellRequested) {
        m_shellRequested = false;
        return true;
    }
    qCWarning(lcFlash) << "Refused a navigation of the Flash movie to" << url.toString();
    return false;
}

void PlayerPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                          int lineNumber, const QString& sourceId)
{
    // Ruffle reports failures itself (its panic screen reaches the host);
    // the console, renderer fallbacks and audio notices included, is for debugging.
    qCDebug(lcFlashPage).noquote() << message << sourceId << lineNumber;
}

}  // namespace orvane
