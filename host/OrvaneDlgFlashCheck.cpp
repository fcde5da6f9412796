// COrvaneDlg: the Flash Player check made while the window is created.
#include "OrvaneDlg.h"

#include "FlashCheckDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

namespace {

constexpr unsigned kRequiredMajorVersion = 9;

unsigned MajorVersion(std::int32_t flashVersion) { return (std::uint32_t(flashVersion) >> 16) & 0xFFu; }

}  // namespace

int COrvaneDlg::CheckFlashPlayerVersion()
{
    auto created = std::make_unique<orvane::FlashCreateResult>(m_factory());
    const auto showNotice = [this](unsigned messageId) {
        CFlashCheckDlg notice(*m_env.dialogs);
        notice.m_strMessage = orvane::LoadResString(messageId);
        notice.m_strTradeMark = orvane::LoadResString(orvane::IDS_FLASH_TRADEMARK);
        m_env.dialogs->RunModal(notice);
        return -1;
    };
    const auto reportFailure = [this](std::int32_t error, const std::string& message) {
        REPORT_ERROR(g_ErrorLog, error, "COrvaneDlg::CheckFlashPlayerVersion()", "OleCreate()", message);
        m_env.dialogs->MessageBox(nullptr, "(#3001)", orvane::LoadResString(orvane::IDS_ERR_CAPTION),
                                  orvane::MsgButtons::Ok, orvane::MsgIcon::Error);
        return -1;
    };

    if (created->status == orvane::FlashCreateStatus::ClassNotRegistered)
        return showNotice(orvane::IDS_FLASH_NOT_INSTALLED);
    if (created->status != orvane::FlashCreateStatus::Ok || !created->player)
        return reportFailure(created->error, {});

    std::int32_t version = 0;
    try {
        version = created->player->FlashVersion();
    } catch (const std::exception& error) {
        return reportFailure(0, orvane::ExceptionText(error));
    }
    if (MajorVersion(version) < kRequiredMajorVersion)
        return showNotice(orvane::IDS_FLASH_TOO_OLD);
    m_checkedPlayer = std::move(created->player);
    return 0;
}
