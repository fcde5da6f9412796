#pragma once
// A player that plays one SWF movie for CShockwaveFlash. The program's player
// is Ruffle in a web view (RufflePlayer); tests use a scripted stand-in.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace orvane {

// Raised when a call cannot be delivered to the movie or the movie's function
// fails. Handler guards report it as "(#10001)".
class FlashCallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the control's initial-properties block asks of the player.
struct FlashProperties {
    QString movie;
    QString quality = QStringLiteral("High");
    QString scaleMode = QStringLiteral("ShowAll");
    QString windowMode = QStringLiteral("Window");
    QString allowNetworking = QStringLiteral("all");
    QString allowFullScreen = QStringLiteral("false");
};

class FlashPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FlashPlayer() override = default;

    // The widget that shows the movie; CShockwaveFlash takes it as its child.
    virtual QWidget* View() = 0;
    virtual void ApplyProperties(const FlashProperties& properties) = 0;
    virtual void LoadMovie(int layer, const QString& url) = 0;
    virtual void Zoom(int factor) = 0;
    virtual void StopPlay() = 0;
    // Runs an "invoke" request in the movie and returns the reply text.
    // Throws FlashCallError when the call cannot be delivered.
    virtual QString CallFunction(const QString& request) = 0;
    // Emulated Flash Player version; the major version is in bits 16..23.
    virtual std::int32_t FlashVersion() = 0;
    // Starts the player afresh after it stopped and plays the movie it
    // played before; the movie then starts as it does at first.
    virtual void Restart() = 0;
    // From the movie's next load on, the file it reads beside itself under
    // name is these bytes, held in memory (the catalogue the program checked),
    // whatever is on disk then; nullopt makes that read fail.
    virtual void ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes) = 0;

signals:
    // The movie called ExternalInterface.call: an "invoke" request text.
    void FlashCall(const QString& request);
    void FSCommand(const QString& command, const QString& args);
    // A movie that was playing stopped (its process ended or the player gave
    // up on it); calls fail until restart() has brought it back.
    void Stopped(const QString& reason);
};

enum class FlashCreateStatus {
    Ok,
    ClassNotRegistered,  // the player runtime is not installed beside the program
    Failed,              // any other failure; `error` tells which
};

struct FlashCreateResult {
    FlashCreateStatus status = FlashCreateStatus::Failed;
    std::int32_t error = 0;
    std::unique_ptr<FlashPlayer> player;
};

// Makes a new player instance.
using FlashPlayerFactory = std::function<FlashCreateResult()>;

}  // namespace orvane
