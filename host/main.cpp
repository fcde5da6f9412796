#include "OrvaneApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    COrvaneApp app;
    app.InitInstance();
    return 0;
}
