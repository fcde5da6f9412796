#pragma once
// The main window's resources (menu 130, toolbar 135, its bitmaps, icon 128)
// and the window calls that attach them. Each call can fail the way its
// Windows counterpart can; tests override them to inject those failures.

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QPixmap>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

enum : unsigned {
    IDR_MAINFRAME = 128,    // program icon
    IDR_MAIN_MENU = 130,
    IDR_MAIN_TOOLBAR = 135,
    IDB_TOOL_OPEN = 139,
    IDB_TOOL_SAVEAS = 140,
    IDB_TOOL_NEW = 141,
    IDB_TOOL_SAVE = 142,
    IDB_GET_PLAYER = 146,   // badge of the Flash Player notice
};

// Command ids of menu 130 and toolbar 135.
enum : unsigned {
    ID_MENU_FILE_SAVE = 32771,
    ID_MENU_FILE_EXIT = 32773,
    ID_MENU_ABOUT = 32775,
    ID_MENU_FILE_SAVEAS = 32776,
    ID_TOOL_FILE_NEW = 32777,
    ID_TOOL_FILE_OPEN = 32778,
    ID_TOOL_FILE_SAVE = 32779,
    ID_TOOL_FILE_SAVEAS = 32780,
    ID_MENU_FILE_OPEN = 32782,
    ID_MENU_FILE_NEW = 32783,
    ID_MENU_SVR_FILE_CHK = 32785,  // the server update check ("Version Check"), in the window menu
    // The bill of materials leaves the program; after the string table's ids.
    ID_MENU_FILE_EXPORT_BOM = 32808,
    ID_MENU_FILE_COPY_BOM = 32809,
    ID_MENU_FILE_PRINT_BOM = 32810,
    ID_MENU_NOTICES = 32811,  // 第三方组件许可
    ID_MENU_CATALOG_UPDATE = 32812,   // 更新产品目录…
    ID_MENU_CATALOG_RESTORE = 32813,  // 恢复随程序安装的产品目录
    ID_MENU_FILE_EXPORT_AML = 32814,  // 导出到工程软件…
};

namespace orvane {

struct MenuItemResource {
    unsigned commandId = 0;  // 0: separator
    const char* text = "";
};

struct MenuPopupResource {
    const char* text;
    std::vector<MenuItemResource> items;
};

using MenuResource = std::vector<MenuPopupResource>;

struct ToolBarResource {
    QSize buttonSize;
    std::vector<unsigned> commandIds;  // one per button, no separators
};

class WindowResources {
public:
    virtual ~WindowResources() = default;

    // nullopt when there is no menu resource of that id.
    virtual std::optional<MenuResource> LoadMenu(unsigned id);
    // Makes menuBar the window's menu. Null when it could not be attached.
    virtual QMenuBar* SetMenu(QMainWindow& window, std::unique_ptr<QMenuBar> menuBar);
    // A toolbar child of parent, or null when it could not be created.
    virtual QToolBar* CreateToolBar(QWidget& parent);
    // nullopt when there is no toolbar resource of that id.
    virtual std::optional<ToolBarResource> LoadToolBar(unsigned id);

    // The action of a command: its id as data, object name "ID_<id>".
    static QAction* CommandAction(QObject* parent, unsigned id, const QString& text);
    // The keys of a menu command: the platform's own; where it has none
    // (plain X11 has no Save As key, some platforms no Quit key), the one the
    // desktops share. None for a command without keys.
    static QList<QKeySequence> MenuShortcuts(unsigned id);

    // A menu bar of resource's popups and items, each popup handed to
    // onPopup; an item has its command's keys and runs onCommand(id).
    static std::unique_ptr<QMenuBar> BuildMenuBar(const MenuResource& resource,
                                                  const std::function<void(unsigned)>& onCommand,
                                                  const std::function<void(QMenu*)>& onPopup);
    // Fills toolBar with resource's buttons: images 0..3 (new, open, save,
    // save as), texts 32777.. and tooltips of the string table; a button
    // runs onCommand(id).
    static void FillToolBar(QToolBar& toolBar, const ToolBarResource& resource,
                            const std::function<void(unsigned)>& onCommand);

    // A toolbar bitmap with its light grey background made transparent.
    static QPixmap LoadToolBitmap(unsigned id);
    static QPixmap LoadBitmap(unsigned id);
    static QIcon LoadIcon(unsigned id);
};

}  // namespace orvane
