#pragma once
// The program's main window: menu, toolbar and the hosted Flash control
// playing the selection movie; New, Open, Save, Save As and exit of the
// selection data files.

#include "ShockwaveFlash.h"
#include "UpdateCheckWorker.h"
#include "UserDialogs.h"
#include "WindowResources.h"

#include "orvane/VersionInf.h"

#include <QIcon>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;

// Command 32785, the server update check ("Version Check"), issued by the window menu.
enum : unsigned { ID_MENU_SVR_FILE_CHK = 32785 };

// Outcome codes of the server update check.
enum : int { SVRCHK_LATEST = 0, SVRCHK_ERROR = 1, SVRCHK_UPDATE = 3, SVRCHK_TIMEOUT = 5 };

// One update check's record, made by _SvrFileChk.
struct SvrChkParam {
    std::vector<std::string> updateFiles;  // "TorvexOrvane.msi" when the server's version is newer
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
        QStringList arguments;   // the command line, program name first
        QString executablePath;  // the program directory is taken from it
    };
    // The real dialogs and resources, the process's command line and path.
    static Environment ProcessEnvironment();

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

signals:
    // The quit message: the modal run ends with this exit code.
    void quitPosted(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // start-up and layout
    int OnCreate();
    int CheckFlashPlayerVersion();
    QMenuBar* BuildMenu(const MenuResource& resource);
    void BuildToolBar(const ToolBarResource& resource);
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
    void OnMenuFileExit();
    void OnMenuAbout();
    void OnMenuSvrFileChk();
    void OnClose();
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
    std::string _GetReturnString(const std::string& reply);
    std::string _FetchSelectionText();
    // The text for Save and Save As; "" after telling the user there is nothing to save.
    std::string _FetchTextToSave();

    // document commands
    bool _FileNew();
    bool _FileOpenCommand();
    bool _FileSaveCommand();
    bool _FileSaveAsCommand();
    bool _ConfirmExit();
    bool _AskSaveChanges(const std::string& text);
    int _FileOpen(const std::string& path);
    int _ReadSelectionFile(const std::string& path);
    bool _FileSave(const std::string& text);
    bool _WriteSelectionFile(const std::string& text);
    static bool _IsTextData(const std::uint8_t* data, std::size_t length);

    // server update check
    void _SvrFileVersionCheckThread(SvrChkParam& param);
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
    std::unique_ptr<FlashCreateResult> m_checkedPlayer;  // the player the check created
    std::chrono::milliseconds m_svrChkWaitLimit{30000};
    // Update checks given up after the wait, asked to stop; joined once
    // finished, at the latest when the window goes.
    std::vector<UpdateCheckWorker> m_abandonedSvrChks;
};
