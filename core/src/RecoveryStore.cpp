#include "orvane/RecoveryStore.h"

#include "orvane/CryptUtil.h"

#include "Resources.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

constexpr char kCopySuffix[] = ".zsr";
constexpr char kLockSuffix[] = ".lock";

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// Opens (creating) a lock file without following a planted link.
detail::FileDescriptor OpenLockFile(const std::string& path)
{
    return detail::FileDescriptor(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600));
}

std::string SlotOf(const std::string& copyPath)
{
    return copyPath.substr(0, copyPath.size() - (sizeof(kCopySuffix) - 1));
}

}  // namespace

std::string DefaultRecoveryFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return WithSlash(state) + "orvane/";
    const char* home = std::getenv("HOME");
    return WithSlash(home && *home ? home : "/tmp") + ".local/state/orvane/";
}

RecoveryStore::RecoveryStore(std::string folder) : m_strFolder(WithSlash(std::move(folder))) {}

RecoveryStore::~RecoveryStore()
{
    if (m_nLock < 0)
        return;
    // Without a copy to keep, the slot goes entirely.
    if (!m_bHasCopy)
        ::unlink((m_strSlot + kLockSuffix).c_str());
    ::close(m_nLock);
}

bool RecoveryStore::Open()
{
    std::error_code error;
    std::filesystem::create_directories(m_strFolder, error);
    ::chmod(m_strFolder.c_str(), 0700);
    struct stat folder {};
    if (::lstat(m_strFolder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode) || folder.st_uid != ::geteuid())
        return false;

    const auto now = std::chrono::system_clock::now().time_since_epoch();
    char name[64];
    std::snprintf(name, sizeof name, "%ld-%llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    const std::string slot = m_strFolder + name;
    detail::FileDescriptor lock = OpenLockFile(slot + kLockSuffix);
    if (!lock || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    m_strSlot = slot;
    m_nLock = lock.release();
    return true;
}

std::vector<RecoveryOrphan> RecoveryStore::FindOrphans() const
{
    std::vector<RecoveryOrphan> orphans;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder, error)) {
        const std::string path = entry.path().string();
        if (!path.ends_with(kCopySuffix) || SlotOf(path) == m_strSlot)
            continue;
        struct stat copy {};
        if (::lstat(path.c_str(), &copy) != 0 || !S_ISREG(copy.st_mode))
            continue;
        // A lock nobody holds: its program has ended.
        const detail::FileDescriptor lock = OpenLockFile(SlotOf(path) + kLockSuffix);
        if (!lock || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        orphans.push_back({path, copy.st_mtime});
    }
    std::sort(orphans.begin(), orphans.end(),
              [](const RecoveryOrphan& a, const RecoveryOrphan& b) { return a.modified > b.modified; });
    return orphans;
}

bool RecoveryStore::Save(const std::string& text)
{
    if (m_strSlot.empty() || text.size() > std::numeric_limits<std::uint32_t>::max())
        return false;
    if (m_bHasCopy && text == m_strText)
        return true;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!CCryptUtil().CreateDataFile(m_strSlot + kCopySuffix, static_cast<std::uint32_t>(text.size()), bytes))
        return false;
    m_bHasCopy = true;
    m_strText = text;
    return true;
}

void RecoveryStore::Discard()
{
    if (m_bHasCopy)
        ::unlink((m_strSlot + kCopySuffix).c_str());
    m_bHasCopy = false;
    m_strText.clear();
}

std::optional<std::string> RecoveryStore::Read(const std::string& path)
{
    std::uint32_t length = 0;
    orvane::ByteBuffer bytes;
    if (CCryptUtil().ReadDataFile(path, &length, &bytes) != orvane::READ_DATA_OK || length == 0)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(bytes.get()), length);
}

void RecoveryStore::Remove(const RecoveryOrphan& orphan)
{
    ::unlink(orphan.path.c_str());
    ::unlink((SlotOf(orphan.path) + kLockSuffix).c_str());
}

}  // namespace orvane
