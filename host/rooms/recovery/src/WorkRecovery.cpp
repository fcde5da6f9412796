#include "recovery/WorkRecovery.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace orvane {

namespace {

// A player that stops this often within the span is not started again.
constexpr std::size_t kMaxPlayerRestarts = 3;
constexpr std::chrono::minutes kPlayerRestartSpan{5};

std::string LocalTimeText(std::time_t time)
{
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&time, &local))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string WithReason(std::string text, int systemError)
{
    if (systemError != 0)
        text += "\n" + SystemErrorReason(systemError);
    return text;
}

}  // namespace

WorkRecovery::WorkRecovery(Window window, std::string folder, QObject* parent)
    : QObject(parent), m_window(std::move(window)), m_folder(std::move(folder))
{
    setObjectName(QStringLiteral("workRecovery"));
    m_copyTimer.setSingleShot(true);
    m_copyTimer.setInterval(kCopyDelay);
    connect(&m_copyTimer, &QTimer::timeout, this, &WorkRecovery::WriteCopy);
}

WorkRecovery::~WorkRecovery() = default;

void WorkRecovery::Open()
{
    if (m_folder.empty())
        return;
    auto store = std::make_unique<RecoveryStore>(m_folder);
    if (const RecoveryStore::Claim claim = store->Open(); !claim) {
        m_openFailure = claim.systemError;
        REPORT_ERROR(g_ErrorLog, claim.systemError, "WorkRecovery::Open()", "RecoveryStore::Open()",
                     "復元用ファイルのフォルダを使用できません。【" + m_folder + "】");
        return;
    }
    // Only a folder the store could take as the user's own is looked into.
    m_orphans = store->FindOrphans();
    m_store = std::move(store);
}

bool WorkRecovery::Unsaved() const { return !m_newest.empty() && m_newest != m_window.savedText(); }

void WorkRecovery::SelectionSeen(const std::string& text)
{
    m_copyKept = m_copyKept && text == m_newest;
    m_newest = text;
    if (!Unsaved())
        DiscardCopy();
    else if (!m_copyTimer.isActive())
        m_copyTimer.start();
}

void WorkRecovery::SelectionSettled(const std::string& text)
{
    m_newest = text;
    DiscardCopy();
}

void WorkRecovery::DiscardCopy()
{
    m_copyTimer.stop();
    m_copyKept = false;
    if (m_store)
        m_store->Discard();
}

void WorkRecovery::KeepNow()
{
    m_copyTimer.stop();
    WriteCopy();
}

void WorkRecovery::WriteCopy()
{
    if (!m_store || !Unsaved())
        return;
    const FileWriteResult written = m_store->Save(m_newest);
    m_copyKept = written.written;
    if (written)
        return;
    REPORT_ERROR(g_ErrorLog, written.systemError, "WorkRecovery::WriteCopy()", "RecoveryStore::Save()",
                 "復元用ファイルの保存に失敗しました。");
    TellOnce(m_toldNotKept, WithReason(LoadResString(IDS_RECOVERY_NOT_KEPT), written.systemError));
}

void WorkRecovery::PlayerStopped()
{
    // The movie can no longer be asked: what it held when last seen is kept.
    KeepNow();
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(m_restarts, [&](auto at) { return now - at > kPlayerRestartSpan; });
    const auto tell = [this](unsigned id) {
        m_window.dialogs->MessageBox(m_window.owner, LoadResString(id), LoadResString(IDS_ERR_CAPTION),
                                     MsgButtons::Ok, MsgIcon::Error);
    };
    if (m_restarts.size() >= kMaxPlayerRestarts) {
        m_gaveUp = true;
        return tell(IDS_PLAYER_GAVE_UP);
    }
    m_restarts.push_back(now);
    m_restarted = true;
    m_window.restartPlayer();
    tell(IDS_PLAYER_STOPPED);
}

bool WorkRecovery::MovieReady()
{
    if (std::exchange(m_restarted, false)) {
        OfferAfterRestart();
        return true;
    }
    if (!std::exchange(m_firstReady, false))
        return false;
    if (m_openFailure == EACCES)
        TellOnce(m_toldNotKept, LoadResString(IDS_RECOVERY_FOLDER_REFUSED, m_folder));
    else if (m_openFailure != 0)
        TellOnce(m_toldNotKept, WithReason(LoadResString(IDS_RECOVERY_NOT_KEPT), m_openFailure));
    OfferOrphans();
    return false;
}

void WorkRecovery::OfferAfterRestart()
{
    const std::string saved = m_window.savedText();
    if (Unsaved()) {
        if (Ask(LoadResString(IDS_RESTORE_AFTER_STOP)))
            return m_window.loadIntoMovie(m_newest);
        DiscardCopy();
    }
    // The selection as it was last saved or loaded.
    if (!saved.empty())
        m_window.loadIntoMovie(saved);
    m_newest = saved;
}

void WorkRecovery::OfferOrphans()
{
    // Copies that cannot be read are moved out of the way and told of; the
    // newest one that can is offered. Older ones wait for the next start.
    const std::vector<RecoveryOrphan> orphans = std::exchange(m_orphans, {});
    std::string damagedAt;
    for (const RecoveryOrphan& orphan : orphans) {
        const std::optional<std::string> text = RecoveryStore::Read(orphan.path);
        if (!text) {
            const std::string aside = RecoveryStore::SetAside(orphan);
            if (damagedAt.empty())
                damagedAt = aside;
            continue;
        }
        if (!damagedAt.empty())
            Tell(LoadResString(IDS_RECOVERY_DAMAGED, std::exchange(damagedAt, {})));
        if (Ask(LoadResString(IDS_RESTORE_ORPHAN, LocalTimeText(orphan.modified)))) {
            m_window.loadIntoMovie(*text);
            // From now on the restored selection is this run's unsaved work.
            m_newest = *text;
            KeepNow();
        }
        RecoveryStore::Remove(orphan);
        return;
    }
    if (!damagedAt.empty())
        Tell(LoadResString(IDS_RECOVERY_DAMAGED, damagedAt));
}

void WorkRecovery::Tell(const std::string& text)
{
    m_window.dialogs->MessageBox(m_window.owner, text, LoadResString(IDS_RESTORE_CAPTION), MsgButtons::Ok,
                                 MsgIcon::Exclamation);
}

void WorkRecovery::TellOnce(bool& told, const std::string& text)
{
    if (std::exchange(told, true))
        return;
    m_window.runAction([this, text] { Tell(text); });
}

bool WorkRecovery::Ask(const std::string& question)
{
    return m_window.dialogs->MessageBox(m_window.owner, question, LoadResString(IDS_RESTORE_CAPTION),
                                        MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
}

}  // namespace orvane
