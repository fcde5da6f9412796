#pragma once
// One run of the server update check on a thread of its own. The thread works
// only on a state of its own, shared with the waiting side: nothing it does
// reaches the program unless the waiting side takes its result, which it can
// do only once the run has ended in time. A run that is given up is asked to
// stop and let go: nothing ever waits for it again, not even the end of the
// program (see Running()).

#include "orvane/ErrorLog.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

// What one run produces, on the worker's side.
struct UpdateCheckWork {
    int nResult = 0;
    bool localFileRead = false;      // the two addresses below were read
    std::string strUrlDownload{};      // URL_DOWNLOAD of the local version file
    std::string strUrlVersionCheck{};  // URL_VERSION_CHECK of the local version file
    std::vector<std::string> pUpdateFiles{};  // the update files the server has for the user
    std::vector<CapturedLogRecord> logRecords{};  // in the order written
};

class UpdateCheckWorker {
public:
    // Fills the run's own work; should return promptly once stop is requested.
    using Procedure = std::function<void(UpdateCheckWork&, std::stop_token)>;

    // Starts the thread. Throws std::system_error when no thread can be started.
    explicit UpdateCheckWorker(Procedure procedure);
    // Joins a run that was not given up (it has ended or is about to).
    ~UpdateCheckWorker();
    UpdateCheckWorker(UpdateCheckWorker&&) noexcept = default;
    UpdateCheckWorker& operator=(UpdateCheckWorker&&) noexcept = default;

    // Waits at most limit for the run to end: its work when it ended in time,
    // nullopt otherwise. Called once per run.
    std::optional<UpdateCheckWork> WaitFor(std::chrono::milliseconds limit);
    // Gives a run that did not end in time up: asks the thread to stop and
    // lets it go. Its work is never taken.
    void Abandon();
    // True once the procedure has returned.
    bool Finished() const;

    // Runs of the whole process whose procedure has not returned yet. A
    // program that ends while this is not zero must end without running
    // static destructors (std::quick_exit), which such a run may still use.
    static int Running();

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::jthread m_thread;
};

}  // namespace orvane
