#pragma once
// The window's own menu: on Linux the window manager owns the title bar's
// menu, so the window brings one of its own with "还原", "移动", "最小化",
// "关闭" (Alt+F4), "版本" and the update check. It opens with a right click
// on the widgets it is attached to (the menu bar, the toolbar), and with
// Alt+Space where no window manager takes that key. It is never greyed.

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace orvane {

class WindowMenu : public QObject {
    Q_OBJECT
public:
    // What the menu needs of the window.
    struct Window {
        QWidget* window = nullptr;
        std::function<void()> about;  // "版本" (string 101); no item while the string is empty
        QAction* versionCheck = nullptr;  // the update check's command, last
    };

    explicit WindowMenu(Window window);

    QMenu* Menu() const { return m_menu; }
    // A right click on widget opens the menu.
    void AttachTo(QWidget* widget);

private:
    Window m_window;
    QMenu* m_menu;
};

}  // namespace orvane
