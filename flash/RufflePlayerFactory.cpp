#include "RufflePlayerFactory.h"

#include "RufflePlayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <optional>

namespace orvane {

// Environment variables for trying each outcome of the player check:
//   ORVANE_FLASH_RUNTIME=<dir>   take the Ruffle runtime from <dir> instead of
//                                <appDir>/ruffle (a folder without it: "not registered")
//   ORVANE_FLASH_VERSION=<int>   report this FlashVersion value (decimal or 0x hex)
//   ORVANE_FLASH_FAIL=<code>     fail creation with this error code (decimal or 0x hex)

namespace {

// Ruffle 0.6.0 (the version pinned in package.json) emulates Flash Player 32
// ("WIN 32,0,0,0"); the player is also told to emulate exactly this version.
constexpr std::int32_t kRuffleFlashVersion = 32 << 16;

// E_FAIL: Qt WebEngine cannot run in this process.
constexpr std::int32_t kWebEngineUnusable = static_cast<std::int32_t>(0x80004005u);
// E_UNEXPECTED: ORVANE_FLASH_FAIL was set to zero or to something that is not a number.
constexpr std::int32_t kUnreadableFailCode = static_cast<std::int32_t>(0x8000FFFFu);

// The variable's value as a 32-bit number; nullopt when unset or not a number.
std::optional<std::int32_t> EnvironmentNumber(const QProcessEnvironment& env, const QString& name)
{
    bool ok = false;
    const qint64 value = env.value(name).trimmed().toLongLong(&ok, 0);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// ruffle.js, a core chunk and a wasm file: the least Ruffle starts with.
bool IsRuffleRuntime(const QDir& dir)
{
    return QFileInfo(dir.filePath(QStringLiteral("ruffle.js"))).isFile()
           && !dir.entryList({QStringLiteral("core.ruffle.*.js")}, QDir::Files).isEmpty()
           && !dir.entryList({QStringLiteral("*.wasm")}, QDir::Files).isEmpty();
}

}  // namespace

FlashPlayerFactory RufflePlayerFactory(const QString& appDir, std::chrono::milliseconds hangLimit)
{
    return [appDir, hangLimit]() -> FlashCreateResult {
        const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (env.contains(QStringLiteral("ORVANE_FLASH_FAIL"))) {
            const std::int32_t code = EnvironmentNumber(env, QStringLiteral("ORVANE_FLASH_FAIL")).value_or(0);
            return {FlashCreateStatus::Failed, code != 0 ? code : kUnreadableFailCode, nullptr};
        }
        const QDir runtime(env.value(QStringLiteral("ORVANE_FLASH_RUNTIME"),
                                     QDir(appDir).filePath(QStringLiteral("ruffle"))));
        if (!IsRuffleRuntime(runtime))
            return {FlashCreateStatus::ClassNotRegistered, 0, nullptr};
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return {FlashCreateStatus::Failed, kWebEngineUnusable, nullptr};
        const std::int32_t version =
            EnvironmentNumber(env, QStringLiteral("ORVANE_FLASH_VERSION")).value_or(kRuffleFlashVersion);
        return {FlashCreateStatus::Ok, 0, std::make_unique<RufflePlayer>(runtime.absolutePath(), version, hangLimit)};
    };
}

}  // namespace orvane
