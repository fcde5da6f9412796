#include "ScriptedFlashPlayer.h"

#include "orvane/InvokeMessage.h"

#include <QKeyEvent>

#include <pugixml.hpp>

namespace {

// The movie's view: records the keys that reach it.
class MovieView : public QWidget {
public:
    explicit MovieView(MovieScript& script) : m_script(script) { setFocusPolicy(Qt::StrongFocus); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        m_script.keysReceived << QKeySequence(event->key()).toString();
        event->accept();
    }

private:
    MovieScript& m_script;
};

}  // namespace

ScriptedFlashPlayer::ScriptedFlashPlayer(std::shared_ptr<MovieScript> script)
    : m_script(std::move(script)), m_view(std::make_unique<MovieView>(*m_script))
{
    m_script->player = this;
}

ScriptedFlashPlayer::~ScriptedFlashPlayer()
{
    if (m_script->player == this)
        m_script->player = nullptr;
}

QWidget* ScriptedFlashPlayer::View() { return m_view.get(); }

void ScriptedFlashPlayer::ApplyProperties(const orvane::FlashProperties&) {}

void ScriptedFlashPlayer::LoadMovie(int, const QString& url) { m_script->movieUrl = url; }

void ScriptedFlashPlayer::Zoom(int) { ++m_script->zoomCalls; }

void ScriptedFlashPlayer::StopPlay() { ++m_script->stopPlayCalls; }

QString ScriptedFlashPlayer::CallFunction(const QString& request)
{
    pugi::xml_document document;
    const std::string requestText = request.toStdString();
    document.load_string(requestText.c_str());
    const pugi::xml_node invoke = document.child("invoke");
    const std::string name = invoke.attribute("name").value();
    const std::string argument = invoke.child("arguments").child("string").text().get();
    m_script->calledNames.push_back(name);

    if (m_script->duringCall)
        m_script->duringCall(name);
    if (m_stopped)
        throw orvane::FlashCallError("CallFunction: no movie is playing.");
    if (m_script->callError)
        throw orvane::FlashCallError(*m_script->callError);
    if (name == "zSave")
        return QString::fromStdString(m_script->saveReply ? *m_script->saveReply
                                                          : orvane::MakeStringReply(m_script->saveText));
    if (name == "zBom")
        return QString::fromStdString(orvane::MakeStringReply(m_script->bomText));
    // Like the selection movie, a load or a new selection replaces its data.
    if (name == "zLoad") {
        m_script->loads.push_back(argument);
        m_script->saveText = argument;
    } else if (name == "zNewOpen") {
        ++m_script->newOpens;
        m_script->saveText.clear();
    }
    return QStringLiteral("<undefined/>");
}

std::int32_t ScriptedFlashPlayer::FlashVersion() { return m_script->flashVersion; }

void ScriptedFlashPlayer::ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes)
{
    m_script->servedInPlace.emplace_back(name, bytes);
}

void ScriptedFlashPlayer::Restart()
{
    ++m_script->restarts;
    m_stopped = false;
    m_script->saveText.clear();  // a fresh movie holds nothing yet
}

void ScriptedFlashPlayer::Stop(const QString& reason)
{
    m_stopped = true;
    emit Stopped(reason);
}

void ScriptedFlashPlayer::SendRequest(const QString& request) { emit FlashCall(request); }

void ScriptedFlashPlayer::SendCall(const std::string& name, const std::string& argument)
{
    SendRequest(QString::fromStdString(_MakeInvokeXml(name, argument)));
}

orvane::FlashPlayerFactory ScriptedFactory(std::shared_ptr<MovieScript> script)
{
    return [script] {
        return orvane::FlashCreateResult{orvane::FlashCreateStatus::Ok, 0, std::make_unique<ScriptedFlashPlayer>(script)};
    };
}
