#include "OrvaneApp.h"

#include "OrvaneDlg.h"
#include "RufflePlayerFactory.h"

#include <QCoreApplication>

bool COrvaneApp::InitInstance()
{
    COrvaneDlg dialog(RufflePlayerFactory(QCoreApplication::applicationDirPath()),
                      COrvaneDlg::ProcessEnvironment());
    dialog.DoModal();
    return false;
}
