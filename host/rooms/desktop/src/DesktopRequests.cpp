#include "desktop/DesktopRequests.h"


#include <QApplication>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <xcb/xcb.h>

namespace orvane {

namespace {

// The path of a local file URL as the bytes of its name: the percent-encoded
// form keeps names that are not UTF-8, which QUrl's decoded path would not.
// nullopt for a file on another host.
std::optional<std::string> LocalPathBytes(const QUrl& url)
{
    if (!url.isLocalFile() || (!url.host().isEmpty() && url.host() != QLatin1String("localhost")))
        return std::nullopt;
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace

DesktopRequests::DesktopRequests(Window window, QObject* parent)
    : QObject(parent), m_window(std::move(window))
{
    setObjectName(QStringLiteral("desktopRequests"));
    m_window.window->setAcceptDrops(true);
    // Drops on the movie reach the window, never the player's page.
    QApplication::instance()->installEventFilter(this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!QueryEndSession(manager.allowsInteraction()))
            manager.cancel();
    });
    QApplication::instance()->installNativeEventFilter(this);
}

bool DesktopRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY)
        return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    const WId window = m_window.window->internalWinId();
    if (window != 0 && destroyed->window == window)
        QTimer::singleShot(0, this, &DesktopRequests::WindowDestroyedFromOutside);
    return false;
}

void DesktopRequests::WindowDestroyedFromOutside()
{
    // What is left of the window goes, and a new one takes its place.
    if (QWindow* native = m_window.window->windowHandle())
        native->destroy();
    m_window.window->hide();
    m_window.window->show();
    m_window.window->close();
}

std::optional<std::string> DesktopRequests::DroppedSelectionFile(const QMimeData* data)
{
    if (!data)
        return std::nullopt;
    for (const QUrl& url : data->urls()) {
        const std::optional<std::string> path = LocalPathBytes(url);
        if (path && path->size() > 4 && QByteArray::fromStdString(*path).toLower().endsWith(".zsr"))
            return path;
    }
    return std::nullopt;
}

bool DesktopRequests::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != m_window.window && !m_window.window->isAncestorOf(widget)))
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<std::string> path = DroppedSelectionFile(drop->mimeData());
    if (!path || !m_window.movieReady()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        m_window.openDropped(*path);
    return true;
}

bool DesktopRequests::QueryEndSession(bool interactionAllowed)
{
    if (!interactionAllowed) {
        // Nobody may be asked: unsaved work waits in the recovery copy.
        m_window.keepWork();
        return true;
    }
    bool mayEnd = false;
    // A command in progress (a dialog open, a save running) cannot be asked
    // to end: the logout is cancelled and the user finishes the command.
    const bool asked = m_window.runIfIdle([&] { mayEnd = m_window.confirmExit(); });
    return asked && mayEnd;
}

}  // namespace orvane
