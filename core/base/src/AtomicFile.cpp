#include "AtomicFile.h"
#include "Handle.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::detail {

namespace {

// Symbolic links followed before giving up, as the system does.
constexpr int kMaxLinkHops = 40;
// Attempts at a temporary name that is not taken yet.
constexpr int kMaxNameAttempts = 100;
// Room left for the temporary name's prefix and suffix within NAME_MAX.
constexpr std::size_t kMaxNameStem = 200;
// A temporary name ends in 8 lowercase hexadecimal digits and this.
constexpr std::size_t kRandomDigits = 8;
constexpr std::string_view kTemporaryEnding = ".tmp";

using FolderListing = Handle<DIR, closedir>;

// "dir/name" -> "dir/", "name"; "name" -> "", "name".
std::string FolderPrefixOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the kernel would follow the link with the given status in its
// folder: a link in a sticky folder every user may write to is followed only
// when it belongs to the follower or to the folder's owner, so that nobody can
// plant one in /tmp that leads another user's save to a file of their choice.
bool MayFollowLink(const std::string& path, const struct stat& link)
{
    const std::string folderPrefix = FolderPrefixOf(path);
    struct stat folder {};
    if (::stat(folderPrefix.empty() ? "." : folderPrefix.c_str(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// Follows symbolic links until the path names a file that is not a link or
// does not exist yet (a dangling link leads to the file to create).
SystemResult FollowLinks(std::string& path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT ? SystemResult{} : LastSystemFailure();
        if (!S_ISLNK(status.st_mode))
            return {};
        if (!MayFollowLink(path, status))
            return SystemFailure(EACCES);
        std::vector<char> link(PATH_MAX);
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0)
            return LastSystemFailure();
        if (static_cast<std::size_t>(length) == link.size())
            return SystemFailure(ENAMETOOLONG);
        std::string destination(link.data(), static_cast<std::size_t>(length));
        path = destination.front() == '/' ? destination : FolderPrefixOf(path) + destination;
    }
    return SystemFailure(ELOOP);
}

std::string RandomEnding(std::random_device& random)
{
    char ending[16];
    std::snprintf(ending, sizeof ending, "%08x.tmp", static_cast<unsigned>(random()));
    return ending;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kRandomDigits + kTemporaryEnding.size() || !name.starts_with(prefix) ||
        !name.ends_with(kTemporaryEnding))
        return false;
    for (const char digit : name.substr(prefix.size(), kRandomDigits))
        if (!((digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f')))
            return false;
    return true;
}

// Marks a temporary file as held by a live save, for the clean-up of other
// saves; the mark goes with the last descriptor, even when the process is
// killed. Where the file system has no locks the mark is missing, and a
// concurrent save may take the file for stale: this save then fails at the
// rename, with the target untouched.
void MarkInUse(int fd)
{
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

bool IsSameFile(const struct stat& left, const struct stat& right)
{
    return left.st_dev == right.st_dev && left.st_ino == right.st_ino;
}

}  // namespace

AtomicFile::AtomicFile(std::string path, TemporaryName naming) : m_path(std::move(path)), m_naming(naming) {}

AtomicFile::~AtomicFile()
{
    Discard();
}

SystemResult AtomicFile::Open()
{
    m_target = m_path;
    if (const SystemResult followed = FollowLinks(m_target); !followed)
        return followed;
    m_targetName = NameOf(m_target);
    if (m_targetName.empty())
        return SystemFailure(EISDIR);
    const std::string folderPrefix = FolderPrefixOf(m_target);
    m_folder.reset(::open(folderPrefix.empty() ? "." : folderPrefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_folder)
        return LastSystemFailure();

    struct stat status {};
    const bool exists = ::fstatat(m_folder.get(), m_targetName.c_str(), &status, 0) == 0;
    if (!exists && errno != ENOENT)
        return LastSystemFailure();
    FileDescriptor writableTarget;
    if (exists) {
        if (!S_ISREG(status.st_mode))
            return SystemFailure(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        // Only content that could be overwritten in place may be replaced.
        writableTarget.reset(
            ::openat(m_folder.get(), m_targetName.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!writableTarget)
            return LastSystemFailure();
    }
    RemoveStaleTemporaries();

    SystemResult created = SystemFailure(0);
    bool named = m_naming == TemporaryName::FromStart;
    if (m_naming == TemporaryName::AtCommit) {
        // 0666 lets the umask (or the folder's default ACL) decide, as for any new file.
        m_file.reset(::openat(m_folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        created = m_file ? SystemResult{} : LastSystemFailure();
        if (created)
            MarkInUse(m_file.get());
        // File systems without unnamed files say one of these.
        named = created.systemError == EOPNOTSUPP || created.systemError == EISDIR || created.systemError == EINVAL;
    }
    if (named)
        created = CreateNamedTemporary();
    if (!created) {
        if (!writableTarget || (created.systemError != EACCES && created.systemError != EPERM))
            return created;
        m_inPlaceReason = created.systemError;
        m_file = std::move(writableTarget);
        return {};
    }

    if (exists) {
        // Owner and group first, as a change of owner clears the set-ID bits.
        // Only a privileged process may give a file away; others keep theirs.
        const bool owned = ::fchown(m_file.get(), status.st_uid, status.st_gid) == 0 || errno == EPERM;
        if (!owned || ::fchmod(m_file.get(), status.st_mode & 07777) != 0) {
            const SystemResult failed = LastSystemFailure();
            Discard();
            return failed;
        }
    }
    return {};
}

SystemResult AtomicFile::CreateNamedTemporary()
{
    std::random_device random;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const std::string name = TemporaryPrefix() + RandomEnding(random);
        FileDescriptor file(
            ::openat(m_folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666));
        if (!file) {
            if (errno == EEXIST)
                continue;
            return LastSystemFailure();
        }
        MarkInUse(file.get());
        // Another save's clean-up may have taken the file for stale before it
        // was marked: it is kept only while its name still leads to it.
        struct stat opened {}, named {};
        if (::fstat(file.get(), &opened) == 0 &&
            ::fstatat(m_folder.get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && IsSameFile(opened, named)) {
            m_file = std::move(file);
            m_temporary = name;
            return {};
        }
    }
    return SystemFailure(EEXIST);
}

SystemResult AtomicFile::LinkUnnamedTemporary()
{
    const std::string descriptorPath = "/proc/self/fd/" + std::to_string(m_file.get());
    std::random_device random;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const std::string name = TemporaryPrefix() + RandomEnding(random);
        // Through /proc any process may name the file; without /proc only
        // one allowed to link a descriptor itself (CAP_DAC_READ_SEARCH).
        bool linked =
            ::linkat(AT_FDCWD, descriptorPath.c_str(), m_folder.get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0;
        if (!linked && errno == ENOENT)
            linked = ::linkat(m_file.get(), "", m_folder.get(), name.c_str(), AT_EMPTY_PATH) == 0;
        if (linked) {
            m_temporary = name;
            return {};
        }
        if (errno != EEXIST)
            return LastSystemFailure();
    }
    return SystemFailure(EEXIST);
}

void AtomicFile::RemoveStaleTemporaries() const
{
    const std::string folderPrefix = FolderPrefixOf(m_target);
    const FolderListing listing(::opendir(folderPrefix.empty() ? "." : folderPrefix.c_str()));
    if (!listing)
        return;
    const std::string prefix = TemporaryPrefix();
    while (const dirent* entry = ::readdir(listing.get())) {
        if (!IsTemporaryName(entry->d_name, prefix))
            continue;
        // Opened for writing: where flock is carried out with record locks
        // (NFS), an exclusive lock needs it.
        const FileDescriptor candidate(
            ::openat(m_folder.get(), entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat status {};
        if (candidate && ::fstat(candidate.get(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid() && ::flock(candidate.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(m_folder.get(), entry->d_name, 0);
    }
}

std::string AtomicFile::TemporaryPrefix() const
{
    return "." + m_targetName.substr(0, kMaxNameStem) + ".";
}

SystemResult AtomicFile::Reserve(std::size_t size)
{
    // A temporary file needs no reservation: a failure there only discards it.
    if (m_inPlaceReason == 0 || size == 0 || ::fallocate(m_file.get(), 0, 0, static_cast<off_t>(size)) == 0)
        return {};
    return errno == EOPNOTSUPP || errno == ENOSYS ? SystemResult{} : LastSystemFailure();
}

SystemResult AtomicFile::Write(const void* data, std::size_t size)
{
    m_written = true;
    return WriteAll(m_file.get(), data, size);
}

SystemResult AtomicFile::Commit()
{
    if (m_inPlaceReason != 0) {
        const off_t length = ::lseek(m_file.get(), 0, SEEK_CUR);
        if (length < 0 || ::ftruncate(m_file.get(), length) != 0 || ::fsync(m_file.get()) != 0 || !m_file.close())
            return LastSystemFailure();
        return {};
    }
    if (::fsync(m_file.get()) != 0)
        return LastSystemFailure();
    if (m_temporary.empty())
        if (const SystemResult linked = LinkUnnamedTemporary(); !linked)
            return linked;
    // The descriptor holds the mark of a live save until the rename is done.
    if (::renameat(m_folder.get(), m_temporary.c_str(), m_folder.get(), m_targetName.c_str()) != 0)
        return LastSystemFailure();
    m_temporary.clear();
    if (!m_file.close())
        return LastSystemFailure();
    // The rename is only durable once the folder is on disk; file systems
    // that cannot flush a folder say EINVAL.
    return ::fsync(m_folder.get()) == 0 || errno == EINVAL ? SystemResult{} : LastSystemFailure();
}

void AtomicFile::Discard()
{
    // Removed while still marked, so that no other save's clean-up races for it.
    if (!m_temporary.empty())
        ::unlinkat(m_folder.get(), m_temporary.c_str(), 0);
    m_temporary.clear();
    m_file.reset();
}

SaveResult SaveWhole(const std::string& path, std::span<const std::string_view> pieces)
{
    AtomicFile file(path);
    if (const SystemResult opened = file.Open(); !opened)
        return {SaveFailure::Open, opened.systemError, false};
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    if (const SystemResult reserved = file.Reserve(size); !reserved)
        return {SaveFailure::Reserve, reserved.systemError, false};
    for (const std::string_view piece : pieces) {
        if (const SystemResult written = file.Write(piece.data(), piece.size()); !written)
            return {SaveFailure::Write, written.systemError, file.TargetTouched()};
    }
    if (const SystemResult committed = file.Commit(); !committed)
        return {SaveFailure::Write, committed.systemError, file.TargetTouched()};
    return {};
}

}  // namespace orvane::detail
