// COrvaneDlg: construction, creation, the modal run and the handler guard.
#include "OrvaneDlg.h"

#include "InitialProperties.h"
#include "dialogs/QtUserDialogs.h"

#include "orvane/ErrorLog.h"
#include "orvane/RecoveryStore.h"
#include "orvane/StringTable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>

COrvaneDlg::Environment COrvaneDlg::ProcessEnvironment(std::vector<std::string> arguments)
{
    return {std::make_shared<orvane::QtUserDialogs>(),
            std::make_shared<orvane::WindowResources>(),
            std::move(arguments),
            QCoreApplication::applicationFilePath(),
            orvane::DefaultRecoveryFolder(),
            {},
            std::chrono::seconds(30),
            orvane::DefaultCatalogDataFolder()};
}

COrvaneDlg::COrvaneDlg(orvane::FlashPlayerFactory factory, Environment environment)
    : m_hIcon(orvane::WindowResources::LoadIcon(IDR_MAINFRAME)),
      m_factory(std::move(factory)),
      m_env(std::move(environment)),
      m_actions(this),
      // What each room needs of the window, from the window's own functions.
      m_recovery({this, m_env.dialogs.get(), std::bind_front(&COrvaneDlg::SaveData, this),
                  std::bind_front(&COrvaneDlg::LoadIntoMovie, this),
                  std::bind_front(&CShockwaveFlash::Restart, &m_ctrlFlash),
                  std::bind_front(&orvane::UserActions::Run, &m_actions)},
                 m_env.recoveryFolder, this),
      m_bom({this, m_env.dialogs.get(), std::bind_front(&COrvaneDlg::FilePath, this),
             std::bind_front(&COrvaneDlg::FetchBill, this), std::bind_front(&COrvaneDlg::ShowError, this)}),
      m_catalog({this, m_env.dialogs.get(),
                 [this](const std::optional<std::string>& bytes) {
                     m_ctrlFlash.ServeInPlaceOf(
                         QString::fromUtf8(orvane::kCatalogFileName),
                         bytes ? std::optional(QByteArray::fromStdString(*bytes)) : std::nullopt);
                 }},
                m_env.catalogFolder, this),
      m_export({this, m_env.dialogs.get(), std::bind_front(&COrvaneDlg::FilePath, this),
                std::bind_front(&COrvaneDlg::FetchBill, this),
                std::bind_front(&orvane::CatalogCommands::ServedCatalogBytes, &m_catalog),
                std::bind_front(&COrvaneDlg::ShowError, this)}),
      m_desktop({this, std::bind_front(&orvane::UserActions::MovieReady, &m_actions),
                 std::bind_front(&COrvaneDlg::QueueDrop, this),
                 std::bind_front(&orvane::UserActions::RunIfIdle, &m_actions),
                 std::bind_front(&COrvaneDlg::OnQueryEndSession, this),
                 std::bind_front(&orvane::WorkRecovery::KeepNow, &m_recovery)},
                this),
      m_keyboard({this, &m_ctrlFlash}, this),
      m_session({this, m_env.dialogs.get(),
                 {std::bind_front(&COrvaneDlg::FetchSelectionText, this),
                  std::bind_front(&COrvaneDlg::LoadIntoMovie, this), [this] { CallMovie("zNewOpen", {}); }},
                 [this](const char* label, const std::function<void()>& body) {
                     return RunGuarded(label, body);
                 },
                 std::bind_front(&COrvaneDlg::ShowError, this),
                 std::bind_front(&orvane::WorkRecovery::SelectionSettled, &m_recovery),
                 std::bind_front(&orvane::WorkRecovery::DiscardCopy, &m_recovery),
                 std::bind_front(&COrvaneDlg::TellCurrentFile, this)})
{
    setWindowTitle(QString::fromUtf8(orvane::kProgramTitle));
    // Caption, window menu and minimise box; no maximise box, no sizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_ctrlFlash.setParent(m_client);
    m_ctrlFlash.setObjectName(QStringLiteral("control1000"));

    m_timerCmdLine.setParent(this);
    m_timerCmdLine.setObjectName(QStringLiteral("timer1"));
    m_timerCmdLine.setInterval(100);
    connect(&m_timerCmdLine, &QTimer::timeout, this, [this] {
        // One tick opens the file once, even when the open has to wait for a command.
        m_timerCmdLine.stop();
        m_actions.Run([this] { OnTimer(kTimerCmdLine); });
    });
    resize(1014, 661);
    move(0, 0);
}

COrvaneDlg::~COrvaneDlg() = default;

bool COrvaneDlg::Create()
{
    if (OnCreate() == -1)
        return false;
    // The control plays on the player the check created; FSCommand stays unconnected (no effect).
    m_ctrlFlash.Attach(std::move(m_checkedPlayer), orvane::ControlInitialPropertiesBlock());
    connect(&m_ctrlFlash, &CShockwaveFlash::FlashCall, this,
            [this](const QString& request) { m_actions.Run([this, request] { OnFlashCallSwf(request); }); });
    connect(&m_ctrlFlash, &CShockwaveFlash::PlayerStopped, this,
            [this](const QString& reason) { m_actions.Run([this, reason] { OnPlayerStopped(reason); }); });
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
    m_actions.Run([this] { OnClose(); });
}

bool COrvaneDlg::RunGuarded(const char* label, const std::function<void()>& body,
                            const std::function<void()>& beforeReport)
{
    std::string message;
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        message = orvane::ExceptionText(error);
    } catch (...) {
        message = "unknown exception";
    }
    if (beforeReport)
        beforeReport();
    REPORT_ERROR(g_ErrorLog, 0, label, label, message);
    ShowError(orvane::MakeErrorText("(#10001)"));
    return false;
}

void COrvaneDlg::ShowError(const std::string& text)
{
    m_env.dialogs->MessageBox(this, text, m_strErrCaption, orvane::MsgButtons::Ok, orvane::MsgIcon::Error);
}
