#include "UpdateCheckWorker.h"

#include <condition_variable>
#include <mutex>

struct UpdateCheckWorker::State {
    UpdateCheckWork work;  // the thread's until finished, then the waiting side's
    bool finished = false;
    mutable std::mutex mutex;
    std::condition_variable finishedSignal;
};

UpdateCheckWorker::UpdateCheckWorker(Procedure procedure) : m_state(std::make_shared<State>())
{
    m_thread = std::jthread([state = m_state, procedure = std::move(procedure)](std::stop_token stop) {
        procedure(state->work, stop);
        {
            const std::lock_guard lock(state->mutex);
            state->finished = true;
        }
        state->finishedSignal.notify_all();
    });
}

UpdateCheckWorker::~UpdateCheckWorker() = default;

std::optional<UpdateCheckWork> UpdateCheckWorker::WaitFor(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_state->mutex);
    if (!m_state->finishedSignal.wait_for(lock, limit, [this] { return m_state->finished; }))
        return std::nullopt;
    return std::move(m_state->work);
}

void UpdateCheckWorker::Abandon() { m_thread.request_stop(); }

bool UpdateCheckWorker::Finished() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->finished;
}
