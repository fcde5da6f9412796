// COrvaneDlg: calls from the movie, calls into it, and a player that stopped.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/InvokeMessage.h"
#include "orvane/StringTable.h"

namespace {

constexpr char kFlashCallLabel[] = "COrvaneDlg::OnFlashCallSwf()";

// The text of the first argument when it is a string; nullopt otherwise.
std::optional<std::string> FirstString(const orvane::InvokeCall& call)
{
    if (call.arguments.empty() || call.arguments.front().kind != orvane::ExternalValue::Kind::String)
        return std::nullopt;
    return call.arguments.front().text;
}

}  // namespace

void COrvaneDlg::OnFlashCallSwf(const QString& request)
{
    RunGuarded(kFlashCallLabel, [&] {
        orvane::InvokeCall call;
        const orvane::RequestStatus status = orvane::ReadInvokeRequest(request.toStdString(), call);
        // Shown, never recorded: a message of the movie's is no failure of the program's.
        if (const std::string code = orvane::ErrorCodeOf(status); !code.empty())
            return ShowError(orvane::MakeErrorText(code));

        const std::string& name = call.name;
        if (name == "zDataLoadEnd") {
            _EnableFileCommands(true);
            m_actions.SetMovieState(orvane::MovieState::Ready);
            // A player started afresh gets its selection back instead of
            // the command-line file being opened over it.
            const bool restarted = m_recovery.MovieReady();
            if (!restarted && m_env.arguments.size() == 2)
                m_timerCmdLine.start();
        } else if (name == "Z_ModeChange" || name == "zError") {
            m_session.Untie();
            if (name == "zError") {
                m_actions.SetMovieState(orvane::MovieState::Failed);
                _EnableFileCommands(false);
            }
        } else if (name == "zSelectionChanged") {
            if (const std::optional<std::string> text = FirstString(call))
                m_recovery.SelectionSeen(*text);
        }
    });
}

void COrvaneDlg::OnPlayerStopped(const QString& reason)
{
    RunGuarded("COrvaneDlg::OnPlayerStopped()", [&] {
        m_actions.SetMovieState(orvane::MovieState::Stopped);
        _EnableFileCommands(false);
        REPORT_ERROR(g_ErrorLog, 0, "COrvaneDlg::OnPlayerStopped()", "CShockwaveFlash", reason.toStdString());
        m_recovery.PlayerStopped();
        if (m_recovery.PlayerGaveUp())
            KeepExitCommand();
    });
}

std::string COrvaneDlg::CallMovie(const std::string& functionName, const std::string& argument)
{
    const QString request = QString::fromStdString(_MakeInvokeXml(functionName, argument));
    return m_ctrlFlash.CallFunction(request).toStdString();
}

std::optional<std::string> COrvaneDlg::_GetReturnString(const std::string& reply)
{
    std::string text;
    const orvane::ReplyStatus status = orvane::ParseReturnString(reply, text);
    if (status == orvane::ReplyStatus::Ok)
        return text;
    ShowError(orvane::ErrorCodeOf(status));  // the code alone, and no record
    return std::nullopt;
}

std::optional<std::string> COrvaneDlg::FetchSelectionText()
{
    std::optional<std::string> text = _GetReturnString(CallMovie("zSave", {}));
    if (text)
        m_recovery.SelectionSeen(*text);
    return text;
}

std::optional<std::string> COrvaneDlg::FetchBill() { return _GetReturnString(CallMovie("zBom", {})); }

void COrvaneDlg::LoadIntoMovie(const std::string& text)
{
    CallMovie("zLoad", text);
    m_recovery.SelectionSeen(text);
}
