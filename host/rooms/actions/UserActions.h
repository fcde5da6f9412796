#pragma once
// One user action at a time. Commands, drops, close requests, timer 1, the
// movie's calls and a stopped player all run through here: what arrives while
// an action runs (a "Z_ModeChange" the movie sends during "zLoad", a close
// request during a slow "zSave", timer 1 ticking during Save) waits and runs
// after it, in the order it came, so that each action sees the state it
// started with.
//
// It also holds the one fact about the movie that actions check: whether it
// is ready for the document commands.

#include <QObject>

#include <deque>
#include <functional>

namespace orvane {

enum class MovieState {
    Loading,  // started, or started afresh after it stopped: not ready yet
    Ready,    // the document commands are available
    Failed,   // it reported an error ("zError")
    Stopped,  // the player stopped and is not started again
};

class UserActions : public QObject {
    Q_OBJECT
public:
    explicit UserActions(QObject* parent = nullptr);

    // Runs action now, or after the running one and those that came before it.
    void Run(std::function<void()> action);
    // As Run, for an action that needs the movie ready: if it is not when the
    // action's turn comes, the action is dropped.
    void RunWhenReady(std::function<void()> action);
    // Runs action now when nothing runs; false, and nothing ran, when something does.
    [[nodiscard]] bool RunIfIdle(const std::function<void()>& action);
    [[nodiscard]] bool Busy() const { return m_depth > 0; }

    void SetMovieState(MovieState state) { m_movieState = state; }
    [[nodiscard]] bool MovieReady() const { return m_movieState == MovieState::Ready; }

private:
    void RunNow(const std::function<void()>& action);
    void RunWaiting();

    int m_depth = 0;
    std::deque<std::function<void()>> m_waiting;
    MovieState m_movieState = MovieState::Loading;
};

}  // namespace orvane
