#include "document/DocumentSession.h"

#include "orvane/ErrorLog.h"
#include "orvane/SelectionFile.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

namespace orvane {

DocumentSession::DocumentSession(Window window) : m_window(std::move(window)) {}

bool DocumentSession::NewFile()
{
    if (!MaybeSave(m_window.movie.selection()))
        return false;
    m_window.movie.startNew();
    SetCurrentFile({});
    SetSavedText({});
    return true;
}

bool DocumentSession::Open()
{
    if (!MaybeSave(m_window.movie.selection()))
        return false;
    OpenChosen();
    return true;
}

void DocumentSession::Save()
{
    if (const std::string text = TextToSave(); !text.empty())
        SaveToCurrentFile(text);
}

void DocumentSession::SaveAs()
{
    const std::string text = TextToSave();
    if (text.empty())
        return;
    const std::string kept = m_strFilePath;
    const std::optional<FileIdentity> keptOnDisk = m_fileOnDisk;
    SetCurrentFile({});
    if (!SaveToCurrentFile(text))
        SetCurrentFile(kept, keptOnDisk);
}

bool DocumentSession::MaybeSave(const std::optional<std::string>& text)
{
    // A movie that could not say what it holds: going on keeps the recovery
    // copy for the next start.
    if (!text)
        return Ask(LoadResString(IDS_MOVIE_UNREADABLE), MsgButtons::YesNo) == MsgResult::Yes;
    if (text->empty() || *text == m_savedText)
        return true;
    const std::string name = m_strFilePath.empty() ? LoadResString(IDS_UNTITLED) : m_strFilePath;
    switch (Ask(LoadResString(IDS_ASK_SAVE, name), MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        return SaveToCurrentFile(*text);
    case MsgResult::No:
        m_window.discarded();
        return true;
    default:
        return false;
    }
}

bool DocumentSession::MaybeSaveBeforeExit(const char* guardLabel)
{
    std::optional<std::string> text;
    if (!m_window.runGuarded(guardLabel, [&] { text = m_window.movie.selection(); }))
        text.reset();
    return MaybeSave(text);
}

int DocumentSession::OpenChosen()
{
    const std::optional<std::string> chosen =
        m_window.dialogs->GetOpenFileName(m_window.owner, LoadResString(IDS_OPEN_FILTER));
    return chosen ? LoadFile(*chosen) : 0;
}

int DocumentSession::LoadFile(const std::string& path)
{
    int result = 1;
    m_window.runGuarded("COrvaneDlg::_FileOpen()", [&] { result = ReadFile(path); });
    return result;
}

int DocumentSession::ReadFile(const std::string& path)
{
    const std::string damagedText = path + "\n" + LoadResString(IDS_FILE_DAMAGED);
    // Taken before the read: a change made while reading counts as a change.
    const std::optional<FileIdentity> onDisk = FileIdentity::Of(path);
    const SelectionText read = SelectionFile::Read(path);
    if (read.status == SelectionText::Status::Unreadable) {
        const int systemError = read.content.systemError;
        REPORT_ERROR(g_ErrorLog, systemError, "COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()",
                     "復号化取得処理に失敗しました。");
        // The system's reason too: a file that only cannot be read is not damaged.
        m_window.showError(systemError ? damagedText + "\n" + SystemErrorReason(systemError) : damagedText);
        return read.content.result;
    }
    if (read.status == SelectionText::Status::NotText) {
        REPORT_ERROR(g_ErrorLog, 0, "COrvaneDlg::OnFSCommandSwf()", "_FileOpen()", damagedText);
        m_window.showError(damagedText);
        return READ_DATA_CONTENT_BAD;
    }
    // Until the movie has taken the text, what it shows is unknown: a "zLoad"
    // that fails part-way never leaves the old file's name on the new content.
    Untie();
    m_window.movie.load(read.text);
    SetCurrentFile(path, onDisk);
    SetSavedText(read.text);
    return 0;
}

bool DocumentSession::SaveToCurrentFile(const std::string& text)
{
    if (m_strFilePath.empty()) {
        const std::optional<std::string> chosen = m_window.dialogs->GetSaveFileName(
            m_window.owner, LoadResString(IDS_SAVE_FILTER), LoadResString(IDS_UNTITLED), "zsr");
        if (!chosen)
            return false;
        // The chosen name is the current file at once, even when writing fails.
        SetCurrentFile(*chosen);
    } else if (ChangedOnDisk(m_strFilePath, m_fileOnDisk)) {
        // Another program wrote the file since it was opened or saved here.
        if (Ask(LoadResString(IDS_FILE_CHANGED_ON_DISK, m_strFilePath), MsgButtons::YesNo) != MsgResult::Yes)
            return false;
    }
    return SaveFile(m_strFilePath, text);
}

bool DocumentSession::SaveFile(const std::string& path, const std::string& text)
{
    bool saved = false;
    m_window.runGuarded("COrvaneDlg::_FileSave()", [&] { saved = WriteFile(path, text); });
    return saved;
}

bool DocumentSession::WriteFile(const std::string& path, const std::string& text)
{
    const FileWriteResult written = SelectionFile::Write(path, text);
    if (!written) {
        const std::string shown = SelectionFile::FailureText(written);
        REPORT_ERROR(g_ErrorLog, written.systemError, "COrvaneDlg::OnFSCommandSwf()",
                     "CryptUtil.CreateDataFile()", shown);
        m_window.showError(shown);
        return false;
    }
    SetCurrentFile(path, FileIdentity::Of(path));
    SetSavedText(text);
    return true;
}

void DocumentSession::Untie()
{
    SetCurrentFile({});
    m_savedText.clear();
}

std::string DocumentSession::TextToSave()
{
    std::string text = m_window.movie.selection().value_or(std::string());
    if (text.empty())
        TellNothingToSave(*m_window.dialogs, m_window.owner);
    return text;
}

void DocumentSession::SetSavedText(const std::string& text)
{
    m_savedText = text;
    m_window.settled(text);
}

void DocumentSession::SetCurrentFile(std::string path, std::optional<FileIdentity> onDisk)
{
    m_fileOnDisk = onDisk;
    if (path == m_strFilePath)
        return;
    m_strFilePath = std::move(path);
    m_window.currentFileChanged(m_strFilePath);
}

MsgResult DocumentSession::Ask(const std::string& question, MsgButtons buttons)
{
    return m_window.dialogs->MessageBox(m_window.owner, question, LoadResString(IDS_SAVE_CAPTION), buttons,
                                        MsgIcon::Exclamation);
}

}  // namespace orvane
