// COrvaneDlg: New, Open, Save, Save As, the exit check and the save prompt.
// The commands ask for file names; _FileOpen and SaveFile take them.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/SelectionFile.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

using orvane::LoadResString;
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::MsgResult;

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
        orvane::TellNothingToSave(*m_env.dialogs, this);
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
    // A player that stopped for good cannot be asked: the recovery copy holds
    // the unsaved work for the next start, and the user is told so. Without
    // a copy the user decides whether to lose it.
    if (m_recovery.PlayerGaveUp()) {
        if (!m_recovery.Unsaved())
            return true;
        if (!m_recovery.CopyKept())
            return _AskSaveChanges(std::nullopt);
        m_env.dialogs->MessageBox(this, LoadResString(orvane::IDS_EXIT_AFTER_PLAYER_GAVE_UP), m_strSaveCaption,
                                  MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
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
    const orvane::SelectionText read = orvane::SelectionFile::Read(path);
    if (read.status == orvane::SelectionText::Status::Unreadable) {
        const int systemError = read.content.systemError;
        REPORT_ERROR(g_ErrorLog, systemError, "COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()",
                     "復号化取得処理に失敗しました。");
        // The system's reason too: a file that only cannot be read is not damaged.
        m_env.dialogs->MessageBox(this, systemError ? damagedText + "\n" + orvane::SystemErrorReason(systemError) : damagedText,
                                  m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return read.content.result;
    }
    if (read.status == orvane::SelectionText::Status::NotText) {
        REPORT_ERROR(g_ErrorLog, 0, "COrvaneDlg::OnFSCommandSwf()", "_FileOpen()", damagedText);
        m_env.dialogs->MessageBox(this, damagedText, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return orvane::READ_DATA_CONTENT_BAD;
    }
    // Until the movie has taken the text, what it shows is unknown: it is
    // tied to no file and counts as unsaved, so that a "zLoad" that fails
    // part-way never leaves the old file's name on the new file's content.
    SetCurrentFile({});
    m_strSaveData.clear();
    LoadIntoMovie(read.text);
    SetCurrentFile(path, onDisk);
    SetSavedText(read.text);
    return 0;
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
    const orvane::FileWriteResult written = orvane::SelectionFile::Write(path, text);
    if (!written) {
        const std::string shown = orvane::SelectionFile::FailureText(written);
        REPORT_ERROR(g_ErrorLog, written.systemError, "COrvaneDlg::OnFSCommandSwf()",
                     "CryptUtil.CreateDataFile()", shown);
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
