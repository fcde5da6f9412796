#pragma once
// What the update check does besides waiting: the worker's comparison of the
// installed version with the server's, and the opening of the download
// address once the user accepted an update.

#include "dialogs/UserDialogs.h"
#include "update/UpdateCheckWorker.h"

#include <stop_token>
#include <string>

// Outcome codes of the server update check.
enum : int { SVRCHK_LATEST = 0, SVRCHK_ERROR = 1, SVRCHK_UPDATE = 3, SVRCHK_TIMEOUT = 5 };

namespace orvane {

// Reads the local version file and the server's copy (URL_VERSION_CHECK +
// "z_ver.xml") and compares their versions: SVRCHK_LATEST, SVRCHK_ERROR or
// SVRCHK_UPDATE. Fills work's addresses once the local file is read and its
// update files ("TorvexOrvane.msi" when the server is newer), and records each
// failure. stop ends a fetch at once.
[[nodiscard]] int CompareWithServer(UpdateCheckWork& work, std::stop_token stop);

// Opens the download address as the installed version file gives it, with the
// desktop's opener (a plain path as a file address).
void OpenDownloadAddress(UserDialogs& dialogs, const std::string& address);

}  // namespace orvane
