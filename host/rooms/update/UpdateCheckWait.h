#pragma once
// The window's wait for the update check's worker. A check that answers
// within a moment shows nothing; a longer one shows a busy cursor and a small
// modal "正在检查更新…" notice while the window keeps painting. Keys and
// clicks wait until the check is over.

#include "update/UpdateCheckWorker.h"

#include <chrono>
#include <optional>

class QWidget;

namespace orvane {

// The work of the worker when it ended within limit; nullopt otherwise.
[[nodiscard]] std::optional<UpdateCheckWork> WaitForUpdateCheck(UpdateCheckWorker& worker,
                                                                std::chrono::milliseconds limit,
                                                                QWidget* owner);

// Runs procedure on a worker of its own and waits for it: its work when it
// ended in time; a work with outcome SVRCHK_ERROR when no thread could be
// started; nullopt when it did not end in time, the worker then being given
// up (nothing of it reaches the program any more, and nothing waits for it).
[[nodiscard]] std::optional<UpdateCheckWork> RunUpdateCheck(UpdateCheckWorker::Procedure procedure,
                                                            std::chrono::milliseconds limit, QWidget* owner);

}  // namespace orvane
