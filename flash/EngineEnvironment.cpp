#include "EngineEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

namespace orvane {

namespace {

// V8: the player's WebAssembly compiled lazily; a young generation of at most
// 1 MB a half (V8's default grows to 8 MB), so that the garbage of the
// player's frames is collected young instead of standing in up to 16 MB of
// young space whenever the page goes quiet.
const QString kV8Flags = QStringLiteral("--js-flags=\"--wasm-lazy-compilation --max-semi-space-size=1\"");

// The platform Qt will choose: QT_QPA_PLATFORM's first entry without its
// options; unset, Qt takes Wayland in a Wayland session where it can, else X.
bool DrawsOnX11(const QProcessEnvironment& environment)
{
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return false;
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (platform.isEmpty())
        return environment.value(QStringLiteral("XDG_SESSION_TYPE")) != QLatin1String("wayland");
    return platform.section(';', 0, 0).section(':', 0, 0) == QLatin1String("xcb");
}

// "host:display.screen" with a host other than this machine's socket.
bool IsRemoteDisplay(const QString& display)
{
    const QString host = display.section(':', 0, 0);
    return !host.isEmpty() && host != QLatin1String("unix") && !host.startsWith('/');
}

bool HasGpuDevice()
{
    const QFileInfoList nodes = QDir(QStringLiteral("/dev/dri")).entryInfoList(
        {QStringLiteral("renderD*"), QStringLiteral("card*")}, QDir::System);
    for (const QFileInfo& node : nodes)
        if (node.isReadable() && node.isWritable())
            return true;
    const QFileInfo nvidia(QStringLiteral("/dev/nvidiactl"));
    return nvidia.exists() && nvidia.isReadable() && nvidia.isWritable();
}

bool SoftwareGlForced(const QProcessEnvironment& environment)
{
    const QString value = environment.value(QStringLiteral("LIBGL_ALWAYS_SOFTWARE"));
    return !value.isEmpty() && value != QLatin1String("0") && value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

}  // namespace

bool XServerRendersDirectly(const QString& display)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(display.toLocal8Bit().constData(), nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return true;
    std::vector<xcb_query_extension_cookie_t> queries;
    for (const char* name : {"DRI3", "DRI2", "NV-GLX"})
        queries.push_back(xcb_query_extension(connection.get(), uint16_t(qstrlen(name)), name));
    bool present = false;
    for (const xcb_query_extension_cookie_t query : queries) {
        const std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
            xcb_query_extension_reply(connection.get(), query, nullptr), &std::free);
        present = present || (reply && reply->present);
    }
    return present;
}

EnvironmentChanges EngineEnvironment(const DisplayFacts& display, const QProcessEnvironment& environment)
{
    EnvironmentChanges changes;
    const auto setUnlessGiven = [&](const QString& name, const QString& value) {
        if (!environment.contains(name))
            changes.emplace_back(name, value);
    };
    if (display.x11 && !display.hardwareGl) {
        setUnlessGiven(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
        setUnlessGiven(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    }
    const QString chromiumFlagsName = QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS");
    const QString chromiumFlags = environment.value(chromiumFlagsName);
    if (!chromiumFlags.contains(QLatin1String("--js-flags")))
        changes.emplace_back(chromiumFlagsName, (chromiumFlags + ' ' + kV8Flags).trimmed());
    return changes;
}

DisplayFacts LookAtDisplay(const QProcessEnvironment& environment)
{
    DisplayFacts facts;
    facts.x11 = DrawsOnX11(environment);
    if (!facts.x11)
        return facts;
    const QString display = environment.value(QStringLiteral("DISPLAY"));
    facts.hardwareGl = !SoftwareGlForced(environment) && !IsRemoteDisplay(display) && HasGpuDevice()
                       && XServerRendersDirectly(display);
    return facts;
}

void ChooseEngineEnvironment()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : EngineEnvironment(LookAtDisplay(environment), environment))
        qputenv(name.toLocal8Bit().constData(), value.toLocal8Bit());
}

}  // namespace orvane
