// COrvaneDlg: the server update check. A worker thread reads the local
// version file and the server's copy and compares their versions; the window
// waits for it, blocked, for at most m_svrChkWaitLimit, then tells the user.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/VersionCompare.h"
#include "orvane/VersionInf.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <exception>
#include <optional>
#include <system_error>

std::string g_strUrlDownload;
std::string g_strUrlVersionCheck;

namespace {

constexpr const char* kServerFileName = "z_ver.xml";
constexpr const char* kLatestText = "最新の選定システムを使用しています。";
constexpr const char* kNoUpdateInfoText = "サーバに接続できないか、または、アップデート情報がありません。";
constexpr const char* kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
constexpr const char* kUpdateCaption = "更新";
constexpr const char* kConfirmCaption = "確認";
constexpr const char* kNotWebAddressText = "ダウンロード先が http または https のアドレスではありません。";
// A check that answers within this shows nothing while the window waits.
constexpr std::chrono::milliseconds kQuietWait{300};

// Steps 2 to 7 of the worker: the outcome, with work's addresses filled.
int CompareWithServer(UpdateCheckWork& work, std::stop_token stop)
{
    VersionInf local;
    if (!_GetLocalVersionInf(local)) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "_GetLocalVersionInf()", "(#1006)");
        return SVRCHK_ERROR;
    }
    work.strUrlDownload = local.strUrlDownload;
    work.strUrlVersionCheck = local.strUrlVersionCheck;
    work.localFileRead = true;

    VersionInf server;
    if (!_GetXmlInf(work.strUrlVersionCheck + kServerFileName, server, {}, stop)) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "_GetXmlInf()",
                     "XML情報取得（サーバ）に失敗しました。");
        return SVRCHK_ERROR;
    }
    // A newer release on the server: its installer waits at URL_DOWNLOAD.
    return orvane::IsServerVersionNewer(local.strVersion, server.strVersion) ? SVRCHK_UPDATE : SVRCHK_LATEST;
}

// Hands the download address to the desktop's opener, a web address only: a
// file:// address or a plain path from a tampered version file would make the
// desktop open or run a local file.
void OpenDownloadAddress(CUserDialogs& dialogs, const std::string& download)
{
    const QUrl address = QUrl::fromUserInput(QString::fromStdString(download));
    const QString scheme = address.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileChk()", "OpenUrl()", kNotWebAddressText);
        return;
    }
    dialogs.OpenUrl(address);
}

}  // namespace

void COrvaneDlg::_SvrFileChk(bool quiet)
{
    // The check may end in quitting the program: keep the user's work first.
    _SaveRecoveryCopy();
    SvrChkParam param;
    _SvrFileVersionCheckThread(param);

    const auto tell = [&](const char* text, const char* caption, MsgButtons buttons, MsgIcon icon) {
        return m_env.dialogs->MessageBox(this, text, caption, buttons, icon);
    };
    switch (param.nResult) {
    case SVRCHK_LATEST:
        if (!quiet)
            tell(kLatestText, kUpdateCaption, MsgButtons::Ok, MsgIcon::None);
        break;
    case SVRCHK_ERROR:
        REPORT_ERROR(g_ErrorLog, "_SvrFileChk()", "_SvrFileVersionCheckThread()", kNoUpdateInfoText);
        if (!quiet)
            tell(kNoUpdateInfoText, kConfirmCaption, MsgButtons::Ok, MsgIcon::Information);
        break;
    case SVRCHK_UPDATE:
        if (tell(kUpdateQuestion, kUpdateCaption, MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes
            && _ConfirmExit("COrvaneDlg::OnMenuSvrFileChk()")) {
            // Whether the desktop could open it or not, the program ends.
            OpenDownloadAddress(*m_env.dialogs, g_strUrlDownload);
            PostQuitMessage(0);
        }
        break;
    case SVRCHK_TIMEOUT:
        if (!quiet)
            tell(kNoUpdateInfoText, kUpdateCaption, MsgButtons::Ok, MsgIcon::None);
        break;
    }
}

void COrvaneDlg::_SvrFileVersionCheckThread(SvrChkParam& param)
{
    std::optional<UpdateCheckWorker> worker;
    try {
        worker.emplace(m_env.svrChkProcedure ? m_env.svrChkProcedure
                                             : UpdateCheckWorker::Procedure(&COrvaneDlg::_SvrFileVersionCheck));
    } catch (const std::system_error&) {
        // No thread to check on: the check could not be made, as when a file was not read.
        param.nResult = SVRCHK_ERROR;
        return;
    }

    std::optional<UpdateCheckWork> work = WaitForSvrChk(*worker);
    if (!work) {
        // Given up: nothing of this worker reaches the record, the addresses
        // or the log any more, and nothing waits for it.
        param.nResult = SVRCHK_TIMEOUT;
        worker->Abandon();
        return;
    }
    if (work->localFileRead) {
        g_strUrlDownload = std::move(work->strUrlDownload);
        g_strUrlVersionCheck = std::move(work->strUrlVersionCheck);
    }
    param.nResult = work->nResult;
    orvane::CErrorLogCapture::Replay(work->logRecords);
}

std::optional<UpdateCheckWork> COrvaneDlg::WaitForSvrChk(UpdateCheckWorker& worker)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + m_svrChkWaitLimit;
    if (std::optional<UpdateCheckWork> work = worker.WaitFor(std::min(m_svrChkWaitLimit, kQuietWait)))
        return work;
    if (Clock::now() >= deadline)
        return std::nullopt;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog notice(QStringLiteral("正在检查更新…"), QString(), 0, 0, this);
    notice.setObjectName(QStringLiteral("svrChkNotice"));
    notice.setWindowTitle(QString::fromUtf8(kUpdateCaption));
    notice.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    notice.setWindowModality(Qt::ApplicationModal);
    notice.setCancelButton(nullptr);
    notice.setMinimumDuration(0);
    notice.show();

    // Paint and timers go on; keys and clicks wait until the check is over.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (worker.Finished() || Clock::now() >= deadline)
            loop.quit();
    });
    poll.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    notice.hide();
    QApplication::restoreOverrideCursor();
    return worker.WaitFor(std::chrono::milliseconds(0));
}

void COrvaneDlg::_SvrFileVersionCheck(UpdateCheckWork& work, std::stop_token stop)
{
    // This thread's records wait in the capture; the waiting side writes them
    // only when it takes this run's work.
    orvane::CErrorLogCapture capture;
    try {
        work.nResult = CompareWithServer(work, stop);
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()",
                     error.what());
        work.nResult = SVRCHK_ERROR;
    } catch (...) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()",
                     "unknown exception");
        work.nResult = SVRCHK_ERROR;
    }
    work.logRecords = capture.TakeRecords();
}
