#pragma once
// Ruffle, the maintained Flash Player, in a Qt WebEngine view. The page shell
// (page/player.html, page/player.js) runs one Ruffle player; it reaches this
// object over QWebChannel, and this object reaches it with runJavaScript.

#include "FlashPlayer.h"

#include <QJsonArray>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <memory>

class LocalOnlyRequestInterceptor;
class PlayerPage;
class QWebChannel;
class QWebEngineProfile;
class QWebEngineView;
class RuffleBridge;

class RufflePlayer final : public FlashPlayer {
    Q_OBJECT
public:
    // runtimeDir holds ruffle.js and its core chunks and wasm files; version
    // is what flashVersion() reports and what the player emulates.
    RufflePlayer(const QString& runtimeDir, std::int32_t version);
    ~RufflePlayer() override;

    QWidget* view() override;
    void applyProperties(const FlashProperties& properties) override;
    // Plays the SWF file at a plain path (or file: URL); only layer 0.
    void loadMovie(int layer, const QString& url) override;
    void zoom(int factor) override;
    void stopPlay() override;
    QString callFunction(const QString& request) override;
    std::int32_t flashVersion() override { return m_version; }
    // Loads the page afresh (a new page process) and plays the movie that
    // played before.
    void restart() override;

    // How long callFunction waits for the movie; Ruffle itself ends a movie
    // script after 15 s.
    void setCallTimeout(std::chrono::milliseconds timeout) { m_callTimeout = timeout; }

signals:
    void movieLoaded();
    // The movie cannot be played (it never played); the control shows why.
    void movieFailed(const QString& reason);

private:
    enum class MovieState { None, Loading, Playing, Failed };

    void loadPage();
    void onPageReady();
    void startMovie();
    void failMovie(const QString& reason);
    // The movie ended: stopped() once it has played, else failMovie().
    void stopMovie(const QString& reason);
    // Tells the user in the movie's place why there is no movie.
    void showFailure();
    // Moves the page's start-up marks into the start-up trace.
    void takeTraceMarks();
    QVariant runScriptAndWait(const QString& script);
    QString movieOptionsJson() const;

    std::int32_t m_version;
    QUrl m_pageUrl;
    FlashProperties m_properties;
    std::chrono::milliseconds m_callTimeout{20000};
    MovieState m_movieState = MovieState::None;
    bool m_pageReady = false;
    QUrl m_movieUrl;
    QUrl m_playedUrl;  // the movie that played; restart() plays it again
    QString m_failure;  // why the movie cannot be played

    // Declared in the order they must be built; torn down in reverse.
    std::unique_ptr<LocalOnlyRequestInterceptor> m_interceptor;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<RuffleBridge> m_bridge;
    std::unique_ptr<QWebChannel> m_channel;
    std::unique_ptr<PlayerPage> m_page;
    QPointer<QWebEngineView> m_view;  // parented by the control once shown
};
