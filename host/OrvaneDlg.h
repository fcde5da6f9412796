#pragma once
// The program's main window: menu, toolbar and the hosted Flash control
// playing the selection movie; New, Open, Save, Save As and exit of the
// selection data files.

#include "ShockwaveFlash.h"
#include "UpdateCheckWorker.h"
#include "UserDialogs.h"
#include "WindowResources.h"

#include "orvane/BillOfMaterials.h"
#include "orvane/RecoveryStore.h"
#include "orvane/VersionInf.h"

#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;

// Command 32785, the server update check ("Version Check"), issued by the window menu.
enum : unsigned { ID_MENU_SVR_FILE_CHK = 32785 };
// The window menu's about item.
inline constexpr unsigned kSysCommandAbout = 16;
// The program's name in the window's caption and on printouts.
inline const QString kProgramTitle = QStringLiteral("Torvex-Z series 选型系统");
// Timer 1: opens the file named on the command line.
inline constexpr int kTimerCmdLine = 1;

// Outcome codes of the server update check.
enum : int { SVRCHK_LATEST = 0, SVRCHK_ERROR = 1, SVRCHK_UPDATE = 3, SVRCHK_TIMEOUT = 5 };

// One update check's record, made by _SvrFileChk.
struct SvrChkParam {
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
        std::shared_ptr<CUserDialogs> dialogs;
        std::shared_ptr<CWindowResources> resources;
        // The command line as the process got it (bytes: a file name need
        // not be valid UTF-8), program name first.
        std::vector<std::string> arguments;
        QString executablePath;      // the program directory is taken from it
        std::string recoveryFolder;  // where recovery copies are kept
        // The update check's work; the real one unless a test gives its own.
        UpdateCheckWorker::Procedure svrChkProcedure;
    };
    // The real dialogs and resources, the given command line, the process's
    // path and the user's state folder.
    static Environment ProcessEnvironment(std::vector<std::string> arguments);

    COrvaneDlg(FlashPlayerFactory factory, Environment environment);
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
    // How long the update check waits for its worker; 30 s.
    void SetSvrChkWaitLimit(std::chrono::milliseconds limit) { m_svrChkWaitLimit = limit; }

    // Keeps the movie's text in the recovery copy when it has unsaved
    // changes, removes the copy when it has none. Runs every 30 s and
    // before risky steps.
    void _SaveRecoveryCopy();
    std::chrono::milliseconds RecoveryInterval() const;
    void SetRecoveryInterval(std::chrono::milliseconds interval);

    // The session manager asks before logging out: the same save prompt as
    // closing the window when interaction is allowed (false: the user
    // cancelled, the logout must be cancelled), else a recovery copy of
    // unsaved work. Connected to QGuiApplication::commitDataRequest.
    bool OnQueryEndSession(bool interactionAllowed);

signals:
    // The quit message: the modal run ends with this exit code.
    void quitPosted(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Files dragged over the movie are the window's, never the player page's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // start-up and layout
    int OnCreate();
    int CheckFlashPlayerVersion();
    QMenuBar* BuildMenu(const MenuResource& resource);
    void BuildToolBar(const ToolBarResource& resource);
    void BuildWindowMenu();
    void LayoutWindow();
    // "name.zsr - <program title>" for the current file, the program title alone while untitled.
    void _UpdateWindowTitle();
    bool ReportInitFailure(const char* step, const char* code);
    bool _EnableFileCommands(bool enable);

    // Events that arrive while a command runs (the movie's calls, timer 1,
    // close requests, a stopped player) wait until it has ended and then run
    // in the order they came, so every command sees the state it started with.
    class CommandScope {
    public:
        explicit CommandScope(COrvaneDlg& window);
        ~CommandScope();  // the last one to end runs the events that waited
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        COrvaneDlg& m_window;
    };
    void RunWhenIdle(std::function<void()> event);
    void RunDeferredEvents();

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
    // A dropped selection file: the save prompt, then it opens as with Open.
    void OnDropFiles(const std::string& path);
    void OnTimer(int timerId);
    void OnSysCommand(unsigned id);
    void ShowAboutDialog();
    void PostQuitMessage(int exitCode);
    // Runs body; an exception is recorded under label and shown as
    // "(#10001)", after beforeReport has run. True when body ran to its end.
    bool RunGuarded(const char* label, const std::function<void()>& body,
                    const std::function<void()>& beforeReport = {});
    void ShowError(const std::string& text);

    // movie calls
    void OnFlashCallSwf(const QString& request);
    std::string _CallMovie(const std::string& functionName, const std::string& argument);
    // The reply's string; nullopt after telling the user it is unusable.
    std::optional<std::string> _GetReturnString(const std::string& reply);
    // The movie's selection text; nullopt when it could not be read (the
    // user has been told). Throws when the call cannot be delivered.
    std::optional<std::string> _FetchSelectionText();
    // The text for Save and Save As; "" after telling the user there is nothing to save.
    std::string _FetchTextToSave();

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
    int _FileOpenChosen();
    int _FileOpen(const std::string& path);
    int _ReadSelectionFile(const std::string& path);
    // Saves text to the current file, or as _FileSaveAs when untitled.
    bool _FileSave(const std::string& text);
    // The save dialog, then _SaveFile with the chosen name.
    bool _FileSaveAs(const std::string& text);
    // Writes text to path; it becomes the current file and the saved text.
    bool _SaveFile(const std::string& path, const std::string& text);
    bool _WriteSelectionFile(const std::string& path, const std::string& text);
    // The selection was saved, loaded or replaced: nothing is unsaved.
    void _SetSavedText(const std::string& text);
    static bool _IsTextData(const std::uint8_t* data, std::size_t length);

    // the bill of materials (the movie's "zBom")
    // The movie's bill; nullopt after telling the user there is none (an
    // empty selection) or that the reply is unusable.
    std::optional<orvane::BillOfMaterials> _FetchBillOfMaterials();
    // The bill, the save dialog, then the CSV file.
    bool _ExportBomCommand();
    // The bill on the clipboard as tab-separated rows.
    bool _CopyBomCommand();
    // The bill, the print dialog, then the printed page (or PDF).
    bool _PrintBomCommand();

    // the player's recovery
    void _OpenRecoveryStore();
    void OnPlayerStopped(const QString& reason);
    // Offered once the movie is ready: the copy of a program that did not
    // end cleanly, or the selection the stopped player had.
    void _OfferRecovery(bool afterStop);
    void _LoadIntoMovie(const std::string& text);

    // server update check
    void _SvrFileVersionCheckThread(SvrChkParam& param);
    // Waits for the worker with the window painting, a busy cursor and a
    // modal notice; user input stays blocked. The work when it ended in time.
    std::optional<UpdateCheckWork> WaitForSvrChk(UpdateCheckWorker& worker);
    static void _SvrFileVersionCheck(UpdateCheckWork& work, std::stop_token stop);

    CShockwaveFlash m_ctrlFlash;
    QIcon m_hIcon;
    QMenuBar* m_wndMenu = nullptr;     // owned by the window once attached
    QToolBar* m_wndToolBar = nullptr;  // child of the client area
    std::string m_strFilePath;
    std::string m_strSaveData;
    VersionInf m_verInf;
    std::string m_strErrCaption;
    std::string m_strSaveCaption;

    FlashPlayerFactory m_factory;
    Environment m_env;
    QWidget* m_wndClient = nullptr;   // the client area below the menu bar
    QMenu* m_wndSysMenu = nullptr;    // the window menu
    QTimer m_timerCmdLine;            // timer 1: opens the command-line file
    std::unique_ptr<FlashPlayer> m_checkedPlayer;  // the player the check created
    std::chrono::milliseconds m_svrChkWaitLimit{30000};

    bool m_bFileCommandsEnabled = true;  // the document commands are not grey
    int m_nCommandDepth = 0;
    std::deque<std::function<void()>> m_deferredEvents;

    bool m_bMovieReady = false;      // between "zDataLoadEnd" and a stop or "zError"
    bool m_bPlayerRestarted = false; // the player stopped and was started afresh
    std::vector<std::chrono::steady_clock::time_point> m_playerRestarts;
    std::string m_strLastKnownText;  // the movie's selection when last read
    std::unique_ptr<orvane::RecoveryStore> m_recovery;
    std::optional<orvane::RecoveryOrphan> m_orphan;  // offered at the first ready
    QTimer m_timerRecovery;
};
