#include "OrvaneApp.h"

#include "OrvaneDlg.h"
#include "RufflePlayerFactory.h"
#include "StartTrace.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// The window's phases in the start-up trace: shown, and the document named on
// the command line opened (the window's current file first names it).
class WindowPhaseMarks : public QObject {
public:
    explicit WindowPhaseMarks(COrvaneDlg& window) : QObject(&window)
    {
        window.installEventFilter(this);
        connect(&window, &COrvaneDlg::currentFileChanged, this, [](const QByteArray& path) {
            if (!path.isEmpty())
                orvane::StartTrace::Mark(QStringLiteral("document opened"));
        });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            orvane::StartTrace::Mark(QStringLiteral("window shown"));
        return false;
    }
};

}  // namespace

bool COrvaneApp::InitInstance()
{
    COrvaneDlg dialog(orvane::RufflePlayerFactory(QCoreApplication::applicationDirPath()),
                      COrvaneDlg::ProcessEnvironment(m_arguments));
    if (orvane::StartTrace::Enabled())
        new WindowPhaseMarks(dialog);
    dialog.DoModal();
    return false;
}
