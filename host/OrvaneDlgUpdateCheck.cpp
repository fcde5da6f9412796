// COrvaneDlg: the server update check. A worker thread reads the local
// version file and the server's copy and compares their versions; the window
// waits for it, blocked, for at most m_svrChkWaitLimit, then tells the user.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/VersionCompare.h"
#include "orvane/VersionInf.h"

#include <QUrl>

#include <algorithm>
#include <exception>
#include <optional>
#include <system_error>

std::string g_strUrlDownload;
std::string g_strUrlVersionCheck;

namespace {

constexpr const char* kUpdateFileName = "TorvexOrvane.msi";
constexpr const char* kServerFileName = "z_ver.xml";
constexpr const char* kLatestText = "最新の選定システムを使用しています。";
constexpr const char* kNoUpdateInfoText = "サーバに接続できないか、または、アップデート情報がありません。";
constexpr const char* kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
constexpr const char* kUpdateCaption = "更新";
constexpr const char* kConfirmCaption = "確認";

std::string Description(const char* what)
{
    constexpr std::size_t kMaxDescription = 1023;
    std::string text = what;
    text.resize(std::min(text.size(), kMaxDescription));
    return text;
}

// Steps 2 to 7 of the worker: the outcome, with work's list and addresses filled.
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
    if (IsServerVersionNewer(local.strVersion, server.strVersion))
        work.updateFiles.emplace_back(kUpdateFileName);
    return work.updateFiles.empty() ? SVRCHK_LATEST : SVRCHK_UPDATE;
}

}  // namespace

void COrvaneDlg::_SvrFileChk(bool quiet)
{
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
            && _ConfirmExit()) {
            // Whether the desktop could open it or not, the program ends.
            m_env.dialogs->OpenUrl(QUrl::fromUserInput(QString::fromStdString(g_strUrlDownload)));
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
    std::erase_if(m_abandonedSvrChks, [](const UpdateCheckWorker& worker) { return worker.Finished(); });

    std::optional<UpdateCheckWorker> worker;
    try {
        worker.emplace(&COrvaneDlg::_SvrFileVersionCheck);
    } catch (const std::system_error&) {
        // No thread to check on: the check could not be made, as when a file was not read.
        param.nResult = SVRCHK_ERROR;
        return;
    }

    std::optional<UpdateCheckWork> work = worker->WaitFor(m_svrChkWaitLimit);
    if (!work) {
        // Given up: nothing of this worker reaches the record, the addresses
        // or the log any more.
        param.nResult = SVRCHK_TIMEOUT;
        worker->Abandon();
        m_abandonedSvrChks.push_back(std::move(*worker));
        return;
    }
    if (work->localFileRead) {
        g_strUrlDownload = std::move(work->strUrlDownload);
        g_strUrlVersionCheck = std::move(work->strUrlVersionCheck);
    }
    param.updateFiles = std::move(work->updateFiles);
    param.nResult = work->nResult;
    CErrorLogCapture::Replay(work->logRecords);
}

void COrvaneDlg::_SvrFileVersionCheck(UpdateCheckWork& work, std::stop_token stop)
{
    // This thread's records wait in the capture; the waiting side writes them
    // only when it takes this run's work.
    CErrorLogCapture capture;
    try {
        work.nResult = CompareWithServer(work, stop);
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()",
                     Description(error.what()));
        work.nResult = SVRCHK_ERROR;
    } catch (...) {
        REPORT_ERROR(g_ErrorLog, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()",
                     "unknown exception");
        work.nResult = SVRCHK_ERROR;
    }
    work.logRecords = capture.TakeRecords();
}
