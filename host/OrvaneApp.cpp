#include "OrvaneApp.h"

#include "OrvaneDlg.h"
#include "RufflePlayerFactory.h"
#include "StartTrace.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>
#include <optional>

namespace {

// A factory whose first player is made at once: its page, the player and the
// movie start loading while the window is still being built (about 0.13 s
// sooner to the opened document, bench/README.md). Later calls make new players.
FlashPlayerFactory StartedAhead(FlashPlayerFactory factory)
{
    auto first = std::make_shared<std::optional<FlashCreateResult>>(factory());
    return [first, factory = std::move(factory)]() -> FlashCreateResult {
        if (!first->has_value())
            return factory();
        FlashCreateResult created = std::move(**first);
        first->reset();
        return created;
    };
}

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
    COrvaneDlg dialog(StartedAhead(RufflePlayerFactory(QCoreApplication::applicationDirPath())),
                      COrvaneDlg::ProcessEnvironment(m_arguments));
    if (StartTrace::Enabled())
        new WindowPhaseMarks(dialog);
    dialog.DoModal();
    return false;
}
