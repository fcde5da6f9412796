#pragma once
// The program's main window: menu, toolbar and the hosted Flash control
// playing the selection movie; New, Open, Save, Save As and exit of the
// selection data files, the about box and the server update check.
//
// What the window does beyond that lives in rooms of its own, each a member
// here: the one-at-a-time user actions (actions/), the recovery of unsaved
// work and of a stopped player (recovery/), the bill of materials
// (bom/), drops and logout (desktop/), the file on disk (document/) and the
// update check's wait (update/).

#include "ShockwaveFlash.h"
#include "dialogs/UserDialogs.h"
#include "WindowResources.h"
#include "actions/UserActions.h"
#include "bom/BomCommands.h"
#include "desktop/DesktopRequests.h"
#include "desktop/WindowMenu.h"
#include "document/FileIdentity.h"
#include "keyboard/KeyboardReturn.h"
#include "recovery/WorkRecovery.h"
#include "update/UpdateCheck.h"

#include "orvane/VersionInf.h"

#include <QIcon>
#include <QMainWindow>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QMenu;
class QMenuBar;
class QToolBar;

// The window menu's about item.
inline constexpr unsigned kSysCommandAbout = 16;
// Timer 1: opens the file named on the command line.
inline constexpr int kTimerCmdLine = 1;

// One update check's record, made by _SvrFileChk: the update files found
// ("TorvexOrvane.msi" when the server's version is newer) and the outcome.
struct SvrChkParam {
    std::vector<std::string> pUpdateFiles;
    int nResult = SVRCHK_ERROR;
};

// URL_DOWNLOAD and URL_VERSION_CHECK of the local version file as the last
// update check read them; empty before the first.
extern std::string g_strUrlDownload;
extern std::string g_strUrlVersionCheck;

class COrvaneDlg : public QMainWindow {
    Q_OBJECT
public:
    // What the window takes from the process; tests give their own.
    struct Environment {
        std::shared_ptr<orvane::UserDialogs> dialogs;
        std::shared_ptr<orvane::WindowResources> resources;
        // The command line as the process got it (bytes: a file name need
        // not be valid UTF-8), program name first.
        std::vector<std::string> arguments;
        QString executablePath;      // the program directory is taken from it
        std::string recoveryFolder;  // where recovery copies are kept; "" keeps none
        // The update check's work; the real one unless a test gives its own.
        orvane::UpdateCheckWorker::Procedure svrChkProcedure;
        // How long the update check waits for its worker.
        std::chrono::milliseconds svrChkWaitLimit{30000};
    };
    // The real dialogs and resources, the given command line, the process's
    // path and the user's state folder.
    static Environment ProcessEnvironment(std::vector<std::string> arguments);

    COrvaneDlg(orvane::FlashPlayerFactory factory, Environment environment);
    ~COrvaneDlg() override;

    // Window creation: the Flash Player check, then the control. False when
    // the check refused the creation.
    bool Create();
    // Builds menu and toolbar, loads the movie, lays out the window, reads the
    // version file. False after a failed step (reported already).
    bool OnInitDialog();
    // Create, OnInitDialog, show, then run until the quit is posted.
    // -1 when the creation was refused, else the quit's exit code.
    int DoModal();

    const std::string& FilePath() const { return m_strFilePath; }
    const std::string& SaveData() const { return m_strSaveData; }
    const VersionInf& VerInf() const { return m_verInf; }

    // The server update check with its messages; blocks for at most the wait
    // limit. quiet, for a check the user did not ask for: no box for the
    // latest version, an error or a time-out (the update question is asked
    // all the same).
    void _SvrFileChk(bool quiet = false);

signals:
    // The quit message: the modal run ends with this exit code.
    void quitPosted(int exitCode);
    // The current file changed: opened, saved under a name, or "" when the
    // selection became untitled. The file system's bytes of its path.
    void currentFileChanged(const QByteArray& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // start-up and layout
    int OnCreate();
    int CheckFlashPlayerVersion();
    QMenuBar* BuildMenu(const orvane::MenuResource& resource);
    void BuildToolBar(const orvane::ToolBarResource& resource);
    void BuildWindowMenu();
    void LayoutWindow();
    bool ReportInitFailure(const char* step, const char* code);
    bool _EnableFileCommands(bool enable);

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
    void OnMenuFileExportBom();
    void OnMenuFileCopyBom();
    void OnMenuFilePrintBom();
    void OnMenuFileExit();
    void OnMenuAbout();
    void OnMenuNotices();
    void OnMenuSvrFileChk();
    void OnClose();
    // The exit check under label, guarded; true when the program may end:
    // nothing unsaved, saved or discarded, or the check failed (a failure
    // while closing never holds the user back).
    bool MayEnd(const char* label);
    // The session's logout question: the exit check.
    bool OnQueryEndSession();
    // A dropped selection file: the save prompt, then it opens as with Open.
    void OnDropFiles(const std::string& path);
    // OnDropFiles as a user action, while the movie is ready by its turn.
    void QueueDrop(const std::string& path);
    void OnTimer(int timerId);
    void OnSysCommand(unsigned id);
    void ShowAboutDialog();
    void PostQuitMessage(int exitCode);
    // The handler guard: runs body; an exception is recorded under label and
    // shown as "(#10001)", after beforeReport has run. True when body ran to its end.
    bool RunGuarded(const char* label, const std::function<void()>& body,
                    const std::function<void()>& beforeReport = {});
    void ShowError(const std::string& text);

    // movie calls
    void OnFlashCallSwf(const QString& request);
    void OnPlayerStopped(const QString& reason);
    std::string CallMovie(const std::string& functionName, const std::string& argument);
    // The reply's string; nullopt after telling the user it is unusable.
    std::optional<std::string> _GetReturnString(const std::string& reply);
    // The movie's selection text; nullopt when it could not be read (the
    // user has been told). Throws when the call cannot be delivered.
    std::optional<std::string> FetchSelectionText();
    // The text for Save and Save As; "" after telling the user there is nothing to save.
    std::string FetchTextToSave();
    // "zLoad" with text; the movie's selection is then text.
    void LoadIntoMovie(const std::string& text);
    // The movie's bill of materials ("zBom"); nullopt after telling the user it is unusable.
    std::optional<std::string> FetchBill();

    // document commands
    bool _FileNew();
    bool _FileOpenCommand();
    bool _FileSaveCommand();
    bool _FileSaveAsCommand();
    // guardLabel: under which a failure to reach the movie is recorded.
    bool _ConfirmExit(const char* guardLabel = "COrvaneDlg::OnClose()");
    // Whether a command that replaces the selection may go on; text is what
    // the movie holds, nullopt when it could not be read.
    bool _AskSaveChanges(const std::optional<std::string>& text);
    // The open dialog, then _FileOpen with the chosen file; 0 when cancelled.
    int FileOpenChosen();
    int _FileOpen(const std::string& path);
    int ReadSelectionFile(const std::string& path);
    // Saves text to the current file, after the save dialog when untitled.
    bool _FileSave(const std::string& text);
    // Writes text to path; it becomes the current file and the saved text.
    bool SaveFile(const std::string& path, const std::string& text);
    bool WriteSelectionFile(const std::string& path, const std::string& text);
    // The selection was saved, loaded or replaced by text: nothing is unsaved.
    void SetSavedText(const std::string& text);
    // m_strFilePath becomes path ("" for untitled); onDisk is what its file
    // was when last read or written here, nullopt when not known.
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
    QTimer m_timerCmdLine;           // timer 1: opens the command-line file
    std::unique_ptr<orvane::FlashPlayer> m_checkedPlayer;  // the player the check created

    // The rooms.
    orvane::UserActions m_actions;
    orvane::WorkRecovery m_recovery;
    orvane::BomCommands m_bom;
    orvane::DesktopRequests m_desktop;
    orvane::KeyboardReturn m_keyboard;
    std::optional<orvane::FileIdentity> m_fileOnDisk;  // the current file as last read or written
};
