#include "desktop/WindowMenu.h"

#include "orvane/StringTable.h"

#include <QMenu>
#include <QShortcut>
#include <QWindow>

namespace orvane {

WindowMenu::WindowMenu(Window window)
    : QObject(window.window), m_window(std::move(window)), m_menu(new QMenu(m_window.window))
{
    QWidget* const owner = m_window.window;
    m_menu->setObjectName(QStringLiteral("windowMenu"));
    QAction* restore = m_menu->addAction(QStringLiteral("还原(&R)"), owner, &QWidget::showNormal);
    m_menu->addAction(QStringLiteral("移动(&M)"), owner, [owner] {
        if (QWindow* native = owner->windowHandle())
            native->startSystemMove();
    });
    m_menu->addAction(QStringLiteral("最小化(&N)"), owner, &QWidget::showMinimized);
    QAction* close = m_menu->addAction(QStringLiteral("关闭(&C)"), owner, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutVisibleInContextMenu(true);
    if (const std::string about = LoadResString(IDS_ABOUTBOX); !about.empty()) {
        m_menu->addSeparator();
        m_menu->addAction(QString::fromStdString(about), this, [this] { m_window.about(); });
    }
    m_menu->addAction(m_window.versionCheck);
    connect(m_menu, &QMenu::aboutToShow, this,
            [owner, restore] { restore->setEnabled(owner->isMinimized()); });

    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), owner);
    connect(shortcut, &QShortcut::activated, this,
            [this, owner] { m_menu->popup(owner->mapToGlobal(QPoint(0, 0))); });
}

void WindowMenu::AttachTo(QWidget* widget)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget](const QPoint& at) { m_menu->popup(widget->mapToGlobal(at)); });
}

}  // namespace orvane
