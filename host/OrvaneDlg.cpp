// COrvaneDlg: construction, creation, the modal run and the handler guard.
#include "OrvaneDlg.h"

#include "InitialProperties.h"
#include "QtUserDialogs.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QSessionManager>
#include <QUrl>

namespace {

constexpr std::chrono::milliseconds kRecoveryInterval{30000};

// The local ".zsr" file a drop opens: the first one among the dropped
// files (other files are left alone); nullopt when there is none.
std::optional<std::string> DroppedSelectionFile(const QMimeData* data)
{
    if (!data)
        return std::nullopt;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && path.endsWith(QStringLiteral(".zsr"), Qt::CaseInsensitive))
            return QFile::encodeName(path).toStdString();  // the file system's bytes
    }
    return std::nullopt;
}

// Drops are taken while the document commands are not grey.
void AnswerDrag(QDragMoveEvent* event, bool commandsEnabled)
{
    if (commandsEnabled && DroppedSelectionFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

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

    _UpdateWindowTitle();
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
    setAcceptDrops(true);
    QCoreApplication::instance()->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!OnQueryEndSession(manager.allowsInteraction()))
            manager.cancel();
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
    m_ctrlFlash.Attach(std::move(m_checkedPlayer), ControlInitialPropertiesBlock());
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

void COrvaneDlg::dragEnterEvent(QDragEnterEvent* event) { AnswerDrag(event, m_bFileCommandsEnabled); }

void COrvaneDlg::dragMoveEvent(QDragMoveEvent* event) { AnswerDrag(event, m_bFileCommandsEnabled); }

void COrvaneDlg::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = DroppedSelectionFile(event->mimeData());
    if (!m_bFileCommandsEnabled || !path)
        return event->ignore();
    event->acceptProposedAction();
    RunWhenIdle([this, path = *path] { OnDropFiles(path); });
}

bool COrvaneDlg::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !m_ctrlFlash.isAncestorOf(widget))
        return QMainWindow::eventFilter(watched, event);
    if (type == QEvent::Drop)
        dropEvent(static_cast<QDropEvent*>(event));
    else
        AnswerDrag(static_cast<QDragMoveEvent*>(event), m_bFileCommandsEnabled);
    return true;
}

void COrvaneDlg::OnDropFiles(const std::string& path)
{
    // The commands may have turned grey while the drop waited for a command.
    if (!m_bFileCommandsEnabled)
        return;
    RunGuarded("COrvaneDlg::OnDropFiles()", [&] {
        if (_AskSaveChanges(_FetchSelectionText()))
            _FileOpen(path);
    });
}

bool COrvaneDlg::OnQueryEndSession(bool interactionAllowed)
{
    if (!interactionAllowed) {
        // Nobody may be asked: unsaved work waits in the recovery copy.
        if (m_nCommandDepth == 0)
            _SaveRecoveryCopy();
        return true;
    }
    // A command in progress (a dialog open, a save running) cannot be asked
    // to end: the logout is cancelled and the user finishes the command.
    if (m_nCommandDepth > 0)
        return false;
    bool mayEnd = false;
    RunWhenIdle([&] {
        const char* label = "COrvaneDlg::OnQueryEndSession()";
        const bool completed = RunGuarded(label, [&] { mayEnd = _ConfirmExit(label); });
        // As when closing, a failure never holds the user back.
        mayEnd = mayEnd || !completed;
    });
    return mayEnd;
}

void COrvaneDlg::_UpdateWindowTitle()
{
    if (m_strFilePath.empty())
        return setWindowTitle(kProgramTitle);
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_strFilePath))).fileName();
    setWindowTitle(name + QStringLiteral(" - ") + kProgramTitle);
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
    ShowError(orvane::MakeErrorText("(#10001)"));
    return false;
}

void COrvaneDlg::ShowError(const std::string& text)
{
    m_env.dialogs->MessageBox(this, text, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
}
