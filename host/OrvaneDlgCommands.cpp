// COrvaneDlg: command routing, the handlers, closing and the exit check,
// timer 1, drops and the server update check. Every handler runs as a user
// action (orvane::UserActions) inside the handler guard; the document commands
// are the session's (orvane::DocumentSession).
#include "OrvaneDlg.h"

#include "AboutDlg.h"
#include "ThirdPartyNoticesDialog.h"

#include "orvane/StringTable.h"

namespace {

struct CommandRoute {
    unsigned id;
    void (COrvaneDlg::*handler)();
};
struct RoomCommand {
    unsigned id;
    const char* label;  // of the handler guard
    std::function<void()> run;
};

}  // namespace

void COrvaneDlg::OnCommand(unsigned id)
{
    static constexpr CommandRoute routes[] = {
        {ID_MENU_FILE_NEW, &COrvaneDlg::OnMenuFileNew},
        {ID_TOOL_FILE_NEW, &COrvaneDlg::OnToolFileNew},
        {ID_MENU_FILE_OPEN, &COrvaneDlg::OnMenuFileOpen},
        {ID_TOOL_FILE_OPEN, &COrvaneDlg::OnToolFileOpen},
        {ID_MENU_FILE_SAVE, &COrvaneDlg::OnMenuFileSave},
        {ID_TOOL_FILE_SAVE, &COrvaneDlg::OnToolFileSave},
        {ID_MENU_FILE_SAVEAS, &COrvaneDlg::OnMenuFileSaveAs},
        {ID_TOOL_FILE_SAVEAS, &COrvaneDlg::OnToolFileSaveAs},
        {ID_MENU_FILE_EXIT, &COrvaneDlg::OnMenuFileExit},
        {ID_MENU_ABOUT, &COrvaneDlg::OnMenuAbout},
        {ID_MENU_SVR_FILE_CHK, &COrvaneDlg::OnMenuSvrFileChk},
    };
    for (const CommandRoute& route : routes) {
        if (route.id == id)
            return m_actions.Run([this, handler = route.handler] { (this->*handler)(); });
    }
    // The rooms' commands, each guarded under its own label.
    const RoomCommand roomCommands[] = {
        {ID_MENU_FILE_EXPORT_BOM, "COrvaneDlg::OnMenuFileExportBom()", [this] { m_bom.Export(); }},
        {ID_MENU_FILE_COPY_BOM, "COrvaneDlg::OnMenuFileCopyBom()", [this] { m_bom.Copy(); }},
        {ID_MENU_FILE_PRINT_BOM, "COrvaneDlg::OnMenuFilePrintBom()", [this] { m_bom.Print(); }},
        {ID_MENU_FILE_EXPORT_AML, "COrvaneDlg::OnMenuFileExportAml()", [this] { m_export.Export(); }},
        {ID_MENU_CATALOG_UPDATE, "COrvaneDlg::OnMenuCatalogUpdate()", [this] { m_catalog.Update(); }},
        {ID_MENU_CATALOG_RESTORE, "COrvaneDlg::OnMenuCatalogRestore()",
         [this] { m_catalog.RestoreShipped(); }},
        {ID_MENU_NOTICES, "COrvaneDlg::OnMenuNotices()",
         [this] { orvane::ThirdPartyNoticesDialog dialog(this); m_env.dialogs->RunModal(dialog); }},
    };
    for (const RoomCommand& command : roomCommands) {
        if (command.id == id)
            return m_actions.Run([this, command] { RunGuarded(command.label, command.run); });
    }
}

void COrvaneDlg::OnMenuFileNew() { RunGuarded("COrvaneDlg::OnMenuFileNew()", [this] { _FileNew(); }); }
void COrvaneDlg::OnToolFileNew() { RunGuarded("COrvaneDlg::OnToolFileNew()", [this] { _FileNew(); }); }
void COrvaneDlg::OnMenuFileOpen()
{
    RunGuarded("COrvaneDlg::OnMenuFileOpen()", [this] { _FileOpenCommand(); });
}
void COrvaneDlg::OnToolFileOpen()
{
    RunGuarded("COrvaneDlg::OnToolFileOpen()", [this] { _FileOpenCommand(); });
}
void COrvaneDlg::OnMenuFileSave()
{
    RunGuarded("COrvaneDlg::OnMenuFileSave()", [this] { _FileSaveCommand(); });
}
void COrvaneDlg::OnToolFileSave()
{
    RunGuarded("COrvaneDlg::OnToolFileSave()", [this] { _FileSaveCommand(); });
}
void COrvaneDlg::OnMenuFileSaveAs()
{
    RunGuarded("COrvaneDlg::OnMenuFileSaveAs()", [this] { _FileSaveAsCommand(); });
}
void COrvaneDlg::OnToolFileSaveAs()
{
    RunGuarded("COrvaneDlg::OnToolFileSaveAs()", [this] { _FileSaveAsCommand(); });
}
void COrvaneDlg::OnMenuFileExit() { OnClose(); }
void COrvaneDlg::OnMenuAbout() { RunGuarded("COrvaneDlg::OnMenuAbout()", [this] { ShowAboutDialog(); }); }
void COrvaneDlg::OnMenuSvrFileChk()
{
    RunGuarded("COrvaneDlg::OnMenuSvrFileChk()", [this] { _SvrFileChk(); });
}

void COrvaneDlg::_SvrFileChk(bool quiet)
{
    // The check may end in quitting the program: keep the user's work first.
    m_recovery.KeepNow();
    const SvrChkParam param = orvane::CheckForUpdate(m_env.svrChkProcedure, m_env.svrChkWaitLimit, this);
    if (orvane::UpdateAccepted(*m_env.dialogs, this, param, quiet)
        && _ConfirmExit("COrvaneDlg::OnMenuSvrFileChk()")) {
        // Whether the desktop could open it or not, the program ends.
        orvane::OpenDownloadAddress(*m_env.dialogs, g_strUrlDownload);
        PostQuitMessage(0);
    }
}

void COrvaneDlg::OnSysCommand(unsigned id)
{
    if ((id & ~0xFu) == kSysCommandAbout)
        m_actions.Run([this] { ShowAboutDialog(); });
}

void COrvaneDlg::ShowAboutDialog()
{
    CAboutDlg dialog(*m_env.dialogs, this);
    dialog._SetVerInfo(m_verInf);
    m_env.dialogs->RunModal(dialog);
}

void COrvaneDlg::OnClose()
{
    if (MayEnd("COrvaneDlg::OnClose()"))
        PostQuitMessage(0);
}

bool COrvaneDlg::MayEnd(const char* label)
{
    bool mayEnd = false;
    const bool completed = RunGuarded(label, [&] { mayEnd = _ConfirmExit(label); });
    // A failure while closing ends the program as well.
    return mayEnd || !completed;
}

bool COrvaneDlg::_ConfirmExit(const char* guardLabel)
{
    // A player that stopped for good cannot be asked: the recovery copy holds
    // the unsaved work for the next start, and the user is told so. Without
    // a copy the user decides whether to lose it.
    if (!m_recovery.PlayerGaveUp())
        return m_session.MaybeSaveBeforeExit(guardLabel);
    if (!m_recovery.Unsaved())
        return true;
    if (!m_recovery.CopyKept())
        return _AskSaveChanges(std::nullopt);
    m_env.dialogs->MessageBox(this, orvane::LoadResString(orvane::IDS_EXIT_AFTER_PLAYER_GAVE_UP),
                              m_strSaveCaption, orvane::MsgButtons::Ok, orvane::MsgIcon::Information);
    return true;
}

void COrvaneDlg::OnTimer(int timerId)
{
    if (timerId != kTimerCmdLine)
        return;
    m_timerCmdLine.stop();
    RunGuarded(
        "COrvaneDlg::OnTimer()",
        [this] {
            // At start the movie holds nothing and nobody is asked; work it
            // holds by now (a selection restored at start, or changes made
            // before a later ready) is offered to be saved first.
            if (!_AskSaveChanges(FetchSelectionText()))
                return;
            const std::string path = m_env.arguments.size() > 1 ? m_env.arguments[1] : std::string();
            if (path.empty())
                m_session.OpenChosen();
            else
                _FileOpen(path);
        },
        [this] { m_timerCmdLine.stop(); });
}

bool COrvaneDlg::OnQueryEndSession() { return MayEnd("COrvaneDlg::OnQueryEndSession()"); }

void COrvaneDlg::QueueDrop(const std::string& path)
{
    m_actions.RunWhenReady([this, path] { OnDropFiles(path); });
}

void COrvaneDlg::OnDropFiles(const std::string& path)
{
    RunGuarded("COrvaneDlg::OnDropFiles()", [&] {
        if (_AskSaveChanges(FetchSelectionText()))
            _FileOpen(path);
    });
}
