#include "update/UpdateOutcome.h"

#include "update/UpdateCheckWait.h"

#include "orvane/ErrorLog.h"

#include <exception>
#include <optional>

std::string g_strUrlDownload;
std::string g_strUrlVersionCheck;

namespace orvane {

namespace {

constexpr const char* kLatestText = "最新の選定システムを使用しています。";
constexpr const char* kNoUpdateInfoText =
    "サーバに接続できないか、または、アップデート情報がありません。";
constexpr const char* kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
constexpr const char* kUpdateCaption = "更新";
constexpr const char* kConfirmCaption = "確認";
constexpr const char* kWorkerLabel = "COrvaneDlg::_SvrFileVersionCheck()";

}  // namespace

void CompareOnWorker(UpdateCheckWork& work, std::stop_token stop)
{
    ErrorLogCapture capture;
    try {
        work.nResult = CompareWithServer(work, stop);
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileVersionCheck()", kWorkerLabel, ExceptionText(error));
        work.nResult = SVRCHK_ERROR;
    } catch (...) {
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileVersionCheck()", kWorkerLabel, "unknown exception");
        work.nResult = SVRCHK_ERROR;
    }
    work.logRecords = capture.TakeRecords();
}

SvrChkParam CheckForUpdate(UpdateCheckWorker::Procedure procedure, std::chrono::milliseconds limit,
                           QWidget* owner)
{
    std::optional<UpdateCheckWork> work =
        RunUpdateCheck(procedure ? procedure : &CompareOnWorker, limit, owner);
    if (!work)
        return {{}, SVRCHK_TIMEOUT};  // nothing of the worker reaches the program any more
    if (work->localFileRead) {
        g_strUrlDownload = std::move(work->strUrlDownload);
        g_strUrlVersionCheck = std::move(work->strUrlVersionCheck);
    }
    ErrorLogCapture::Replay(work->logRecords);
    return {std::move(work->pUpdateFiles), work->nResult};
}

bool UpdateAccepted(UserDialogs& dialogs, QWidget* owner, const SvrChkParam& param, bool quiet)
{
    const auto tell = [&](const char* text, const char* caption, MsgIcon icon) {
        if (!quiet)
            dialogs.MessageBox(owner, text, caption, MsgButtons::Ok, icon);
    };
    switch (param.nResult) {
    case SVRCHK_LATEST:
        tell(kLatestText, kUpdateCaption, MsgIcon::None);
        return false;
    case SVRCHK_ERROR:
        REPORT_ERROR(g_ErrorLog, 0, "_SvrFileChk()", "_SvrFileVersionCheckThread()", kNoUpdateInfoText);
        tell(kNoUpdateInfoText, kConfirmCaption, MsgIcon::Information);
        return false;
    case SVRCHK_UPDATE:
        return dialogs.MessageBox(owner, kUpdateQuestion, kUpdateCaption, MsgButtons::YesNo,
                                  MsgIcon::Exclamation) == MsgResult::Yes;
    case SVRCHK_TIMEOUT:
        tell(kNoUpdateInfoText, kUpdateCaption, MsgIcon::None);
        return false;
    }
    return false;
}

}  // namespace orvane
