#pragma once
// The hosted Flash control: plays the movie and carries the ExternalInterface
// calls between movie and host. The work is done by a orvane::FlashPlayer.

#include "FlashPlayer.h"

#include <QByteArray>
#include <QWidget>

class CShockwaveFlash : public QWidget {
    Q_OBJECT
public:
    explicit CShockwaveFlash(QWidget* parent = nullptr);
    ~CShockwaveFlash() override;

    // Takes the player the control plays on (made and checked by its
    // creator) and hands it the control's initial-properties block.
    void Attach(std::unique_ptr<orvane::FlashPlayer> player, const QByteArray& initialProperties);

    void LoadMovie(int layer, const QString& url);
    void Zoom(int factor);
    void StopPlay();
    // Synchronous: the movie's function has returned when this returns.
    // Throws orvane::FlashCallError when the call cannot be delivered.
    QString CallFunction(const QString& request);
    std::int32_t FlashVersion();
    // Plays the movie again in a fresh player after PlayerStopped.
    void Restart();
    // From the movie's next load on, its file name beside it is these bytes (nullopt: unreadable).
    void ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes);

signals:
    void FlashCall(const QString& request);
    void FSCommand(const QString& command, const QString& args);
    void PlayerStopped(const QString& reason);

private:
    orvane::FlashPlayer& Player();

    std::unique_ptr<orvane::FlashPlayer> m_player;
};
