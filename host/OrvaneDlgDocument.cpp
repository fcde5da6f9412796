// COrvaneDlg: New, Open, Save, Save As, the exit check and the save prompt.
#include "OrvaneDlg.h"

#include "orvane/CryptUtil.h"
#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include <QStringDecoder>

#include <cstring>
#include <limits>

namespace {

// Selection files written before the program kept its text as UTF-8 hold it
// in the Chinese ANSI code page.
std::string SelectionTextFromFile(std::string bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8.decode(QByteArrayView(bytes));
    if (!utf8.hasError())
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

}  // namespace

bool COrvaneDlg::_AskSaveChanges(const std::string& text)
{
    if (text.empty() || text == m_strSaveData)
        return true;
    const std::string fileName = m_strFilePath.empty() ? LoadResString(IDS_UNTITLED) : m_strFilePath;
    const std::string prompt = FormatPrompt(LoadResString(IDS_ASK_SAVE), fileName);
    switch (m_env.dialogs->MessageBox(this, prompt, m_strSaveCaption, MsgButtons::YesNoCancel,
                                      MsgIcon::Exclamation)) {
    case MsgResult::Yes:
        return _FileSave(text);
    case MsgResult::No:
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
    m_strSaveData.clear();
    m_strFilePath.clear();
    return true;
}

bool COrvaneDlg::_FileOpenCommand()
{
    if (!_AskSaveChanges(_FetchSelectionText()))
        return false;
    _FileOpen({});
    return true;
}

std::string COrvaneDlg::_FetchTextToSave()
{
    std::string text = _FetchSelectionText();
    if (text.empty())
        m_env.dialogs->MessageBox(this, LoadResString(IDS_NO_DATA_TO_SAVE), m_strSaveCaption, MsgButtons::Ok,
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
    const std::string text = _FetchTextToSave();
    if (text.empty())
        return true;
    const std::string keptPath = m_strFilePath;
    m_strFilePath.clear();
    if (!_FileSave(text))
        m_strFilePath = keptPath;
    return true;
}

bool COrvaneDlg::_ConfirmExit() { return _AskSaveChanges(_FetchSelectionText()); }

int COrvaneDlg::_FileOpen(const std::string& path)
{
    int result = 1;
    RunGuarded("COrvaneDlg::_FileOpen()", [&] { result = _ReadSelectionFile(path); });
    return result;
}

int COrvaneDlg::_ReadSelectionFile(const std::string& requestedPath)
{
    std::string path = requestedPath;
    if (path.empty()) {
        const std::optional<std::string> chosen =
            m_env.dialogs->GetOpenFileName(this, LoadResString(IDS_OPEN_FILTER));
        if (!chosen)
            return 0;
        path = *chosen;
    }

    const std::string damagedText = path + "\n" + LoadResString(IDS_FILE_DAMAGED);
    std::uint32_t length = 0;
    ByteBuffer bytes;
    const int readResult = CCryptUtil().ReadDataFile(path, &length, &bytes);
    if (readResult != READ_DATA_OK) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_FileOpen()", "CryptUtil.ReadDataFile()",
                     "復号化取得処理に失敗しました。");
        m_env.dialogs->MessageBox(this, damagedText, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return readResult;
    }
    if (!_IsTextData(bytes.get(), length)) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "_FileOpen()", damagedText);
        m_env.dialogs->MessageBox(this, damagedText, m_strErrCaption, MsgButtons::Ok, MsgIcon::Error);
        return READ_DATA_CONTENT_BAD;
    }

    // The text ends at the first zero byte or at the end of the content.
    const auto* chars = reinterpret_cast<const char*>(bytes.get());
    m_strSaveData = SelectionTextFromFile(std::string(chars, strnlen(chars, length)));
    _CallMovie("zLoad", m_strSaveData);
    m_strFilePath = path;
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
    bool saved = false;
    RunGuarded("COrvaneDlg::_FileSave()", [&] { saved = _WriteSelectionFile(text); });
    return saved;
}

bool COrvaneDlg::_WriteSelectionFile(const std::string& text)
{
    if (m_strFilePath.empty()) {
        const std::optional<std::string> chosen = m_env.dialogs->GetSaveFileName(
            this, LoadResString(IDS_SAVE_FILTER), LoadResString(IDS_UNTITLED), "zsr");
        if (!chosen)
            return false;
        m_strFilePath = *chosen;
    }

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const bool fits = text.size() <= std::numeric_limits<std::uint32_t>::max();
    if (!fits || !CCryptUtil().CreateDataFile(m_strFilePath, std::uint32_t(text.size()), bytes)) {
        const std::string errorText = MakeErrorText("(#2001)");
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::OnFSCommandSwf()", "CryptUtil.CreateDataFile()", errorText);
        ShowError(errorText);
        return false;
    }
    m_strSaveData = text;
    return true;
}
