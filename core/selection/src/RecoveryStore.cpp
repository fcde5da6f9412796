#include "orvane/RecoveryStore.h"

#include "orvane/PathText.h"
#include "orvane/SelectionFile.h"

#include "PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

using detail::FileDescriptor;

constexpr char kCopySuffix[] = ".zsr";
constexpr char kLockSuffix[] = ".lock";
constexpr char kDamagedSuffix[] = ".damaged";
// A lock file without a copy is left alone this long after it was made: the
// program that made it may not hold it yet.
constexpr std::chrono::seconds kStaleLockAge{60};

// Opens (creating) a lock file without following a planted link.
FileDescriptor OpenLockFile(const std::string& path, int create = O_CREAT)
{
    return FileDescriptor(
        ::open(path.c_str(), O_RDWR | create | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600));
}

std::string SlotOf(const std::string& path, std::size_t suffixLength)
{
    return path.substr(0, path.size() - suffixLength);
}

// The folder as the store may use it: reached without a link, a folder, the
// user's own, private. A missing one is made (its parents as the user's
// files are made). Otherwise not done, with the system's reason; the folder
// is then left exactly as it was.
detail::SystemResult MakeFolderPrivate(const std::string& folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();  // a trailing '/' would make the open follow a link
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return detail::LastSystemFailure();
    const FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!opened || ::fstat(opened.get(), &status) != 0) {
        const int error = errno;
        return detail::SystemFailure(error == ELOOP || error == ENOTDIR ? EACCES : error);
    }
    if (status.st_uid != ::geteuid())
        return detail::SystemFailure(EACCES);
    if ((status.st_mode & 07777) == 0700 || ::fchmod(opened.get(), 0700) == 0)
        return {};
    return detail::LastSystemFailure();
}

// Whether nobody holds the lock file at path (its program has ended).
bool IsUnheld(const std::string& path)
{
    const FileDescriptor lock = OpenLockFile(path);
    return lock && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

std::string DefaultRecoveryFolder()
{
    return XdgProgramFolder("XDG_STATE_HOME", ".local/state", "/tmp");
}

RecoveryStore::RecoveryStore(std::string folder) : m_folder(WithTrailingSlash(std::move(folder))) {}

RecoveryStore::~RecoveryStore()
{
    if (!m_lock)
        return;
    // Without a copy to keep, the slot goes entirely.
    if (!m_hasCopy)
        ::unlink((m_slot + kLockSuffix).c_str());
}

RecoveryStore::Claim RecoveryStore::Open()
{
    if (const detail::SystemResult made = MakeFolderPrivate(m_folder); !made)
        return {made.systemError};
    RemoveStaleLocks();

    const auto now = std::chrono::system_clock::now().time_since_epoch();
    char name[64];
    std::snprintf(name, sizeof name, "%ld-%llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    const std::string slot = m_folder + name;
    FileDescriptor lock = OpenLockFile(slot + kLockSuffix);
    if (!lock || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        return {errno};
    m_slot = slot;
    m_lock = std::make_unique<FileDescriptor>(std::move(lock));
    return {};
}

void RecoveryStore::RemoveStaleLocks() const
{
    std::error_code error;
    const auto oldest = std::chrono::system_clock::now() - kStaleLockAge;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string path = entry.path().string();
        if (!path.ends_with(kLockSuffix))
            continue;
        const std::string slot = SlotOf(path, sizeof(kLockSuffix) - 1);
        struct stat lock {}, copy {};
        if (::lstat(path.c_str(), &lock) != 0 || !S_ISREG(lock.st_mode) ||
            ::lstat((slot + kCopySuffix).c_str(), &copy) == 0 ||
            std::chrono::system_clock::from_time_t(lock.st_mtime) > oldest)
            continue;
        const FileDescriptor held = OpenLockFile(path, 0);
        if (held && ::flock(held.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
    }
}

std::vector<RecoveryOrphan> RecoveryStore::FindOrphans() const
{
    std::vector<RecoveryOrphan> orphans;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string path = entry.path().string();
        const std::string slot = SlotOf(path, sizeof(kCopySuffix) - 1);
        if (!path.ends_with(kCopySuffix) || slot == m_slot)
            continue;
        struct stat copy {};
        if (::lstat(path.c_str(), &copy) != 0 || !S_ISREG(copy.st_mode) || !IsUnheld(slot + kLockSuffix))
            continue;
        orphans.push_back({path, copy.st_mtime});
    }
    std::sort(orphans.begin(), orphans.end(),
              [](const RecoveryOrphan& a, const RecoveryOrphan& b) { return a.modified > b.modified; });
    return orphans;
}

FileWriteResult RecoveryStore::Save(const std::string& text)
{
    if (m_slot.empty())
        return {.systemError = EBADF};
    if (m_hasCopy && text == m_text)
        return {.written = true};
    const FileWriteResult written = SelectionFile::Write(m_slot + kCopySuffix, text);
    if (written) {
        m_hasCopy = true;
        m_text = text;
    }
    return written;
}

void RecoveryStore::Discard()
{
    if (m_hasCopy)
        ::unlink((m_slot + kCopySuffix).c_str());
    m_hasCopy = false;
    m_text.clear();
}

std::optional<std::string> RecoveryStore::Read(const std::string& path)
{
    SelectionText read = SelectionFile::Read(path);
    if (!read)
        return std::nullopt;
    return std::move(read.text);
}

void RecoveryStore::Remove(const RecoveryOrphan& orphan)
{
    ::unlink(orphan.path.c_str());
    ::unlink((SlotOf(orphan.path, sizeof(kCopySuffix) - 1) + kLockSuffix).c_str());
}

std::string RecoveryStore::SetAside(const RecoveryOrphan& orphan)
{
    const std::string aside = orphan.path + kDamagedSuffix;
    ::rename(orphan.path.c_str(), aside.c_str());
    ::unlink((SlotOf(orphan.path, sizeof(kCopySuffix) - 1) + kLockSuffix).c_str());
    return aside;
}

}  // namespace orvane
