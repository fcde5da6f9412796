#include "OrvaneApp.h"

#include "OrvaneDlg.h"
#include "RufflePlayerFactory.h"
#include "StartTrace.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// The window's phases in the start-up trace: shown, and the document named on
// the command line opened (the title first changes when it names the file).
class WindowPhaseMarks : public QObject {
public:
    explicit WindowPhaseMarks(QWidget& window) : QObject(&window)
    {
        window.installEventFilter(this);
        connect(&window, &QWidget::windowTitleChanged, this,
                [] { StartTrace::Mark(QStringLiteral("document opened")); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            StartTrace::Mark(QStringLiteral("window shown"));
        return false;
    }
};

}  // namespace

bool COrvaneApp::InitInstance()
{
    COrvaneDlg dialog(RufflePlayerFactory(QCoreApplication::applicationDirPath()),
                      COrvaneDlg::ProcessEnvironment(m_arguments));
    if (StartTrace::Enabled())
        new WindowPhaseMarks(dialog);
    dialog.DoModal();
    return false;
}
