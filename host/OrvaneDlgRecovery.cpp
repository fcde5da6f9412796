// COrvaneDlg: the user's work outlives a stopped player and a program that
// did not end cleanly. While the selection has unsaved changes its latest
// text is kept in a recovery copy; a stopped player is started afresh and
// given its selection back; a copy left by an earlier run is offered at start.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/InvokeMessage.h"
#include "orvane/StringTable.h"

#include <algorithm>
#include <ctime>

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

}  // namespace

void COrvaneDlg::_OpenRecoveryStore()
{
    if (m_env.recoveryFolder.empty())
        return;
    auto store = std::make_unique<orvane::RecoveryStore>(m_env.recoveryFolder);
    if (const std::vector<orvane::RecoveryOrphan> orphans = store->FindOrphans(); !orphans.empty())
        m_orphan = orphans.front();
    if (!store->Open()) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnInitDialog()", "RecoveryStore::Open()",
                     "復元用ファイルのフォルダを使用できません。【" + m_env.recoveryFolder + "】");
        return;
    }
    m_recovery = std::move(store);
}

std::chrono::milliseconds COrvaneDlg::RecoveryInterval() const { return m_timerRecovery.intervalAsDuration(); }

void COrvaneDlg::SetRecoveryInterval(std::chrono::milliseconds interval) { m_timerRecovery.setInterval(interval); }

void COrvaneDlg::_SaveRecoveryCopy()
{
    if (!m_recovery || !m_bMovieReady)
        return;
    const CommandScope scope(*this);
    std::string text;
    try {
        // Quietly: a failed read leaves the last copy as it is.
        if (orvane::ParseReturnString(_CallMovie("zSave", {}), text) != orvane::ReplyStatus::Ok)
            return;
    } catch (const std::exception&) {
        return;
    }
    m_strLastKnownText = text;
    if (text.empty() || text == m_strSaveData)
        m_recovery->Discard();
    else if (!m_recovery->Save(text))
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_SaveRecoveryCopy()", "RecoveryStore::Save()",
                     "復元用ファイルの保存に失敗しました。");
}

void COrvaneDlg::OnPlayerStopped(const QString& reason)
{
    RunGuarded("COrvaneDlg::OnPlayerStopped()", [&] {
        m_bMovieReady = false;
        m_timerRecovery.stop();
        _EnableFileCommands(false);
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnPlayerStopped()", "CShockwaveFlash", reason.toStdString());
        // The movie can no longer be asked: keep what it held when last read.
        if (m_recovery && !m_strLastKnownText.empty() && m_strLastKnownText != m_strSaveData)
            (void)m_recovery->Save(m_strLastKnownText);

        const auto now = std::chrono::steady_clock::now();
        std::erase_if(m_playerRestarts, [&](auto at) { return now - at > kPlayerRestartSpan; });
        if (m_playerRestarts.size() >= kMaxPlayerRestarts)
            return ShowError(orvane::LoadResString(orvane::IDS_PLAYER_GAVE_UP));
        m_playerRestarts.push_back(now);
        m_bPlayerRestarted = true;
        m_ctrlFlash.Restart();
        ShowError(orvane::LoadResString(orvane::IDS_PLAYER_STOPPED));
    });
}

void COrvaneDlg::_OfferRecovery(bool afterStop)
{
    const auto ask = [this](const std::string& question) {
        return m_env.dialogs->MessageBox(this, question, orvane::LoadResString(orvane::IDS_RESTORE_CAPTION), MsgButtons::YesNo,
                                         MsgIcon::Exclamation) == MsgResult::Yes;
    };
    if (afterStop) {
        const std::string unsaved = m_strLastKnownText;
        if (!unsaved.empty() && unsaved != m_strSaveData) {
            if (ask(orvane::LoadResString(orvane::IDS_RESTORE_AFTER_STOP)))
                return _LoadIntoMovie(unsaved);
            if (m_recovery)
                m_recovery->Discard();
        }
        // The selection as it was last saved or loaded.
        if (!m_strSaveData.empty())
            _LoadIntoMovie(m_strSaveData);
        else
            m_strLastKnownText.clear();
        return;
    }

    const orvane::RecoveryOrphan orphan = *std::exchange(m_orphan, std::nullopt);
    const std::string when = LocalTimeText(orphan.modified);
    std::string question = orvane::LoadResString(orvane::IDS_RESTORE_ORPHAN);
    question.replace(question.find("%s"), 2, when);
    if (const std::optional<std::string> text = orvane::RecoveryStore::Read(orphan.path); text && ask(question)) {
        _LoadIntoMovie(*text);
        // From now on the restored selection is this run's unsaved work.
        if (m_recovery)
            (void)m_recovery->Save(*text);
    }
    orvane::RecoveryStore::Remove(orphan);
}
