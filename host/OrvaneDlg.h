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
#include "document/FileIdentity.h"
#include "export/AmlExport.h"
#include "keyboard/KeyboardReturn.h"
#include "recovery/WorkRecovery.h"
#include "update/UpdateCheck.h"

#include "orvane/VersionInf.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QMenuBar;
class QToolBar;

// The window menu's about item.
inline constexpr unsigned kSysCommandAbout = 16;
// Timer 1: opens the file named on the command line.
inline constexpr int kTimerCmdLine = 1;

// One update check's record, made by _SvrFileChk: the update files found and the outcome.
struct SvrChkParam {
    std::vector<std::string> pUpdateFiles;
    int nResult = SVRCHK_ERROR;
};

// URL_DOWNLOAD and URL_VERSION_CHECK as the last update check read them; empty before the first.
extern std::string g_strUrlDownload;
extern std::string g_strUrlVersionCheck;

class COrvaneDlg : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from the process; tests give their own.
    struct Environment {
        std::shared_ptr<orvane::UserDialogs> dialogs;
        std::shared_ptr<orvane::WindowResources> resources;
        std::vector<std::string> arguments;  // as the process got them (bytes), program name first
        QString executablePath;      // the program directory is taken from it
        std::string recoveryFolder;  // where recovery copies are kept; "" keeps none
        orvane::UpdateCheckWorker::Procedure svrChkProcedure;  // the update check's work; empty: the real one
        std::chrono::milliseconds svrChkWaitLimit{30000};       // how long the window waits for it
        std::string catalogFolder;  // where the user's catalogue updates go
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

    const std::string& FilePath() const { return m_strFilePath; }
    const std::string& SaveData() const { return m_strSaveData; }
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
    std::string FetchTextToSave();  // "" after telling the user there is nothing to save
    void LoadIntoMovie(const std::string& text);

    // document commands
    bool _FileNew();
    bool _FileOpenCommand();
    bool _FileSaveCommand();
    bool _FileSaveAsCommand();
    bool _ConfirmExit(const char* guardLabel = "COrvaneDlg::OnClose()");  // label of a failure to reach the movie
    // Whether a command replacing the selection may go on; text: the movie's, nullopt when unreadable.
    bool _AskSaveChanges(const std::optional<std::string>& text);
    int FileOpenChosen();  // the open dialog, then _FileOpen; 0 when cancelled
    int _FileOpen(const std::string& path);
    int ReadSelectionFile(const std::string& path);
    bool _FileSave(const std::string& text);  // to the current file, after the save dialog when untitled
    bool SaveFile(const std::string& path, const std::string& text);  // path becomes current, text saved
    bool WriteSelectionFile(const std::string& path, const std::string& text);
    void SetSavedText(const std::string& text);  // nothing is unsaved: text was saved, loaded or set
    // m_strFilePath becomes path ("" for untitled); onDisk: its file as last read or written here.
    void SetCurrentFile(std::string path, std::optional<orvane::FileIdentity> onDisk = std::nullopt);

    // server update check
    void _SvrFileVersionCheckThread(SvrChkParam& param);
    static void _SvrFileVersionCheck(orvane::UpdateCheckWork& work, std::stop_token stop);

    CShockwaveFlash m_ctrlFlash;
    QIcon m_hIcon;
    QMenuBar* m_wndMenu = nullptr;     // owned by the window once attached
    QToolBar* m_wndToolBar = nullptr;  // child of the client area
    std::string m_strFilePath;
    std::string m_strSaveData;
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
    std::optional<orvane::FileIdentity> m_fileOnDisk;  // the current file as last read or written
};
