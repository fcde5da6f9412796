#include "CommandLineExport.h"
#include "CommandLineInfo.h"
#include "ConsoleCapture.h"
#include "EngineEnvironment.h"
#include "OrvaneApp.h"
#include "dialogs/QtUserDialogs.h"
#include "dialogs/StandardIconStyle.h"
#include "StartTrace.h"
#include "update/UpdateCheckWorker.h"

#include "orvane/ErrorLog.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

// A run that recorded a failure ends with the console's last lines in the
// error log: what the engine and the player said before it went wrong.
void RecordConsoleAfterFailure()
{
    if (CErrorLog::RecordsWritten() == 0)
        return;
    constexpr std::size_t kTailBytes = 1023;  // a record of readable length
    const std::string tail = orvane::CapturedConsoleTail(kTailBytes);
    if (!tail.empty())
        g_ErrorLog.WriteLog("main()", "standard error", 0, 0, ORVANE_REPORTING_MODULE, __LINE__, tail);
}

}  // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer a shell before anything of Qt starts.
    if (const auto text = orvane::CommandLineInfoText(std::vector<std::string>(argv, argv + argc),
                                                        orvane::EnvironmentMessagesLocale())) {
        std::fputs(text->c_str(), stdout);
        return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    // An export for a script plays the movie where no window shows, and tells
    // its failure on standard error as the shell gave it, past the capture.
    const bool exportCommand = orvane::IsExportCommand(std::vector<std::string>(argv, argv + argc));
    std::FILE* reasons = exportCommand ? ::fdopen(::dup(STDERR_FILENO), "w") : nullptr;
    if (exportCommand)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine's and the player's notices reach the terminal only when
    // ORVANE_CONSOLE=1 asks for them; the player's console is kept with them.
    if (orvane::StartConsoleCapture(qEnvironmentVariableIntValue("ORVANE_CONSOLE") == 1))
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.flash.page.debug=true"));
    orvane::StartTrace::Mark(QStringLiteral("main entered"));
    // Chromium's sandbox cannot start for root; Qt WebEngine then refuses to run.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    orvane::ChooseEngineEnvironment();
    // Qt WebEngine shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    {
        QApplication application(argc, argv);
        // Desktops match the window with its desktop entry by this name.
        QGuiApplication::setDesktopFileName(QStringLiteral(ORVANE_APP_ID));
        orvane::StartTrace::Mark(QStringLiteral("Qt up"));
        orvane::QtUserDialogs::InstallQtTranslations(application);
        // Every file dialog asks the style for its standard icons again.
        orvane::ShareStandardIcons();
        if (exportCommand) {
            const int status = orvane::RunCommandLineExport(std::vector<std::string>(argv, argv + argc),
                                                            QCoreApplication::applicationDirPath(),
                                                            reasons ? reasons : stderr);
            RecordConsoleAfterFailure();
            return status;
        }
        // Qt has taken its own options out of argv; the rest are ours, as bytes.
        COrvaneApp app(std::vector<std::string>(argv, argv + argc));
        app.InitInstance();
    }
    RecordConsoleAfterFailure();
    // An update check given up may still be running: it must not meet the
    // program's static objects being destroyed.
    if (orvane::UpdateCheckWorker::Running() > 0)
        std::quick_exit(0);
    return 0;
}
