#include "update/UpdateCheckWorker.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace orvane {

namespace {

std::atomic<int> g_running{0};

}  // namespace

struct UpdateCheckWorker::State {
    UpdateCheckWork work;  // the thread's until finished, then the waiting side's
    bool finished = false;
    mutable std::mutex mutex;
    std::condition_variable finishedSignal;
};

UpdateCheckWorker::UpdateCheckWorker(Procedure procedure) : m_state(std::make_shared<State>())
{
    ++g_running;
    try {
        m_thread = std::jthread([state = m_state, procedure = std::move(procedure)](std::stop_token stop) {
            procedure(state->work, stop);
            {
                const std::lock_guard lock(state->mutex);
                state->finished = true;
            }
            state->finishedSignal.notify_all();
            --g_running;
        });
    } catch (...) {
        --g_running;
        throw;
    }
}

UpdateCheckWorker::~UpdateCheckWorker() = default;

std::optional<UpdateCheckWork> UpdateCheckWorker::WaitFor(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_state->mutex);
    if (!m_state->finishedSignal.wait_for(lock, limit, [this] { return m_state->finished; }))
        return std::nullopt;
    return std::move(m_state->work);
}

void UpdateCheckWorker::Abandon()
{
    m_thread.request_stop();
    m_thread.detach();
}

bool UpdateCheckWorker::Finished() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->finished;
}

int UpdateCheckWorker::Running() { return g_running.load(); }

}  // namespace orvane
