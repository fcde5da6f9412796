#pragma once
// Shared pieces of the host tests: a program folder, a window on the
// scripted movie, and finding commands. The error log and the version file
// of the program folder come from the test support folder.

#include "ErrorLogReader.h"
#include "OrvaneDlg.h"
#include "ScriptedFlashPlayer.h"
#include "ScriptedUserDialogs.h"
#include "VersionFile.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

class QAction;

class HostHarness {
public:
    HostHarness();
    ~HostHarness();

    void WriteVersionFile(const std::string& xml);
    std::string AppFile(const std::string& name) const;

    // A window on the scripted movie, created and initialised, shown.
    // arguments: the command line, program name first, as bytes.
    std::unique_ptr<COrvaneDlg> Start(std::vector<std::string> arguments = {"orvane"});
    std::unique_ptr<COrvaneDlg> MakeWindow(std::vector<std::string> arguments = {"orvane"});
    // Start and the movie's "zDataLoadEnd".
    std::unique_ptr<COrvaneDlg> StartReady(std::vector<std::string> arguments = {"orvane"});

    QTemporaryDir appDir;
    std::shared_ptr<MovieScript> movie = std::make_shared<MovieScript>();
    std::shared_ptr<ScriptedUserDialogs> dialogs = std::make_shared<ScriptedUserDialogs>();
    std::shared_ptr<orvane::WindowResources> resources = std::make_shared<orvane::WindowResources>();
    orvane::FlashPlayerFactory factory;
    orvane::UpdateCheckWorker::Procedure svrChkProcedure;  // the real check when empty
    std::chrono::milliseconds svrChkWaitLimit{30000};
    std::string recoveryFolder;                            // a folder of the program folder
    std::string catalogFolder;                             // the user's catalogue updates, there too
};

QAction* FindCommand(const QWidget& window, unsigned id);
// Clicks the toolbar button of a command like a user.
void ClickToolButton(const QWidget& window, unsigned id);
// Runs the server update check from the window menu's command.
void RunUpdateCheck(const QWidget& window);
// Today's error-log records as "operation / step / message".
std::vector<std::string> RecordLabels();
// Writes a selection file as the program does.
bool WriteSelectionFile(const std::string& path, const std::string& text);
std::string ReadSelectionFile(const std::string& path);
