// COrvaneDlg: New, Open, Save, Save As, the exit check and the save prompt.
// The commands ask for file names; _FileOpen and _SaveFile take them.
#include "OrvaneDlg.h"

#include "orvane/CryptUtil.h"
#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"
#include "orvane/Wtf8.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/stat.h>

namespace {

// Selection files written before the program kept its text as UTF-8 hold it
// in the Chinese ANSI code page.
std::string SelectionTextFromFile(std::string bytes)
{
    if (orvane::IsWtf8(bytes))
        return bytes;
    QStringDecoder legacy("GB18030");
    if (!legacy.isValid())
        return bytes;
    const QString text = legacy.decode(QByteArrayView(bytes));
    return legacy.hasError() ? bytes : text.toStdString();
}

std::string FormatPrompt(const std::string& format, const std::string& fileName)
{
    std::string text = format;
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, fileName);
    return text;
}

// A message followed by the system's reason for the failure, when it gave one.
std::string WithReason(std::string text, int systemError)
{
    if (systemError != 0)
        text += "\n" + orvane::SystemErrorReason(systemError);
    return text;
}

bool IsFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

bool COrvaneDlg::_AskSaveChanges(const std::optional<std::string>& text)
{
    if (!text) {
        // The movie could not say what it holds: the user decides whether
        // to go on. Going on keeps the recovery copy for the next start.
        return m_env.dialogs->MessageBox(this, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE), m_strSaveCaption,
                                         MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
    }
    if (text->empty() || *text == m_strSaveData) {
        if (m_recovery)
            m_recovery->Discard();
        return true;
    }
    const std::string fileName = m_strFilePath.empty() ? orvane::LoadResString(orvane::IDS_UNTITLED) : m_strFilePath;
    const std::string prompt = FormatPrompt(orvane::LoadResString(orvane::IDS_ASK_SAVE), fileName);
    switch (m_env.dialogs->MessageBox(this, prompt, m_strSaveCaption, MsgButtons::YesNoCancel,
                                      MsgIcon::Exclamation)) {
    case MsgResult::Yes:
        return _FileSave(*text);
    case MsgResult::No:
        if (m_recovery)
            m_recovery->Discard();
        return true;
    default:
        return false;
    }
}

bool COrvaneDlg::_FileNew()
{
    if (!_AskSaveChanges(_FetchSelectionText()))
        return false;
    _CallMovie("zNewOpen", {});
    m_strFilePath.clear();
    _UpdateWindowTitle();
    _SetSavedText({});
    return true;
}

bool COrvaneDlg::_FileOpenCommand()
{
    if (!_AskSaveChanges(_FetchSelectionText()))
        return false;
    _FileOpenChosen();
    return true;
}

int COrvaneDlg::_FileOpenChosen()
{
    const std::optional<std::string> chosen = m_env.dialogs->GetOpenFileName(this, orvane::LoadResString(orvane::IDS_OPEN_FILTER));
    return chosen ? _FileOpen(*chosen) : 0;
}

std::string COrvaneDlg::_FetchTextToSave()
{
    std::string text = _FetchSelectionText().value_or(std::string());
    if (text.empty())
        m_env.dialogs->MessageBox(this, orvane::LoadResString(orvane::IDS_NO_DATA_TO_SAVE), m_strSaveCaption, MsgButtons::Ok,
                                  MsgIcon::None);
    return text;
}

bool COrvaneDlg::_FileSaveCommand()
{
    if (const std::string text = _FetchTextToSave(); !text.empty())
        _FileSave(text);
    return true;
}

bool COrvaneDlg::_FileSaveAsCommand()
{
    if (const std::string text = _FetchTextToSave(); !text.empty())
        _FileSaveAs(text);
    return true;
}

bool COrvaneDlg::_ConfirmExit(const char* guardLabel)
{
    std::optional<std::string> text;
    // A player that stopped or fails must never keep the user from closing:
    // its failure is reported and the user decides.
    if (!RunGuarded(guardLabel, [&] { text = _FetchSelectionText(); }))
        text.reset();
    return _AskSaveChanges(text);
}

int COrvaneDlg::_FileOpen(const std::string& path)
{
    int result = 1;
    RunGuarded("COrvaneDlg::_FileOpen()", [&] { result = _ReadSelectionFile(path); });
    return result;
}

int COrvaneDlg::_ReadSelectionFile(const std::string& path)
{
    const std::string damagedText = path + "\n" + orvane::LoadResString(orvane::IDS_FILE_DAMAGED);
    std::uint32_t length = 0;
    orvane::ByteBuffer bytes;
    errno = 0;
    const int readResult = CCryptUtil().ReadDataFile(path, &length, &bytes);
    const int systemError = readResult == orvane::READ_DATA_FAILED ? errno : 0;
    if (readResult != orvane::READ_DATA_OK) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()",
                     "復号化取得処理に失敗しました。");
        m_env.dialogs->MessageBox(this, WithReason(damagedText, systemError), m_strErrCaption, MsgButtons::Ok,
                                  MsgIcon::Error);
        return readResult;
    }
    if (!_IsTextData(bytes.get(), length)) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "_FileOpen()", damagedText);
        m_env.dialogs->MessageBox(this, damagedText, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return orvane::READ_DATA_CONTENT_BAD;
    }

    // The text ends at the first zero byte or at the end of the content.
    const auto* chars = reinterpret_cast<const char*>(bytes.get());
    m_strSaveData = SelectionTextFromFile(std::string(chars, strnlen(chars, length)));
    _LoadIntoMovie(m_strSaveData);
    m_strFilePath = path;
    _UpdateWindowTitle();
    _SetSavedText(m_strSaveData);
    return 0;
}

bool COrvaneDlg::_IsTextData(const std::uint8_t* data, std::size_t length)
{
    // Every character the movie can hand over, control characters included,
    // is text; content that is missing or ends before its first character
    // is not.
    return data != nullptr && length > 0 && data[0] != 0;
}

bool COrvaneDlg::_FileSave(const std::string& text)
{
    return m_strFilePath.empty() ? _FileSaveAs(text) : _SaveFile(m_strFilePath, text);
}

bool COrvaneDlg::_FileSaveAs(const std::string& text)
{
    const std::optional<std::string> chosen = m_env.dialogs->GetSaveFileName(
        this, orvane::LoadResString(orvane::IDS_SAVE_FILTER), orvane::LoadResString(orvane::IDS_UNTITLED), "zsr");
    if (!chosen)
        return false;
    const bool saved = _SaveFile(*chosen, text);
    // An untitled selection keeps the name it was given, even when writing failed.
    if (!saved && m_strFilePath.empty()) {
        m_strFilePath = *chosen;
        _UpdateWindowTitle();
    }
    return saved;
}

bool COrvaneDlg::_SaveFile(const std::string& path, const std::string& text)
{
    bool saved = false;
    RunGuarded("COrvaneDlg::_FileSave()", [&] { saved = _WriteSelectionFile(path, text); });
    return saved;
}

bool COrvaneDlg::_WriteSelectionFile(const std::string& path, const std::string& text)
{
    const bool existed = IsFile(path);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const bool fits = text.size() <= std::numeric_limits<std::uint32_t>::max();
    CCryptUtil crypt;
    errno = 0;
    if (!fits || !crypt.CreateDataFile(path, std::uint32_t(text.size()), bytes)) {
        const int systemError = fits ? errno : EFBIG;
        const std::string errorText = orvane::MakeErrorText("(#2001)");
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "CryptUtil.CreateDataFile()", errorText);
        std::string shown = WithReason(errorText, systemError);
        if (existed)
            shown += "\n" + orvane::LoadResString(crypt.TargetDamaged() ? orvane::IDS_OLD_FILE_DAMAGED
                                                                          : orvane::IDS_OLD_FILE_KEPT);
        ShowError(shown);
        return false;
    }
    m_strFilePath = path;
    _UpdateWindowTitle();
    _SetSavedText(text);
    return true;
}

void COrvaneDlg::_SetSavedText(const std::string& text)
{
    m_strSaveData = text;
    m_strLastKnownText = text;
    if (m_recovery)
        m_recovery->Discard();
}
