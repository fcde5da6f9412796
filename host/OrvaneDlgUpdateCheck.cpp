// COrvaneDlg: the server update check. A worker thread reads the local
// version file and the server's copy and compares their versions; the window
// waits for it (orvane::WaitForUpdateCheck) for at most the environment's wait
// limit, then tells the user.
#include "OrvaneDlg.h"

#include "update/UpdateCheck.h"
#include "update/UpdateCheckWait.h"

#include "orvane/ErrorLog.h"

#include <exception>
#include <optional>

std::string g_strUrlDownload;
std::string g_strUrlVersionCheck;

namespace {

constexpr const char* kLatestText = "最新の選定システムを使用しています。";
constexpr const char* kNoUpdateInfoText = "サーバに接続できないか、または、アップデート情報がありません。";
constexpr const char* kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
constexpr const char* kUpdateCaption = "更新";
constexpr const char* kConfirmCaption = "確認";

}  // namespace

void COrvaneDlg::_SvrFileChk(bool quiet)
{
    // The check may end in quitting the program: keep the user's work first.
    m_recovery.KeepNow();
    SvrChkParam param;
    _SvrFileVersionCheckThread(param);

    const auto tell = [&](const char* text, const char* caption, orvane::MsgButtons buttons, orvane::MsgIcon icon) {
        return m_env.dialogs->MessageBox(this, text, caption, buttons, icon);
    };
    switch (param.nResult) {
    case SVRCHK_LATEST:
        if (!quiet)
            tell(kLatestText, kUpdateCaption, orvane::MsgButtons::Ok, orvane::MsgIcon::None);
        break;
    case SVRCHK_ERROR:
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileChk()", "_SvrFileVersionCheckThread()", kNoUpdateInfoText);
        if (!quiet)
            tell(kNoUpdateInfoText, kConfirmCaption, orvane::MsgButtons::Ok, orvane::MsgIcon::Information);
        break;
    case SVRCHK_UPDATE:
        if (tell(kUpdateQuestion, kUpdateCaption, orvane::MsgButtons::YesNo, orvane::MsgIcon::Exclamation) == orvane::MsgResult::Yes
            && _ConfirmExit("COrvaneDlg::OnMenuSvrFileChk()")) {
            // Whether the desktop could open it or not, the program ends.
            orvane::OpenDownloadAddress(*m_env.dialogs, g_strUrlDownload);
            PostQuitMessage(0);
        }
        break;
    case SVRCHK_TIMEOUT:
        if (!quiet)
            tell(kNoUpdateInfoText, kUpdateCaption, orvane::MsgButtons::Ok, orvane::MsgIcon::None);
        break;
    }
}

void COrvaneDlg::_SvrFileVersionCheckThread(SvrChkParam& param)
{
    std::optional<orvane::UpdateCheckWork> work =
        orvane::RunUpdateCheck(m_env.svrChkProcedure ? m_env.svrChkProcedure : &COrvaneDlg::_SvrFileVersionCheck,
                               m_env.svrChkWaitLimit, this);
    if (!work) {
        param.nResult = SVRCHK_TIMEOUT;  // nothing of the worker reaches the program any more
        return;
    }
    if (work->localFileRead) {
        g_strUrlDownload = std::move(work->strUrlDownload);
        g_strUrlVersionCheck = std::move(work->strUrlVersionCheck);
    }
    param.pUpdateFiles = std::move(work->pUpdateFiles);
    param.nResult = work->nResult;
    orvane::ErrorLogCapture::Replay(work->logRecords);
}

void COrvaneDlg::_SvrFileVersionCheck(orvane::UpdateCheckWork& work, std::stop_token stop)
{
    // This thread's records wait in the capture; the waiting side writes them
    // only when it takes this run's work.
    orvane::ErrorLogCapture capture;
    try {
        work.nResult = orvane::CompareWithServer(work, stop);
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()",
                     orvane::ExceptionText(error));
        work.nResult = SVRCHK_ERROR;
    } catch (...) {
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileVersionCheck()", "COrvaneDlg::_SvrFileVersionCheck()", "unknown exception");
        work.nResult = SVRCHK_ERROR;
    }
    work.logRecords = capture.TakeRecords();
}
