#pragma once
// One run of the server update check on a thread of its own. The thread works
// only on a state of its own, shared with the waiting side: nothing it does
// reaches the program unless the waiting side takes its result, which it can
// do only once the run has ended in time. A run that is given up is asked to
// stop and its result is never taken.

#include "orvane/ErrorLog.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

// What one run produces, on the worker's side.
struct UpdateCheckWork {
    int nResult = 0;
    std::vector<std::string> updateFiles;
    bool localFileRead = false;      // the two addresses below were read
    std::string strUrlDownload;      // URL_DOWNLOAD of the local version file
    std::string strUrlVersionCheck;  // URL_VERSION_CHECK of the local version file
    std::vector<CapturedLogRecord> logRecords;  // in the order written
};

class UpdateCheckWorker {
public:
    // Fills the run's own work; should return promptly once stop is requested.
    using Procedure = std::function<void(UpdateCheckWork&, std::stop_token)>;

    // Starts the thread. Throws std::system_error when no thread can be started.
    explicit UpdateCheckWorker(Procedure procedure);
    // Asks the thread to stop (if still running) and joins it.
    ~UpdateCheckWorker();
    UpdateCheckWorker(UpdateCheckWorker&&) noexcept = default;
    UpdateCheckWorker& operator=(UpdateCheckWorker&&) noexcept = default;

    // Waits at most limit for the run to end: its work when it ended in time,
    // nullopt otherwise. Called once per run.
    std::optional<UpdateCheckWork> WaitFor(std::chrono::milliseconds limit);
    // Gives a run that did not end in time up: asks the thread to stop. Its
    // work is not taken afterwards.
    void Abandon();
    // True once the procedure has returned.
    bool Finished() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::jthread m_thread;
};
