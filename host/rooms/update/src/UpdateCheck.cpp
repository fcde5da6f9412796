#include "update/UpdateCheck.h"

#include "orvane/ErrorLog.h"
#include "orvane/VersionCompare.h"
#include "orvane/VersionInf.h"

#include <QUrl>

namespace orvane {

namespace {

constexpr const char* kServerFileName = "z_ver.xml";
// The update file a newer release on the server has for the user.
constexpr const char* kUpdateFileName = "TorvexOrvane.msi";

}  // namespace

int CompareWithServer(UpdateCheckWork& work, std::stop_token stop)
{
    VersionInf local;
    int systemError = 0;
    if (!_GetLocalVersionInf(local, &systemError)) {
        REPORT_ERROR(g_ErrorLog, systemError, "_SvrFileVersionCheck()", "_GetLocalVersionInf()", "(#1006)");
        return SVRCHK_ERROR;
    }
    work.strUrlDownload = local.strUrlDownload;
    work.strUrlVersionCheck = local.strUrlVersionCheck;
    work.localFileRead = true;

    VersionInf server;
    if (!_GetXmlInf(work.strUrlVersionCheck + kServerFileName, server, {}, stop, &systemError)) {
        REPORT_ERROR(g_ErrorLog, systemError, "_SvrFileVersionCheck()", "_GetXmlInf()",
                     "XML情報取得（サーバ）に失敗しました。");
        return SVRCHK_ERROR;
    }
    // A newer release on the server: its installer waits at URL_DOWNLOAD.
    if (IsServerVersionNewer(local.strVersion, server.strVersion))
        work.pUpdateFiles.push_back(kUpdateFileName);
    return work.pUpdateFiles.empty() ? SVRCHK_LATEST : SVRCHK_UPDATE;
}

void OpenDownloadAddress(UserDialogs& dialogs, const std::string& address)
{
    dialogs.OpenUrl(QUrl::fromUserInput(QString::fromStdString(address)));
}

}  // namespace orvane
