#include "WindowResources.h"

#include "orvane/StringTable.h"

#include <QAction>
#include <QBitmap>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace orvane {

namespace {

QString BitmapPath(unsigned id)
{
    switch (id) {
    case IDB_TOOL_OPEN: return QStringLiteral(":/res/tool_open.png");
    case IDB_TOOL_SAVEAS: return QStringLiteral(":/res/tool_saveas.png");
    case IDB_TOOL_NEW: return QStringLiteral(":/res/tool_new.png");
    case IDB_TOOL_SAVE: return QStringLiteral(":/res/tool_save.png");
    case IDB_GET_PLAYER: return QStringLiteral(":/res/get_player_badge.png");
    default: return {};
    }
}

}  // namespace

std::optional<MenuResource> WindowResources::LoadMenu(unsigned id)
{
    if (id != IDR_MAIN_MENU)
        return std::nullopt;
    return MenuResource{
        {"文件(&F)",
         {{ID_MENU_FILE_NEW, "新建"},
          {ID_MENU_FILE_OPEN, "打开..."},
          {ID_MENU_FILE_SAVE, "保存"},
          {ID_MENU_FILE_SAVEAS, "另存为..."},
          {},
          {ID_MENU_FILE_EXPORT_BOM, "导出物料清单…"},
          {ID_MENU_FILE_EXPORT_AML, "导出到工程软件…"},
          {ID_MENU_FILE_COPY_BOM, "复制物料清单"},
          {ID_MENU_FILE_PRINT_BOM, "打印…"},
          {},
          {ID_MENU_FILE_EXIT, "退出"}}},
        {"帮助(&H)",
         {{ID_MENU_ABOUT, "版本"},
          {0},
          {ID_MENU_CATALOG_UPDATE, "更新产品目录…"},
          {ID_MENU_CATALOG_RESTORE, "恢复随程序安装的产品目录"},
          {0},
          {ID_MENU_NOTICES, "第三方组件许可"}}},
    };
}

QMenuBar* WindowResources::SetMenu(QMainWindow& window, std::unique_ptr<QMenuBar> menuBar)
{
    QMenuBar* attached = menuBar.release();
    window.setMenuBar(attached);  // the window owns it from here on
    return attached;
}

QToolBar* WindowResources::CreateToolBar(QWidget& parent) { return new QToolBar(&parent); }

std::optional<ToolBarResource> WindowResources::LoadToolBar(unsigned id)
{
    if (id != IDR_MAIN_TOOLBAR)
        return std::nullopt;
    return ToolBarResource{QSize(16, 15),
                           {ID_TOOL_FILE_NEW, ID_TOOL_FILE_OPEN, ID_TOOL_FILE_SAVE, ID_TOOL_FILE_SAVEAS}};
}

QPixmap WindowResources::LoadToolBitmap(unsigned id)
{
    QPixmap bitmap = LoadBitmap(id);
    if (!bitmap.isNull())
        bitmap.setMask(bitmap.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
    return bitmap;
}

QPixmap WindowResources::LoadBitmap(unsigned id) { return QPixmap(BitmapPath(id)); }

QIcon WindowResources::LoadIcon(unsigned id)
{
    QIcon icon;
    if (id == IDR_MAINFRAME) {
        for (int size : {16, 32, 48})
            icon.addFile(QStringLiteral(":/res/orvane_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QAction* WindowResources::CommandAction(QObject* parent, unsigned id, const QString& text)
{
    auto* action = new QAction(text, parent);
    action->setData(id);
    action->setObjectName(QStringLiteral("ID_%1").arg(id));
    return action;
}

QList<QKeySequence> WindowResources::MenuShortcuts(unsigned id)
{
    struct StandardShortcut {
        unsigned id;
        QKeySequence::StandardKey key;
        QKeyCombination usual;
    };
    static constexpr StandardShortcut shortcuts[] = {
        {ID_MENU_FILE_NEW, QKeySequence::New, Qt::CTRL | Qt::Key_N},
        {ID_MENU_FILE_OPEN, QKeySequence::Open, Qt::CTRL | Qt::Key_O},
        {ID_MENU_FILE_SAVE, QKeySequence::Save, Qt::CTRL | Qt::Key_S},
        {ID_MENU_FILE_SAVEAS, QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S},
        {ID_MENU_FILE_PRINT_BOM, QKeySequence::Print, Qt::CTRL | Qt::Key_P},
        {ID_MENU_FILE_EXIT, QKeySequence::Quit, Qt::CTRL | Qt::Key_Q},
    };
    for (const StandardShortcut& shortcut : shortcuts) {
        if (shortcut.id != id)
            continue;
        QList<QKeySequence> keys = QKeySequence::keyBindings(shortcut.key);
        if (keys.isEmpty())
            keys.append(QKeySequence(shortcut.usual));
        return keys;
    }
    return {};
}

std::unique_ptr<QMenuBar> WindowResources::BuildMenuBar(const MenuResource& resource,
                                                       const std::function<void(unsigned)>& onCommand,
                                                       const std::function<void(QMenu*)>& onPopup)
{
    auto menuBar = std::make_unique<QMenuBar>();
    for (const MenuPopupResource& popupResource : resource) {
        QMenu* popup = menuBar->addMenu(QString::fromUtf8(popupResource.text));
        onPopup(popup);
        for (const MenuItemResource& item : popupResource.items) {
            if (item.commandId == 0) {
                popup->addSeparator();
                continue;
            }
            QAction* action = CommandAction(popup, item.commandId, QString::fromUtf8(item.text));
            action->setShortcuts(MenuShortcuts(item.commandId));
            popup->addAction(action);
            QObject::connect(action, &QAction::triggered, popup,
                             [onCommand, id = item.commandId] { onCommand(id); });
        }
    }
    return menuBar;
}

void WindowResources::FillToolBar(QToolBar& toolBar, const ToolBarResource& resource,
                                  const std::function<void(unsigned)>& onCommand)
{
    toolBar.setObjectName(QStringLiteral("toolbar135"));
    toolBar.setMovable(false);
    toolBar.setFloatable(false);
    toolBar.setIconSize(resource.buttonSize);
    toolBar.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const unsigned bitmaps[] = {IDB_TOOL_NEW, IDB_TOOL_OPEN, IDB_TOOL_SAVE, IDB_TOOL_SAVEAS};
    for (std::size_t index = 0; index < resource.commandIds.size(); ++index) {
        const unsigned id = resource.commandIds[index];
        QAction* action = CommandAction(
            &toolBar, id, QString::fromStdString(LoadResString(IDS_TOOL_FILE_NEW + unsigned(index))));
        if (index < std::size(bitmaps))
            action->setIcon(QIcon(LoadToolBitmap(bitmaps[index])));
        action->setToolTip(QString::fromStdString(LoadResString(id)));
        toolBar.addAction(action);
        QObject::connect(action, &QAction::triggered, &toolBar, [onCommand, id] { onCommand(id); });
    }
}

}  // namespace orvane
