#include "EngineEnvironment.h"
#include "OrvaneApp.h"
#include "QtUserDialogs.h"
#include "StartTrace.h"
#include "update/UpdateCheckWorker.h"

#include <QApplication>

#include <cstdlib>

#include <unistd.h>

int main(int argc, char* argv[])
{
    orvane::StartTrace::Mark(QStringLiteral("main entered"));
    // Chromium's sandbox cannot start for root; Qt WebEngine then refuses to run.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    orvane::ChooseEngineEnvironment();
    // Qt WebEngine shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    {
        QApplication application(argc, argv);
        orvane::StartTrace::Mark(QStringLiteral("Qt up"));
        orvane::QtUserDialogs::InstallQtTranslations(application);
        // Qt has taken its own options out of argv; the rest are ours, as bytes.
        COrvaneApp app(std::vector<std::string>(argv, argv + argc));
        app.InitInstance();
    }
    // An update check given up may still be running: it must not meet the
    // program's static objects being destroyed.
    if (orvane::UpdateCheckWorker::Running() > 0)
        std::quick_exit(0);
    return 0;
}
