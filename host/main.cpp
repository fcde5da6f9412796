#include "OrvaneApp.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char* argv[])
{
    // Chromium's sandbox cannot start for root; Qt WebEngine then refuses to run.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Qt WebEngine shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    COrvaneApp app;
    app.InitInstance();
    return 0;
}
