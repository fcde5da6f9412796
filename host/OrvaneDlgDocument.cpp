// COrvaneDlg: New, Open, Save, Save As, the exit check and the save prompt.
// The commands ask for file names; _FileOpen and SaveFile take them.
#include "OrvaneDlg.h"

#include "document/SaveFailure.h"

#include "orvane/CryptUtil.h"
#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"
#include "orvane/Wtf8.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <limits>


using orvane::LoadResString;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::MsgResult;

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

}  // namespace

bool COrvaneDlg::_AskSaveChanges(const std::optional<std::string>& text)
{
    if (!text) {
        // The movie could not say what it holds: the user decides whether
        // to go on. Going on keeps the recovery copy for the next start.
        return m_env.dialogs->MessageBox(this, LoadResString(orvane::IDS_MOVIE_UNREADABLE), m_strSaveCaption,
                                         MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes;
    }
    if (text->empty() || *text == m_strSaveData)
        return true;
    const std::string prompt =
        LoadResString(orvane::IDS_ASK_SAVE, m_strFilePath.empty() ? LoadResString(orvane::IDS_UNTITLED) : m_strFilePath);
    switch (m_env.dialogs->MessageBox(this, prompt, m_strSaveCaption, MsgButtons::YesNoCancel, MsgIcon::Exclamation)) {
    case MsgResult::Yes:
        return _FileSave(*text);
    case MsgResult::No:
        m_recovery.DiscardCopy();
        return true;
    default:
        return false;
    }
}

bool COrvaneDlg::_FileNew()
{
    if (!_AskSaveChanges(FetchSelectionText()))
        return false;
    CallMovie("zNewOpen", {});
    SetCurrentFile({});
    SetSavedText({});
    return true;
}

bool COrvaneDlg::_FileOpenCommand()
{
    if (!_AskSaveChanges(FetchSelectionText()))
        return false;
    FileOpenChosen();
    return true;
}

int COrvaneDlg::FileOpenChosen()
{
    const std::optional<std::string> chosen =
        m_env.dialogs->GetOpenFileName(this, LoadResString(orvane::IDS_OPEN_FILTER));
    return chosen ? _FileOpen(*chosen) : 0;
}

std::string COrvaneDlg::FetchTextToSave()
{
    std::string text = FetchSelectionText().value_or(std::string());
    if (text.empty())
        m_env.dialogs->MessageBox(this, LoadResString(orvane::IDS_NO_DATA_TO_SAVE), m_strSaveCaption, MsgButtons::Ok,
                                  MsgIcon::None);
    return text;
}

bool COrvaneDlg::_FileSaveCommand()
{
    if (const std::string text = FetchTextToSave(); !text.empty())
        _FileSave(text);
    return true;
}

bool COrvaneDlg::_FileSaveAsCommand()
{
    const std::string text = FetchTextToSave();
    if (text.empty())
        return true;
    // Always through the save dialog; cancelled or failed, the previous
    // current file stays the current file.
    const std::string kept = m_strFilePath;
    const std::optional<orvane::FileIdentity> keptOnDisk = m_fileOnDisk;
    SetCurrentFile({});
    if (!_FileSave(text))
        SetCurrentFile(kept, keptOnDisk);
    return true;
}

bool COrvaneDlg::_ConfirmExit(const char* guardLabel)
{
    std::optional<std::string> text;
    // A player that stopped or fails must never keep the user from closing:
    // its failure is reported and the user decides.
    if (!RunGuarded(guardLabel, [&] { text = FetchSelectionText(); }))
        text.reset();
    return _AskSaveChanges(text);
}

int COrvaneDlg::_FileOpen(const std::string& path)
{
    int result = 1;
    RunGuarded("COrvaneDlg::_FileOpen()", [&] { result = ReadSelectionFile(path); });
    return result;
}

int COrvaneDlg::ReadSelectionFile(const std::string& path)
{
    const std::string damagedText = path + "\n" + LoadResString(orvane::IDS_FILE_DAMAGED);
    // Taken before the read: a change made while reading counts as a change.
    const std::optional<orvane::FileIdentity> onDisk = orvane::FileIdentity::Of(path);
    std::uint32_t length = 0;
    orvane::ByteBuffer bytes;
    errno = 0;
    const int readResult = CCryptUtil().ReadDataFile(path, &length, &bytes);
    const int systemError = readResult == orvane::READ_DATA_FAILED ? errno : 0;
    if (readResult != orvane::READ_DATA_OK) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()",
                     "復号化取得処理に失敗しました。");
        std::string shown = damagedText;
        if (systemError != 0)
            shown += "\n" + orvane::SystemErrorReason(systemError);
        m_env.dialogs->MessageBox(this, shown, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return readResult;
    }
    if (!_IsTextData(bytes.get(), length)) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "_FileOpen()", damagedText);
        m_env.dialogs->MessageBox(this, damagedText, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return orvane::READ_DATA_CONTENT_BAD;
    }

    // The text ends at the first zero byte or at the end of the content.
    const auto* chars = reinterpret_cast<const char*>(bytes.get());
    const std::string text = SelectionTextFromFile(std::string(chars, strnlen(chars, length)));
    // Until the movie has taken the text, what it shows is unknown: it is
    // tied to no file and counts as unsaved, so that a "zLoad" that fails
    // part-way never leaves the old file's name on the new file's content.
    SetCurrentFile({});
    m_strSaveData.clear();
    LoadIntoMovie(text);
    SetCurrentFile(path, onDisk);
    SetSavedText(text);
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
    if (m_strFilePath.empty()) {
        const std::optional<std::string> chosen =
            m_env.dialogs->GetSaveFileName(this, LoadResString(orvane::IDS_SAVE_FILTER),
                                           LoadResString(orvane::IDS_UNTITLED), "zsr");
        if (!chosen)
            return false;
        // The chosen name is the current file at once, even when writing fails.
        SetCurrentFile(*chosen);
    } else if (orvane::ChangedOnDisk(m_strFilePath, m_fileOnDisk)) {
        // Another program wrote the file since it was opened or saved here.
        if (m_env.dialogs->MessageBox(this, LoadResString(orvane::IDS_FILE_CHANGED_ON_DISK, m_strFilePath),
                                      m_strSaveCaption, MsgButtons::YesNo, MsgIcon::Exclamation) != MsgResult::Yes)
            return false;
    }
    return SaveFile(m_strFilePath, text);
}

bool COrvaneDlg::SaveFile(const std::string& path, const std::string& text)
{
    bool saved = false;
    RunGuarded("COrvaneDlg::_FileSave()", [&] { saved = WriteSelectionFile(path, text); });
    return saved;
}

bool COrvaneDlg::WriteSelectionFile(const std::string& path, const std::string& text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const bool fits = text.size() <= std::numeric_limits<std::uint32_t>::max();
    CCryptUtil crypt;
    errno = 0;
    if (!fits || !crypt.CreateDataFile(path, std::uint32_t(text.size()), bytes)) {
        if (!fits)
            errno = EFBIG;
        const std::string shown = orvane::SaveFailureText(crypt.TargetDamaged());
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "CryptUtil.CreateDataFile()", shown);
        ShowError(shown);
        return false;
    }
    SetCurrentFile(path, orvane::FileIdentity::Of(path));
    SetSavedText(text);
    return true;
}

void COrvaneDlg::SetSavedText(const std::string& text)
{
    m_strSaveData = text;
    m_recovery.SelectionSettled(text);
}

void COrvaneDlg::SetCurrentFile(std::string path, std::optional<orvane::FileIdentity> onDisk)
{
    m_fileOnDisk = onDisk;
    if (path == m_strFilePath)
        return;
    m_strFilePath = std::move(path);
    emit currentFileChanged(QByteArray::fromStdString(m_strFilePath));
}
