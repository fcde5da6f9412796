#include "OrvaneApp.h"

#include "OrvaneDlg.h"
#include "RufflePlayerFactory.h"

#include <QCoreApplication>

bool COrvaneApp::InitInstance()
{
    COrvaneDlg dialog(RufflePlayerFactory(QCoreApplication::applicationDirPath()),
                      COrvaneDlg::ProcessEnvironment(m_arguments));
    dialog.DoModal();
    return false;
}
