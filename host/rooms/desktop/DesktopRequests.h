#pragma once
// What the desktop asks of the window besides its commands: a selection file
// dropped on it opens like Open, and a logout asks about unsaved work like
// closing the window.
//
// Drops: a local file whose name ends in ".zsr" (any case), dropped anywhere
// on the window, the movie included, is taken while the document commands
// are available; of several dropped files the first such one. Remote
// addresses and other files are refused. The name is kept as the bytes the
// file system holds, whatever their encoding.
// Logout: the session manager's request runs the exit check when nothing
// else runs; a logout that comes while a command runs is cancelled, and one
// that allows no questions keeps the unsaved work in the recovery copy.
// A window destroyed from outside (on X, by a window manager or a tool such
// as `xdotool windowclose`, without asking it to close): the window comes
// back at once and is closed as the close box closes it, save prompt
// included, so that the program never runs on without a window.

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QMainWindow;
class QMimeData;
class QSessionManager;

namespace orvane {

class DesktopRequests : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // What the requests need of the window.
    struct Window {
        QMainWindow* window = nullptr;
        // Whether the document commands are available.
        std::function<bool()> movieReady;
        // Opens a dropped file (after the save prompt) as a user action,
        // unless the commands are no longer available by its turn.
        std::function<void(const std::string& path)> openDropped;
        // Runs step now when no user action runs; false, and nothing ran, when one does.
        std::function<bool(const std::function<void()>& step)> runIfIdle;
        // The exit check; true when the session may end.
        std::function<bool()> confirmExit;
        // Keeps unsaved work where the next start finds it.
        std::function<void()> keepWork;
    };

    DesktopRequests(Window window, QObject* parent = nullptr);

    // The session manager's question before logging out; false cancels the logout.
    bool QueryEndSession(bool interactionAllowed);

    // The local selection file a drop carries, as the file system's bytes:
    // the first ".zsr" among the dropped files; nullopt when there is none.
    [[nodiscard]] static std::optional<std::string> DroppedSelectionFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Watches the display's events for the destruction of the window.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void WindowDestroyedFromOutside();

private:
    Window m_window;
};

}  // namespace orvane
