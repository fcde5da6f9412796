#include "actions/UserActions.h"

#include <QTimer>

namespace orvane {

UserActions::UserActions(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("userActions"));
}

void UserActions::Run(std::function<void()> action)
{
    if (Busy())
        m_waiting.push_back(std::move(action));
    else
        RunNow(action);
}

void UserActions::RunWhenReady(std::function<void()> action)
{
    Run([this, action = std::move(action)] {
        if (MovieReady())
            action();
    });
}

bool UserActions::RunIfIdle(const std::function<void()>& action)
{
    if (Busy())
        return false;
    RunNow(action);
    return true;
}

void UserActions::RunNow(const std::function<void()>& action)
{
    ++m_depth;
    struct Leave {
        UserActions& actions;
        ~Leave()
        {
            // The last one to end lets what waited run, from the event loop:
            // never inside the code that started the action.
            if (--actions.m_depth == 0 && !actions.m_waiting.empty())
                QTimer::singleShot(0, &actions, [actions = &actions] { actions->RunWaiting(); });
        }
    } leave{*this};
    action();
}

void UserActions::RunWaiting()
{
    while (!Busy() && !m_waiting.empty()) {
        std::function<void()> action = std::move(m_waiting.front());
        m_waiting.pop_front();
        RunNow(action);
    }
}

}  // namespace orvane
