// COrvaneDlg: construction, creation, the modal run and the handler guard.
#include "OrvaneDlg.h"

#include "InitialProperties.h"
#include "QtUserDialogs.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>

namespace {

constexpr std::chrono::milliseconds kRecoveryInterval{30000};

}  // namespace

COrvaneDlg::Environment COrvaneDlg::ProcessEnvironment(std::vector<std::string> arguments)
{
    return {std::make_shared<CQtUserDialogs>(), std::make_shared<CWindowResources>(), std::move(arguments),
            QCoreApplication::applicationFilePath(), orvane::DefaultRecoveryFolder(), {}};
}

COrvaneDlg::CommandScope::CommandScope(COrvaneDlg& window) : m_window(window) { ++m_window.m_nCommandDepth; }

COrvaneDlg::CommandScope::~CommandScope()
{
    if (--m_window.m_nCommandDepth == 0 && !m_window.m_deferredEvents.empty())
        QTimer::singleShot(0, &m_window, [window = &m_window] { window->RunDeferredEvents(); });
}

COrvaneDlg::COrvaneDlg(FlashPlayerFactory factory, Environment environment)
    : m_hIcon(CWindowResources::LoadIcon(IDR_MAINFRAME)),
      m_factory(std::move(factory)),
      m_env(std::move(environment))
{
    if (!m_env.dialogs)
        m_env.dialogs = std::make_shared<CQtUserDialogs>();
    if (!m_env.resources)
        m_env.resources = std::make_shared<CWindowResources>();

    setWindowTitle(QStringLiteral("Torvex-Z series 选型系统"));
    // Caption, window menu and minimise box; no maximise box, no sizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_wndClient = new QWidget(this);
    setCentralWidget(m_wndClient);
    m_ctrlFlash.setParent(m_wndClient);
    m_ctrlFlash.setObjectName(QStringLiteral("control1000"));

    m_timerCmdLine.setParent(this);
    m_timerCmdLine.setObjectName(QStringLiteral("timer1"));
    m_timerCmdLine.setInterval(100);
    connect(&m_timerCmdLine, &QTimer::timeout, this, [this] {
        // One tick opens the file once, even when the open has to wait for a command.
        m_timerCmdLine.stop();
        RunWhenIdle([this] { OnTimer(kTimerCmdLine); });
    });
    m_timerRecovery.setParent(this);
    m_timerRecovery.setInterval(kRecoveryInterval);
    connect(&m_timerRecovery, &QTimer::timeout, this, [this] {
        // A command in progress has the movie; the next tick comes soon enough.
        if (m_nCommandDepth == 0)
            _SaveRecoveryCopy();
    });
    resize(1014, 661);
    move(0, 0);
}

COrvaneDlg::~COrvaneDlg() = default;

bool COrvaneDlg::Create()
{
    if (OnCreate() == -1)
        return false;
    // The control plays on the player the check created.
    auto checked = std::shared_ptr<FlashCreateResult>(std::move(m_checkedPlayer));
    m_ctrlFlash.Create([checked] { return std::move(*checked); }, ControlInitialPropertiesBlock());
    // The movie's FSCommand calls have no effect: FSCommand stays unconnected.
    connect(&m_ctrlFlash, &CShockwaveFlash::FlashCall, this,
            [this](const QString& request) { RunWhenIdle([this, request] { OnFlashCallSwf(request); }); });
    connect(&m_ctrlFlash, &CShockwaveFlash::PlayerStopped, this,
            [this](const QString& reason) { RunWhenIdle([this, reason] { OnPlayerStopped(reason); }); });
    return true;
}

int COrvaneDlg::OnCreate() { return CheckFlashPlayerVersion(); }

int COrvaneDlg::DoModal()
{
    if (!Create())
        return -1;
    OnInitDialog();
    show();
    QEventLoop loop;
    connect(this, &COrvaneDlg::quitPosted, &loop, &QEventLoop::exit, Qt::QueuedConnection);
    return loop.exec();
}

void COrvaneDlg::PostQuitMessage(int exitCode) { emit quitPosted(exitCode); }

void COrvaneDlg::closeEvent(QCloseEvent* event)
{
    // Only the quit message ends the program; the window never closes itself.
    event->ignore();
    RunWhenIdle([this] { OnClose(); });
}

void COrvaneDlg::RunWhenIdle(std::function<void()> event)
{
    if (m_nCommandDepth > 0) {
        m_deferredEvents.push_back(std::move(event));
        return;
    }
    const CommandScope scope(*this);
    event();
}

void COrvaneDlg::RunDeferredEvents()
{
    while (m_nCommandDepth == 0 && !m_deferredEvents.empty()) {
        std::function<void()> event = std::move(m_deferredEvents.front());
        m_deferredEvents.pop_front();
        const CommandScope scope(*this);
        event();
    }
}

bool COrvaneDlg::RunGuarded(const char* label, const std::function<void()>& body,
                            const std::function<void()>& beforeReport)
{
    std::string message;
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "unknown exception";
    }
    if (beforeReport)
        beforeReport();
    REPORT_ERROR(g_ErrorLog, label, label, message);
    ShowError(MakeErrorText("(#10001)"));
    return false;
}

void COrvaneDlg::ShowError(const std::string& text)
{
    m_env.dialogs->MessageBox(this, text, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
}
