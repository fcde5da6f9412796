#include "catalog/CatalogCommands.h"

#include "CatalogSummaryDialog.h"

#include "orvane/CatalogUpdate.h"
#include "orvane/ErrorLog.h"
#include "orvane/SystemErrorReason.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace orvane {

namespace {

constexpr char kCaption[] = "产品目录";
constexpr char kNextStart[] = "新的产品目录将在下次启动程序时使用。";

// What the fetching thread hands the window: the bytes so far, and the result at the end.
struct FetchState {
    std::atomic<std::uint64_t> received{0};
    std::atomic<std::uint64_t> expected{0};
    std::atomic<bool> done{false};
    CatalogUpdate update;  // written by the thread before done
};

}  // namespace

CatalogCommands::CatalogCommands(Window window, std::string dataFolder, QObject* parent)
    : QObject(parent), m_window(std::move(window)), m_places{{}, std::move(dataFolder)}
{
    setObjectName(QStringLiteral("catalogCommands"));
}

void CatalogCommands::ServeChosenCatalog(const std::string& programFolder)
{
    m_places.programFolder = programFolder;
    TidyCatalogFolder(m_places.dataFolder);
    const CatalogChoice choice = ChooseCatalog(m_places);
    m_servedBytes = choice.bytes;
    m_window.serveCatalog(choice.bytes);
    if (!choice.problem.empty()) {
        REPORT_ERROR(g_ErrorLog, 0, "CatalogCommands::ServeChosenCatalog()", "orvane::ChooseCatalog()",
                     choice.problem);
        Tell(choice.problem, MsgIcon::Exclamation);
    }
}

CatalogUpdate CatalogCommands::FetchWithProgress()
{
    auto state = std::make_shared<FetchState>();
    std::jthread fetch([state, places = m_places](std::stop_token stop) {
        state->update =
            FetchCatalogUpdate(places, {}, stop, [&state](std::uint64_t received, std::uint64_t expected) {
                state->received = received;
                state->expected = expected;
            });
        state->done = true;
    });

    QProgressDialog progress(QStringLiteral("正在获取产品目录更新…"), QStringLiteral("取消"),
                             0, 0, m_window.owner);
    progress.setWindowTitle(QString::fromUtf8(kCaption));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);  // shows it from 300 ms on, not from the 4 s set at its construction
    connect(&progress, &QProgressDialog::canceled, &progress, [&fetch] { fetch.request_stop(); });
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (const std::uint64_t expected = state->expected; expected > 0) {
            progress.setMaximum(int(std::min<std::uint64_t>(expected, INT32_MAX)));
            progress.setValue(int(std::min<std::uint64_t>(state->received, expected)));
        }
        if (state->done)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    fetch.join();
    return std::move(state->update);
}

void CatalogCommands::Update()
{
    CatalogUpdate update = FetchWithProgress();
    if (update.outcome == CatalogUpdateOutcome::Stopped)
        return;  // the user cancelled: nothing changed, nothing to tell
    if (update.Accepted())
        update = InstallCatalogUpdate(m_places, std::move(update));
    if (!update.Accepted()) {
        REPORT_ERROR(g_ErrorLog, 0, "CatalogCommands::Update()", "orvane::FetchCatalogUpdate()",
                     update.detail);
        return Tell(update.message, update.outcome == CatalogUpdateOutcome::NotInstalled
                                        ? MsgIcon::Error
                                        : MsgIcon::Exclamation);
    }
    m_window.serveCatalog(update.catalogBytes);
    CatalogSummaryDialog summary(update.message + "\n\n" + kNextStart, update.changes, m_window.owner);
    m_window.dialogs->RunModal(summary);
}

void CatalogCommands::RestoreShipped()
{
    const bool hadUpdate = ChooseCatalog(m_places).userCopy;
    if (const int systemError = RestoreShippedCatalog(m_places.dataFolder); systemError != 0) {
        const std::string text = "无法删除“" + m_places.dataFolder
                                 + "”中已安装的产品目录更新。\n"
                                 + SystemErrorReason(systemError);
        REPORT_ERROR(g_ErrorLog, systemError, "CatalogCommands::RestoreShipped()",
                     "orvane::RestoreShippedCatalog()", text);
        return Tell(text, MsgIcon::Error);
    }
    m_window.serveCatalog(ChooseCatalog(m_places).bytes);
    Tell(hadUpdate ? std::string("已恢复随程序安装的产品目录。") + kNextStart
                   : "正在使用的已是随程序安装的产品目录。",
         MsgIcon::Information);
}

void CatalogCommands::Tell(const std::string& text, MsgIcon icon)
{
    m_window.dialogs->MessageBox(m_window.owner, text, kCaption, MsgButtons::Ok, icon);
}

}  // namespace orvane
