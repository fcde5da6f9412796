#pragma once
// The program's main window: menu, toolbar and the hosted Flash control
// playing the selection movie; New, Open, Save, Save As and exit of the
// selection data files, the about box and the server update check. What the
// program adds lives in rooms, each a member here (see host/README.md).

#include "ShockwaveFlash.h"
#include "WindowResources.h"
#include "actions/UserActions.h"
#include "bom/BomCommands.h"
#include "catalog/CatalogCommands.h"
#include "desktop/DesktopRequests.h"
#include "desktop/WindowMenu.h"
#include "dialogs/UserDialogs.h"
#include "document/DocumentSession.h"
#include "export/AmlExport.h"
#include "keyboard/KeyboardReturn.h"
#include "recovery/WorkRecovery.h"
#include "update/UpdateOutcome.h"

#include "orvane/VersionInf.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenuBar;
class QToolBar;

// The window menu's about item.
inline constexpr unsigned kSysCommandAbout = 16;
// Timer 1: opens the file named on the command line.
inline constexpr int kTimerCmdLine = 1;

class COrvaneDlg : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from the process; tests give their own.
    struct Environment {
        std::shared_ptr<orvane::UserDialogs> dialogs;
        std::shared_ptr<orvane::WindowResources> resources;
        std::vector<std::string> arguments;  // as the process got them (bytes), program name first
        QString executablePath;              // the program directory is taken from it
        std::string recoveryFolder;          // where recovery copies are kept; "" keeps none
        orvane::UpdateCheckWorker::Procedure svrChkProcedure;  // the update check's work; empty: the real one
        std::chrono::milliseconds svrChkWaitLimit{30000};      // how long the window waits for it
        std::string catalogFolder;                             // where the user's catalogue updates go
    };
    // The real dialogs and resources, the process's path, the user's state folder.
    static Environment ProcessEnvironment(std::vector<std::string> arguments);

    COrvaneDlg(orvane::FlashPlayerFactory factory, Environment environment);
    ~COrvaneDlg() override;

    // The Flash Player check, then the control; false when the check refused the window.
    bool Create();
    // Menu, toolbar, movie, layout, version file; false after a failed step (reported).
    bool OnInitDialog();
    // Create, OnInitDialog, show, run until the quit: -1 when refused, else the quit's code.
    int DoModal();

    const std::string& FilePath() const { return m_session.FilePath(); }
    const std::string& SaveData() const { return m_session.SavedText(); }
    const VersionInf& VerInf() const { return m_verInf; }

    // The server update check with its messages, for at most the wait limit.
    // quiet: no box for the latest version, an error or a time-out.
    void _SvrFileChk(bool quiet = false);

signals:
    // The quit message: the modal run ends with this exit code.
    void quitPosted(int exitCode);
    // The current file's path (the file system's bytes), "" once untitled.
    void currentFileChanged(const QByteArray& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // start-up and layout
    int OnCreate();
    int CheckFlashPlayerVersion();
    void BuildWindowMenu();
    void LayoutWindow();
    // Records a failed start-up step (with the system's reason it had) and tells the user.
    bool ReportInitFailure(const char* step, const char* code, int systemError = 0);
    bool _EnableFileCommands(bool enable);
    // After the player stopped for good: of the menus only 退出 (and its key)
    // stays, so that the program can still be left.
    void KeepExitCommand();

    // command frame
    void OnCommand(unsigned id);
    void OnMenuFileNew();
    void OnToolFileNew();
    void OnMenuFileOpen();
    void OnToolFileOpen();
    void OnMenuFileSave();
    void OnToolFileSave();
    void OnMenuFileSaveAs();
    void OnToolFileSaveAs();
    void OnMenuFileExit();
    void OnMenuAbout();
    void OnMenuSvrFileChk();
    void OnClose();
    // The exit check under label, guarded: true when nothing unsaved is left
    // or the check failed (a failure while closing never holds the user back).
    bool MayEnd(const char* label);
    bool OnQueryEndSession();
    void OnDropFiles(const std::string& path);  // the save prompt, then as Open
    void QueueDrop(const std::string& path);    // OnDropFiles as a user action, when ready
    void OnTimer(int timerId);
    void OnSysCommand(unsigned id);
    void ShowAboutDialog();
    void PostQuitMessage(int exitCode);
    // The handler guard: an exception in body is recorded under label and shown
    // as "(#10001)", after beforeReport. True when body ran to its end.
    bool RunGuarded(const char* label, const std::function<void()>& body,
                    const std::function<void()>& beforeReport = {});
    void ShowError(const std::string& text);

    // movie calls
    void OnFlashCallSwf(const QString& request);
    void OnPlayerStopped(const QString& reason);
    std::string CallMovie(const std::string& functionName, const std::string& argument);
    // The reply's string, "zSave"'s and "zBom"'s text: nullopt after telling
    // the user a reply is unusable. Throw when the call cannot be delivered.
    std::optional<std::string> _GetReturnString(const std::string& reply);
    std::optional<std::string> FetchSelectionText();
    std::optional<std::string> FetchBill();
    void LoadIntoMovie(const std::string& text);

    // document commands, the session's
    bool _FileNew() { return m_session.NewFile(); }
    bool _FileOpenCommand() { return m_session.Open(); }
    void _FileSaveCommand() { m_session.Save(); }
    void _FileSaveAsCommand() { m_session.SaveAs(); }
    bool _AskSaveChanges(const std::optional<std::string>& text) { return m_session.MaybeSave(text); }
    int _FileOpen(const std::string& path) { return m_session.LoadFile(path); }
    bool _FileSave(const std::string& text) { return m_session.SaveToCurrentFile(text); }
    // The exit check; guardLabel: of a failure to reach the movie.
    bool _ConfirmExit(const char* guardLabel = "COrvaneDlg::OnClose()");
    void TellCurrentFile(const std::string& path)
    {
        emit currentFileChanged(QByteArray::fromStdString(path));
    }

    CShockwaveFlash m_ctrlFlash;
    QIcon m_hIcon;
    QMenuBar* m_wndMenu = nullptr;     // owned by the window once attached
    QToolBar* m_wndToolBar = nullptr;  // child of the client area
    VersionInf m_verInf;
    std::string m_strErrCaption;
    std::string m_strSaveCaption;

    orvane::FlashPlayerFactory m_factory;
    Environment m_env;
    QWidget* m_client = nullptr;  // the client area below the menu bar
    orvane::WindowMenu* m_windowMenu = nullptr;
    QTimer m_timerCmdLine;        // timer 1: opens the command-line file
    std::unique_ptr<orvane::FlashPlayer> m_checkedPlayer;  // the player the check created

    orvane::UserActions m_actions;  // the rooms
    orvane::WorkRecovery m_recovery;
    orvane::BomCommands m_bom;
    orvane::CatalogCommands m_catalog;
    orvane::AmlExportCommand m_export;
    orvane::DesktopRequests m_desktop;
    orvane::KeyboardReturn m_keyboard;
    orvane::DocumentSession m_session;
};
