// COrvaneDlg: calls from the movie and calls into it.
#include "OrvaneDlg.h"

#include "orvane/InvokeMessage.h"
#include "orvane/StringTable.h"

#include <utility>

void COrvaneDlg::OnFlashCallSwf(const QString& request)
{
    RunGuarded("COrvaneDlg::OnFlashCallSwf()", [&] {
        std::string name;
        switch (orvane::ParseInvokeRequest(request.toStdString(), name)) {
        case orvane::RequestStatus::Ok:
            break;
        case orvane::RequestStatus::NotInvoke:
            return ShowError(orvane::MakeErrorText("(#1007)"));
        case orvane::RequestStatus::NotWellFormed:
        case orvane::RequestStatus::NoName:
            return ShowError(orvane::MakeErrorText("(#1005)"));
        }

        if (name == "zDataLoadEnd") {
            _EnableFileCommands(true);
            m_bMovieReady = true;
            m_timerRecovery.start();
            // A player started afresh gets its selection back instead of
            // the command-line file being opened over it.
            const bool restarted = std::exchange(m_bPlayerRestarted, false);
            if (restarted || m_orphan)
                _OfferRecovery(restarted);
            if (!restarted && m_env.arguments.size() == 2)
                m_timerCmdLine.start();
        } else if (name == "Z_ModeChange" || name == "zError") {
            m_strSaveData.clear();
            m_strFilePath.clear();
            _UpdateWindowTitle();
            if (name == "zError") {
                m_bMovieReady = false;
                _EnableFileCommands(false);
            }
        }
    });
}

std::string COrvaneDlg::_CallMovie(const std::string& functionName, const std::string& argument)
{
    const QString request = QString::fromStdString(_MakeInvokeXml(functionName, argument));
    return m_ctrlFlash.CallFunction(request).toStdString();
}

std::optional<std::string> COrvaneDlg::_GetReturnString(const std::string& reply)
{
    std::string text;
    switch (orvane::ParseReturnString(reply, text)) {
    case orvane::ReplyStatus::Ok:
        return text;
    case orvane::ReplyStatus::NotWellFormed:
        ShowError("(#1005)");
        break;
    case orvane::ReplyStatus::NotString:
        ShowError("(#1007)");
        break;
    }
    return std::nullopt;
}

std::optional<std::string> COrvaneDlg::_FetchSelectionText()
{
    std::optional<std::string> text = _GetReturnString(_CallMovie("zSave", {}));
    if (text)
        m_strLastKnownText = *text;
    return text;
}

void COrvaneDlg::_LoadIntoMovie(const std::string& text)
{
    _CallMovie("zLoad", text);
    m_strLastKnownText = text;
}
