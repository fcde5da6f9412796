// The engine settings the program chooses before Qt starts: software drawing
// only on an X display without GPU rendering, V8 flags (lazy WebAssembly, a small young generation),
// and nothing the user set overridden.
#include "EngineEnvironment.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <map>

namespace {

QProcessEnvironment Environment(std::initializer_list<std::pair<const char*, const char*>> variables)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return environment;
}

std::map<QString, QString> Changes(const orvane::DisplayFacts& display, const QProcessEnvironment& environment)
{
    const orvane::EnvironmentChanges changes = orvane::EngineEnvironment(display, environment);
    return {changes.begin(), changes.end()};
}

const QString kV8Flags = QStringLiteral("--js-flags=\"--wasm-lazy-compilation --max-semi-space-size=1\"");

}  // namespace

TEST(EngineEnvironment, SoftwareOpenGlOnXDrawsWithoutItUnlessTheUserChose)
{
    auto changes = Changes({true, false}, {});
    EXPECT_EQ(changes[QStringLiteral("QT_XCB_GL_INTEGRATION")], QStringLiteral("none"));
    EXPECT_EQ(changes[QStringLiteral("QT_QUICK_BACKEND")], QStringLiteral("software"));

    changes = Changes({true, false}, Environment({{"QT_QUICK_BACKEND", "rhi"}}));
    EXPECT_EQ(changes.count(QStringLiteral("QT_QUICK_BACKEND")), 0u);
    EXPECT_EQ(changes.count(QStringLiteral("QT_XCB_GL_INTEGRATION")), 1u);

    for (const orvane::DisplayFacts display : {orvane::DisplayFacts{true, true}, orvane::DisplayFacts{false, false}}) {
        changes = Changes(display, {});
        EXPECT_EQ(changes.count(QStringLiteral("QT_XCB_GL_INTEGRATION")), 0u);
        EXPECT_EQ(changes.count(QStringLiteral("QT_QUICK_BACKEND")), 0u);
    }
}

TEST(EngineEnvironment, V8FlagsJoinTheUsersChromiumFlagsButNotTheirV8Flags)
{
    EXPECT_EQ(Changes({}, {})[QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS")], kV8Flags);
    EXPECT_EQ(Changes({}, Environment({{"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}}))
                  [QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS")],
              "--disable-gpu " + kV8Flags);
    EXPECT_EQ(Changes({}, Environment({{"QTWEBENGINE_CHROMIUM_FLAGS", "--js-flags=--jitless"}}))
                  .count(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS")),
              0u);
}

TEST(EngineEnvironment, DisplayFactsFollowThePlatformQtWillTake)
{
    EXPECT_FALSE(orvane::LookAtDisplay(Environment({{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "offscreen"}})).x11);
    EXPECT_FALSE(orvane::LookAtDisplay(Environment({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}})).x11);
    EXPECT_FALSE(orvane::LookAtDisplay(Environment({{"QT_QPA_PLATFORM", "xcb"}})).x11);
    // A remote display is never asked: its OpenGL cannot use this machine's GPU.
    const orvane::DisplayFacts remote = orvane::LookAtDisplay(Environment({{"DISPLAY", "far.example:10.0"}, {"QT_QPA_PLATFORM", "xcb"}}));
    EXPECT_TRUE(remote.x11);
    EXPECT_FALSE(remote.hardwareGl);
    EXPECT_FALSE(orvane::LookAtDisplay(Environment({{"DISPLAY", ":0"}, {"LIBGL_ALWAYS_SOFTWARE", "1"}})).hardwareGl);
}

// An X server of the test's own, Xvfb: drawn by the CPU, no direct rendering.
TEST(EngineEnvironment, XvfbOffersNoDirectRenderingAndAnUnreachableServerIsLeftToQt)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    // Xvfb picks a free display and writes its number to standard output.
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString display = ':' + QString::fromLatin1(server.readAllStandardOutput()).trimmed();
    EXPECT_FALSE(orvane::XServerRendersDirectly(display));
    server.terminate();
    server.waitForFinished(5000);
    EXPECT_TRUE(orvane::XServerRendersDirectly(display));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
