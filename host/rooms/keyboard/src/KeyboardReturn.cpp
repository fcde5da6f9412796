#include "keyboard/KeyboardReturn.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace orvane {

KeyboardReturn::KeyboardReturn(Window window, QObject* parent) : QObject(parent), m_window(window)
{
    setObjectName(QStringLiteral("keyboardReturn"));
}

void KeyboardReturn::Watch(QMenu* menu)
{
    // Queued: the menu bar takes the keyboard only once the menu has gone.
    connect(menu, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, &KeyboardReturn::MenuClosed); });
}

void KeyboardReturn::MenuClosed()
{
    // Another menu opened from this one (the arrows go from menu to menu)
    // keeps the keyboard.
    if (QApplication::activePopupWidget())
        return;
    // Escape on the menu bar leaves its keyboard mode and hands the keyboard
    // back to the widget that had it before Alt.
    if (auto* menuBar = qobject_cast<QMenuBar*>(m_window.window->focusWidget())) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(menuBar, &escape);
    }
    QWidget* focus = m_window.window->focusWidget();
    if (!focus || qobject_cast<QMenuBar*>(focus))
        m_window.movie->setFocus(Qt::PopupFocusReason);
}

}  // namespace orvane
