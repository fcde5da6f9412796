#include "RufflePlayer.h"

#include "FlashLog.h"
#include "LocalOnlyRequestInterceptor.h"
#include "PageValues.h"
#include "PlayerPage.h"
#include "RuffleBridge.h"
#include "StartTrace.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <csignal>

#include <signal.h>

namespace orvane {

namespace {

QString ReadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Missing resource %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript MainWorldScript(const QString& name, const QString& source,
                                 QWebEngineScript::InjectionPoint injectionPoint)
{
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(injectionPoint);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

// Text goes into scripts as a JSON string literal, which is also a
// JavaScript one, that keeps every UTF-16 unit.
QString JsonLiteral(const QString& text) { return ScriptStringLiteral(text); }

// Empty when the file looks like a SWF movie, else why it is not one.
QString MovieFileProblem(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QStringLiteral("the file does not exist");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the file cannot be read: %1").arg(file.errorString());
    const QByteArray header = file.read(8);
    const QByteArray signature = header.left(3);
    if (header.size() < 8 || (signature != "FWS" && signature != "CWS" && signature != "ZWS"))
        return QStringLiteral("the file is not a SWF movie");
    return {};
}

QString RuffleScaleMode(const QString& scaleMode)
{
    for (const char* mode : {"showAll", "noBorder", "exactFit", "noScale"})
        if (scaleMode.compare(QLatin1String(mode), Qt::CaseInsensitive) == 0)
            return QLatin1String(mode);
    return QStringLiteral("showAll");
}

}  // namespace

RufflePlayer::RufflePlayer(const QString& runtimeDir, std::int32_t version, std::chrono::milliseconds hangLimit)
    : m_version(version),
      // The page takes ruffle.js and its files from the runtime folder.
      m_pageUrl(QUrl::fromLocalFile(QDir(runtimeDir).absoluteFilePath(QStringLiteral("player.html")))),
      m_hangLimit(hangLimit),
      m_interceptor(std::make_unique<LocalOnlyRequestInterceptor>()),
      m_profile(std::make_unique<QWebEngineProfile>()),  // off the record: nothing stored on disk
      m_bridge(std::make_unique<RuffleBridge>()),
      m_channel(std::make_unique<QWebChannel>()),
      m_page(std::make_unique<PlayerPage>(m_profile.get())),
      m_view(new QWebEngineView)
{
    m_profile->setUrlRequestInterceptor(m_interceptor.get());
    m_channel->registerObject(QStringLiteral("host"), m_bridge.get());
    m_page->setWebChannel(m_channel.get(), QWebEngineScript::MainWorld);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_page->scripts().insert(MainWorldScript(QStringLiteral("qwebchannel"),
                                             ReadResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")),
                                             QWebEngineScript::DocumentCreation));
    if (StartTrace::Enabled())
        m_page->scripts().insert(MainWorldScript(QStringLiteral("trace"),
                                                 ReadResource(QStringLiteral(":/orvane/flash/trace.js")),
                                                 QWebEngineScript::DocumentCreation));
    m_page->scripts().insert(MainWorldScript(QStringLiteral("player"),
                                             ReadResource(QStringLiteral(":/orvane/flash/player.js")),
                                             QWebEngineScript::DocumentReady));

    connect(m_bridge.get(), &RuffleBridge::Ready, this, &RufflePlayer::OnPageReady);
    // The movie's calls reach the host from the event loop, not from inside
    // the channel's delivery: a host that calls back into the movie while
    // handling one would otherwise wait for an answer the channel holds up.
    connect(m_bridge.get(), &RuffleBridge::ExternalCall, this, &FlashPlayer::FlashCall, Qt::QueuedConnection);
    if (StartTrace::Enabled())
        connect(m_bridge.get(), &RuffleBridge::ExternalCall, this, &RufflePlayer::TakeTraceMarks);
    connect(m_bridge.get(), &RuffleBridge::MovieCommand, this, &FlashPlayer::FSCommand, Qt::QueuedConnection);
    connect(m_bridge.get(), &RuffleBridge::Loaded, this, [this] {
        if (m_movieState != MovieState::Loading)
            return;
        m_movieState = MovieState::Playing;
        m_playedUrl = m_movieUrl;
        m_pingSent.reset();
        m_watchdog.start();
        emit MovieLoaded();
    });
    connect(m_bridge.get(), &RuffleBridge::Failed, this, &RufflePlayer::StopMovie, Qt::QueuedConnection);
    connect(m_page.get(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                m_pageReady = false;
                StopMovie(!m_hang.isEmpty() ? std::exchange(m_hang, {})
                                            : QStringLiteral("the page's process ended (status %1, exit code %2)")
                                                  .arg(int(status))
                                                  .arg(exitCode));
            });
    m_watchdog.setInterval(m_hangLimit / 2);
    connect(&m_watchdog, &QTimer::timeout, this, &RufflePlayer::CheckAlive);

    m_view->setPage(m_page.get());
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    LoadPage();
}

void RufflePlayer::LoadPage()
{
    m_pageReady = false;
    m_page->LoadShell(ReadResource(QStringLiteral(":/orvane/flash/player.html")), m_pageUrl);
}

RufflePlayer::~RufflePlayer()
{
    delete m_view.data();  // before its page
}

QWidget* RufflePlayer::View() { return m_view.data(); }

void RufflePlayer::ApplyProperties(const FlashProperties& properties) { m_properties = properties; }

void RufflePlayer::LoadMovie(int layer, const QString& url)
{
    if (layer != 0) {
        qCWarning(lcFlash) << "Movies can only be loaded into layer 0, not" << layer;
        return;
    }
    const QString path = url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ? QUrl(url).toLocalFile() : url;
    if (const QString problem = MovieFileProblem(path); !problem.isEmpty()) {
        FailMovie(QStringLiteral("%1: %2").arg(path, problem));
        return;
    }
    m_movieUrl = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    m_movieState = MovieState::Loading;
    if (m_pageReady)
        StartMovie();
}

void RufflePlayer::Zoom(int factor)
{
    // The player always shows the whole movie: Zoom(0) and Zoom(100) ask
    // for exactly that, and Ruffle has no zoomed-in view.
    if (factor != 0 && factor != 100)
        qCWarning(lcFlash) << "Zoom" << factor << "is not supported; the whole movie stays in view.";
}

void RufflePlayer::StopPlay()
{
    // Flash's StopPlay stops the main timeline while the movie's scripts,
    // timers and events go on. Ruffle offers no such stop: its pause freezes
    // the whole movie, which would leave the host without its ExternalInterface
    // partner. The movie keeps running.
}

QString RufflePlayer::CallFunction(const QString& request)
{
    const auto invoke = orvane::ReadInvoke(request.toStdString());
    if (!invoke)
        throw FlashCallError("CallFunction: the request is not an invoke message.");
    // A movie that is still loading (at start or after a restart) cannot
    // answer yet: the call fails at once instead of waiting for the time-out.
    if (m_movieState != MovieState::Playing)
        throw FlashCallError("CallFunction: no movie is playing.");

    const QVariant result = RunScriptAndWait(MovieCallScript(*invoke));
    const QVariantMap answer = result.toMap();
    if (!answer.contains(QStringLiteral("ok")))
        throw FlashCallError("CallFunction: the player page did not answer.");
    if (!answer.value(QStringLiteral("ok")).toBool())
        throw FlashCallError("CallFunction: " + answer.value(QStringLiteral("error")).toString().toStdString());
    return QString::fromStdString(orvane::WriteReply(ValueFromPage(answer.value(QStringLiteral("value")))));
}

QVariant RufflePlayer::RunScriptAndWait(const QString& script)
{
    // The answer is shared with the callback, which may run after this call
    // has given up waiting; it then touches only the shared answer.
    struct Answer {
        bool arrived = false;
        QVariant value;
        QPointer<QEventLoop> waiting;
    };
    auto answer = std::make_shared<Answer>();
    m_page->runJavaScript(script, QWebEngineScript::MainWorld, [answer](const QVariant& value) {
        answer->arrived = true;
        answer->value = value;
        if (answer->waiting)
            answer->waiting->quit();
    });
    if (!answer->arrived) {
        // Page messages, and so FlashCall events, are still delivered while
        // waiting; user input waits until the call is over.
        QEventLoop loop;
        answer->waiting = &loop;
        QTimer::singleShot(m_callTimeout, &loop, &QEventLoop::quit);
        connect(m_page.get(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        const QPointer<RufflePlayer> alive(this);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!alive)
            throw FlashCallError("CallFunction: the player was closed during the call.");
    }
    if (!answer->arrived)
        throw FlashCallError(m_movieState == MovieState::Failed
                                  ? "CallFunction: the player page has ended."
                                  : "CallFunction: the movie did not answer in time.");
    return answer->value;
}

void RufflePlayer::OnPageReady()
{
    StartTrace::Mark(QStringLiteral("player script ready"));
    m_pageReady = true;
    if (m_movieState == MovieState::Loading)
        StartMovie();
    else if (m_movieState == MovieState::Failed)
        ShowFailure();
}

void RufflePlayer::TakeTraceMarks()
{
    m_page->runJavaScript(QStringLiteral("orvaneTakeTraceMarks()"), QWebEngineScript::MainWorld,
                          [](const QVariant& marks) {
                              for (const QVariant& mark : marks.toList()) {
                                  const QVariantList phaseAndTime = mark.toList();
                                  if (phaseAndTime.size() == 2)
                                      StartTrace::MarkAtEpoch(phaseAndTime[0].toString(), phaseAndTime[1].toDouble());
                              }
                          });
}

void RufflePlayer::ShowFailure()
{
    m_page->runJavaScript(QStringLiteral("orvaneShowFailure(%1)").arg(JsonLiteral(m_failure)),
                          QWebEngineScript::MainWorld);
}

void RufflePlayer::StartMovie()
{
    m_page->runJavaScript(QStringLiteral("orvaneLoadMovie(%1, %2, %3)")
                              .arg(JsonLiteral(m_movieUrl.toString(QUrl::FullyEncoded)), MovieOptionsJson(),
                                   QString::fromUtf8(QJsonDocument(m_served).toJson(QJsonDocument::Compact))),
                          QWebEngineScript::MainWorld);
}

void RufflePlayer::ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes)
{
    m_served.insert(name, bytes ? QJsonValue(QString::fromLatin1(bytes->toBase64())) : QJsonValue(QJsonValue::Null));
}

void RufflePlayer::StopMovie(const QString& reason)
{
    if (m_playedUrl.isEmpty())
        return FailMovie(reason);
    qCWarning(lcFlash).noquote() << "The Flash movie stopped:" << reason;
    m_watchdog.stop();
    m_movieState = MovieState::Failed;
    m_movieUrl.clear();
    emit Stopped(reason);
}

void RufflePlayer::Restart()
{
    if (m_playedUrl.isEmpty())
        return;
    m_movieUrl = m_playedUrl;
    m_movieState = MovieState::Loading;
    LoadPage();
}

void RufflePlayer::FailMovie(const QString& reason)
{
    qCWarning(lcFlash).noquote() << "The Flash movie cannot be played:" << reason;
    m_movieState = MovieState::Failed;
    m_movieUrl.clear();
    m_failure = reason;
    if (m_pageReady)
        ShowFailure();
    emit MovieFailed(reason);
}

QString RufflePlayer::MovieOptionsJson() const
{
    QJsonObject options{
        {"allowScriptAccess", true},
        {"quality", m_properties.quality.toLower()},
        {"scale", RuffleScaleMode(m_properties.scaleMode)},
        {"wmode", m_properties.windowMode.toLower()},
        {"allowNetworking", m_properties.allowNetworking.toLower()},
        {"allowFullscreen", m_properties.allowFullScreen.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0},
        {"playerVersion", (m_version >> 16) & 0xFF},
        {"autoplay", "on"},
        {"unmuteOverlay", "hidden"},
        {"splashScreen", false},
        {"contextMenu", "off"},
        {"openUrlMode", "deny"},
        {"upgradeToHttps", false},
        {"warnOnUnsupportedContent", false},
        // A hidden page (the window minimised) pauses the movie instead of
        // ticking it from a worker; its functions still answer the host.
        {"backgroundExecutionMode", "none"},
    };
    // The movie marks its start-up phases only when asked to.
    if (StartTrace::Enabled())
        options.insert(QStringLiteral("parameters"), QJsonObject{{"orvaneTrace", "1"}});
    return QString::fromUtf8(QJsonDocument(options).toJson(QJsonDocument::Compact));
}

void RufflePlayer::CheckAlive()
{
    using Clock = std::chrono::steady_clock;
    if (m_movieState != MovieState::Playing)
        return m_watchdog.stop();
    if (!m_pingSent) {
        m_pingSent = Clock::now();
        const QPointer<RufflePlayer> alive(this);
        m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::MainWorld, [this, alive](const QVariant&) {
            if (alive)
                m_pingSent.reset();
        });
        return;
    }
    if (Clock::now() - *m_pingSent < m_hangLimit)
        return;
    // The page has stopped answering (its process halted or caught in a
    // loop): it is ended like one that crashed, and the player starts afresh.
    const qint64 pid = m_page->renderProcessPid();
    m_hang = QStringLiteral("the page did not answer for %1 s (process %2 ended)")
                 .arg(std::chrono::duration_cast<std::chrono::seconds>(m_hangLimit).count())
                 .arg(pid);
    m_watchdog.stop();
    m_pingSent.reset();
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), SIGKILL) != 0)
        StopMovie(std::exchange(m_hang, {}));
}

}  // namespace orvane
