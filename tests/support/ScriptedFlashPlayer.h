#pragma once
// A stand-in movie for the host tests: answers "zSave" and "zBom" with texts
// the test sets, records the other calls, and sends requests to the host on demand.

#include "FlashPlayer.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QKeyEvent;

struct MovieScript {
    std::string saveText;                  // what "zSave" returns; "zLoad" sets it, "zNewOpen" clears it
    std::optional<std::string> saveReply;  // a raw reply text instead
    std::string bomText;                   // what "zBom" returns
    std::optional<std::string> callError;  // every call throws orvane::FlashCallError with this text
    // Runs inside every call, before it answers: what the movie or the
    // program does while the host waits for the movie.
    std::function<void(const std::string& name)> duringCall;
    std::int32_t flashVersion = 0x0A0000;

    std::vector<std::string> loads;        // arguments of "zLoad"
    int newOpens = 0;                      // "zNewOpen" calls
    std::vector<std::string> calledNames;  // every function called, in order
    QString movieUrl;                      // LoadMovie's url
    int zoomCalls = 0;
    int stopPlayCalls = 0;
    int restarts = 0;
    std::vector<std::pair<QString, std::optional<QByteArray>>> servedInPlace;  // (name, bytes) of ServeInPlaceOf
    QStringList keysReceived;              // key presses that reached the movie

    class ScriptedFlashPlayer* player = nullptr;  // the last one created
};

class ScriptedFlashPlayer : public orvane::FlashPlayer {
    Q_OBJECT
public:
    explicit ScriptedFlashPlayer(std::shared_ptr<MovieScript> script);
    ~ScriptedFlashPlayer() override;

    QWidget* View() override;
    void ApplyProperties(const orvane::FlashProperties& properties) override;
    void LoadMovie(int layer, const QString& url) override;
    void Zoom(int factor) override;
    void StopPlay() override;
    QString CallFunction(const QString& request) override;
    std::int32_t FlashVersion() override;
    void Restart() override;
    void ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes) override;

    // Movie to host: a raw request text, or an "invoke" of name.
    void SendRequest(const QString& request);
    void SendCall(const std::string& name, const std::string& argument = {});
    // The movie's process ends: calls fail until restart().
    void Stop(const QString& reason);

private:
    std::shared_ptr<MovieScript> m_script;
    std::unique_ptr<QWidget> m_view;
    bool m_stopped = false;
};

// A factory making ScriptedFlashPlayers that follow script.
orvane::FlashPlayerFactory ScriptedFactory(std::shared_ptr<MovieScript> script);
