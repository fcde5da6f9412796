// COrvaneDlg: window initialisation, menu, toolbar, window menu and layout.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/PathText.h"
#include "orvane/StringTable.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QToolBar>

namespace {
constexpr int kMovieWidth = 1000, kMovieHeight = 600, kMovieMargin = 4;  // the movie's place, in pixels
}  // namespace

bool COrvaneDlg::OnInitDialog()
{
    BuildWindowMenu();
    setWindowIcon(m_hIcon);
    m_recovery.Open();
    m_strErrCaption = orvane::LoadResString(orvane::IDS_ERR_CAPTION);
    m_strSaveCaption = orvane::LoadResString(orvane::IDS_SAVE_CAPTION);

    bool initialised = false;
    RunGuarded("COrvaneDlg::OnInitDialog()", [&] {
        const QString programDir = QFileInfo(m_env.executablePath).absolutePath();
        g_strAppPath = orvane::WithTrailingSlash(QDir::cleanPath(programDir).toStdString());

        const std::optional<orvane::MenuResource> menu = m_env.resources->LoadMenu(IDR_MAIN_MENU);
        if (!menu)
            return void(ReportInitFailure("m_wndMenu.LoadMenu()", "(#1001)"));
        const auto onCommand = std::bind_front(&COrvaneDlg::OnCommand, this);
        const auto watchMenu = std::bind_front(&orvane::KeyboardReturn::Watch, &m_keyboard);
        m_wndMenu = m_env.resources->SetMenu(
            *this, orvane::WindowResources::BuildMenuBar(*menu, onCommand, watchMenu));
        if (!m_wndMenu)
            return void(ReportInitFailure("SetMenu()", "(#1002)"));
        m_windowMenu->AttachTo(m_wndMenu);

        m_wndToolBar = m_env.resources->CreateToolBar(*m_client);
        if (!m_wndToolBar)
            return void(ReportInitFailure("m_wndToolBar.CreateEx", "(#1003)"));
        const std::optional<orvane::ToolBarResource> toolBar = m_env.resources->LoadToolBar(IDR_MAIN_TOOLBAR);
        if (!toolBar)
            return void(ReportInitFailure("m_wndToolBar.LoadToolBar()", "(#1004)"));
        orvane::WindowResources::FillToolBar(*m_wndToolBar, *toolBar, onCommand);
        m_windowMenu->AttachTo(m_wndToolBar);

        m_catalog.ServeChosenCatalog(g_strAppPath);
        const std::string moviePath = g_strAppPath + "orvane.swf";
        m_ctrlFlash.LoadMovie(0, QString::fromStdString(moviePath));
        m_ctrlFlash.Zoom(100);
        m_ctrlFlash.StopPlay();

        if (int systemError = 0; !_GetLocalVersionInf(m_verInf, &systemError))
            return void(ReportInitFailure("_GetLocalVersionInf()", "(#1006)", systemError));

        _EnableFileCommands(false);
        initialised = true;
    });
    // After a failed step the window has its fixed size and place as well.
    LayoutWindow();
    return initialised;
}

bool COrvaneDlg::ReportInitFailure(const char* step, const char* code, int systemError)
{
    const std::string text = orvane::MakeErrorText(code);
    REPORT_ERROR(g_ErrorLog, systemError, "COrvaneDlg::OnInitDialog()", step, text);
    // The window is up, laid out as far as it got, before a start-up message
    // appears over it.
    LayoutWindow();
    show();
    ShowError(text);
    return false;
}

void COrvaneDlg::BuildWindowMenu()
{
    if (m_windowMenu)
        return;
    QAction* versionCheck = orvane::WindowResources::CommandAction(
        this, ID_MENU_SVR_FILE_CHK, QString::fromStdString(orvane::LoadResString(orvane::IDS_SVR_FILE_CHK)));
    connect(versionCheck, &QAction::triggered, this,
            std::bind_front(&COrvaneDlg::OnCommand, this, ID_MENU_SVR_FILE_CHK));
    m_windowMenu = new orvane::WindowMenu(
        {this, std::bind_front(&COrvaneDlg::OnSysCommand, this, kSysCommandAbout), versionCheck});
    m_keyboard.Watch(m_windowMenu->Menu());
}

void COrvaneDlg::LayoutWindow()
{
    // Sizes are taken from styled widgets: polishing them at show time would change them.
    ensurePolished();
    // A start that failed before the toolbar existed lays out without it.
    const int toolBarHeight = m_wndToolBar ? m_wndToolBar->sizeHint().height() : 0;
    const int clientWidth = kMovieWidth + 2 * kMovieMargin;
    m_client->setFixedSize(clientWidth, toolBarHeight + kMovieHeight + 2 * kMovieMargin);
    m_ctrlFlash.setGeometry(kMovieMargin, toolBarHeight + kMovieMargin, kMovieWidth, kMovieHeight);
    m_ctrlFlash.Zoom(100);
    if (m_wndToolBar)
        m_wndToolBar->setGeometry(0, 0, clientWidth, toolBarHeight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The fixed size takes effect now, before the native window exists. A
    // size change at show time would place the window by its client area
    // (X11 static gravity), and the window manager would then put the frame
    // above and left of the screen's origin.
    layout()->activate();
    move(0, 0);  // the frame's top left, as long as the native window does not exist
}

void COrvaneDlg::KeepExitCommand()
{
    for (QAction* menu : m_wndMenu ? m_wndMenu->actions() : QList<QAction*>()) {
        bool kept = false;
        for (QAction* item : menu->menu() ? menu->menu()->actions() : QList<QAction*>()) {
            const bool exit = item->data().toUInt() == ID_MENU_FILE_EXIT;
            item->setEnabled(exit);
            kept = kept || exit;
        }
        menu->setEnabled(kept);
    }
}

bool COrvaneDlg::_EnableFileCommands(bool enable)
{
    // The menu bar's popups and the toolbar's buttons, of those that exist.
    for (QWidget* bar : {static_cast<QWidget*>(m_wndMenu), static_cast<QWidget*>(m_wndToolBar)}) {
        for (QAction* action : bar ? bar->actions() : QList<QAction*>())
            action->setEnabled(enable);
    }
    return true;
}
