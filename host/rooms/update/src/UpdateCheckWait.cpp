#include "update/UpdateCheckWait.h"

#include "update/UpdateCheck.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <system_error>

namespace orvane {

namespace {

// A check that answers within this shows nothing while the window waits.
constexpr std::chrono::milliseconds kQuietWait{300};

}  // namespace

std::optional<UpdateCheckWork> WaitForUpdateCheck(UpdateCheckWorker& worker, std::chrono::milliseconds limit,
                                                  QWidget* owner)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    if (std::optional<UpdateCheckWork> work = worker.WaitFor(std::min(limit, kQuietWait)))
        return work;
    if (Clock::now() >= deadline)
        return std::nullopt;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog notice(QStringLiteral("正在检查更新…"), QString(), 0, 0, owner);
    notice.setObjectName(QStringLiteral("svrChkNotice"));
    notice.setWindowTitle(QStringLiteral("更新"));
    notice.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    notice.setWindowModality(Qt::ApplicationModal);
    notice.setCancelButton(nullptr);
    notice.setMinimumDuration(0);
    notice.show();

    // Paint and timers go on; keys and clicks wait until the check is over.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (worker.Finished() || Clock::now() >= deadline)
            loop.quit();
    });
    poll.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    notice.hide();
    QApplication::restoreOverrideCursor();
    return worker.WaitFor(std::chrono::milliseconds(0));
}

std::optional<UpdateCheckWork> RunUpdateCheck(UpdateCheckWorker::Procedure procedure,
                                              std::chrono::milliseconds limit, QWidget* owner)
{
    std::optional<UpdateCheckWorker> worker;
    try {
        worker.emplace(std::move(procedure));
    } catch (const std::system_error&) {
        // No thread to check on: the check could not be made, as when a file was not read.
        return UpdateCheckWork{.nResult = SVRCHK_ERROR};
    }
    std::optional<UpdateCheckWork> work = WaitForUpdateCheck(*worker, limit, owner);
    if (!work)
        worker->Abandon();
    return work;
}

}  // namespace orvane
