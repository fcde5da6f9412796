#pragma once
// What the server update check decides and keeps: the outcome of a check run
// on its worker while the window waits, the addresses the installed version
// file gave it, and the outcome told to the user.

#include "dialogs/UserDialogs.h"
#include "update/UpdateCheck.h"
#include "update/UpdateCheckWorker.h"

#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

class QWidget;

// One update check's record: the update files found and the outcome.
struct SvrChkParam {
    std::vector<std::string> pUpdateFiles;
    int nResult = SVRCHK_ERROR;
};

// URL_DOWNLOAD and URL_VERSION_CHECK as the last update check read them; empty before the first.
extern std::string g_strUrlDownload;
extern std::string g_strUrlVersionCheck;

namespace orvane {

// The check's work on its worker: CompareWithServer, an exception taken as
// SVRCHK_ERROR. Its records wait in the work until the waiting side takes it.
void CompareOnWorker(UpdateCheckWork& work, std::stop_token stop);

// Runs procedure (CompareOnWorker when empty) and waits for it at most limit:
// its outcome, SVRCHK_TIMEOUT when it did not end in time. The addresses are
// kept and the records written only from a run that ended in time, the
// addresses once it read the installed version file.
[[nodiscard]] SvrChkParam CheckForUpdate(UpdateCheckWorker::Procedure procedure,
                                         std::chrono::milliseconds limit, QWidget* owner);

// Tells the user the outcome, and records an error; quiet: only the update
// question is shown. True when an update was offered and accepted.
[[nodiscard]] bool UpdateAccepted(UserDialogs& dialogs, QWidget* owner, const SvrChkParam& param, bool quiet);

}  // namespace orvane
