#pragma once
// Ruffle, the maintained Flash Player, in a Qt WebEngine view. The page shell
// (page/player.html, page/player.js) runs one Ruffle player; it reaches this
// object over QWebChannel, and this object reaches it with runJavaScript.

#include "FlashPlayer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class QWebChannel;
class QWebEngineProfile;
class QWebEngineView;

namespace orvane {

class LocalOnlyRequestInterceptor;
class PlayerPage;
class RuffleBridge;

class RufflePlayer final : public FlashPlayer {
    Q_OBJECT
public:
    // A playing page that has not answered a sign of life for this long is
    // taken for hung: its process is ended and the player reports it stopped.
    static constexpr std::chrono::milliseconds kHangLimit{10000};

    // runtimeDir holds ruffle.js and its core chunks and wasm files; version
    // is what flashVersion() reports and what the player emulates.
    RufflePlayer(const QString& runtimeDir, std::int32_t version, std::chrono::milliseconds hangLimit = kHangLimit);
    ~RufflePlayer() override;

    QWidget* View() override;
    void ApplyProperties(const FlashProperties& properties) override;
    // Plays the SWF file at a plain path (or file: URL); only layer 0.
    void LoadMovie(int layer, const QString& url) override;
    void Zoom(int factor) override;
    void StopPlay() override;
    QString CallFunction(const QString& request) override;
    std::int32_t FlashVersion() override { return m_version; }
    // Loads the page afresh (a new page process) and plays the movie that
    // played before.
    void Restart() override;
    void ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes) override;

    // How long CallFunction waits for the movie; Ruffle itself ends a movie
    // script after 15 s.
    void SetCallTimeout(std::chrono::milliseconds timeout) { m_callTimeout = timeout; }

signals:
    void MovieLoaded();
    // The movie cannot be played (it never played); the control shows why.
    void MovieFailed(const QString& reason);

private:
    enum class MovieState { None, Loading, Playing, Failed };

    void LoadPage();
    void OnPageReady();
    void StartMovie();
    void FailMovie(const QString& reason);
    // The movie ended: Stopped() once it has played, else FailMovie().
    void StopMovie(const QString& reason);
    // Tells the user in the movie's place why there is no movie.
    void ShowFailure();
    // Moves the page's start-up marks into the start-up trace.
    void TakeTraceMarks();
    QVariant RunScriptAndWait(const QString& script);
    QString MovieOptionsJson() const;
    // The watchdog's tick: asks the page for a sign of life, and ends a page
    // that left the last one unanswered for the hang limit.
    void CheckAlive();

    std::int32_t m_version;
    QUrl m_pageUrl;
    FlashProperties m_properties;
    std::chrono::milliseconds m_callTimeout{20000};
    std::chrono::milliseconds m_hangLimit;
    MovieState m_movieState = MovieState::None;
    bool m_pageReady = false;
    QUrl m_movieUrl;
    QUrl m_playedUrl;  // the movie that played; Restart() plays it again
    QString m_failure;  // why the movie cannot be played
    QJsonObject m_served;  // files beside the movie served from memory: name → base64 bytes, null when unreadable
    QTimer m_watchdog;
    // When the unanswered sign of life was asked for; nullopt when none is.
    std::optional<std::chrono::steady_clock::time_point> m_pingSent;
    QString m_hang;     // why the page's process was ended, when it was for hanging

    // Declared in the order they must be built; torn down in reverse.
    std::unique_ptr<LocalOnlyRequestInterceptor> m_interceptor;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<RuffleBridge> m_bridge;
    std::unique_ptr<QWebChannel> m_channel;
    std::unique_ptr<PlayerPage> m_page;
    QPointer<QWebEngineView> m_view;  // parented by the control once shown
};

}  // namespace orvane
