#pragma once
// The keyboard back with the selection after a menu. Escape in a menu opened
// with Alt+F leaves Qt's menu bar holding the keyboard, its title marked, so
// Ctrl+Z or a digit typed next would go nowhere; when a menu of the window
// closes, the keyboard goes back to the movie, as before the menu opened.
// (Keys that came up in the menu or a dialog are the player page's to let go.)

#include <QObject>

class QMenu;
class QWidget;

namespace orvane {

class KeyboardReturn : public QObject {
    Q_OBJECT
public:
    // What the room needs of the window.
    struct Window {
        QWidget* window = nullptr;  // the main window
        QWidget* movie = nullptr;   // where the keyboard goes back to
    };

    explicit KeyboardReturn(Window window, QObject* parent = nullptr);

    // The keyboard goes back to the movie when menu closes.
    void Watch(QMenu* menu);

private:
    void MenuClosed();

    Window m_window;
};

}  // namespace orvane
