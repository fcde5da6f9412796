#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Symbolic links followed before giving up, as the system does.
constexpr int kMaxLinkHops = 40;
// Attempts at a temporary name that is not taken yet.
constexpr int kMaxNameAttempts = 100;
// Room left for the temporary name's prefix and suffix within NAME_MAX.
constexpr std::size_t kMaxNameStem = 200;

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

// Follows symbolic links until the path names a file that is not a link or
// does not exist yet (a dangling link leads to the file to create).
bool FollowLinks(std::string& path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT;
        if (!S_ISLNK(status.st_mode))
            return true;
        std::vector<char> link(PATH_MAX);
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0)
            return false;
        if (static_cast<std::size_t>(length) == link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        std::string destination(link.data(), static_cast<std::size_t>(length));
        path = destination.front() == '/' ? destination : FolderPrefixOf(path) + destination;
    }
    errno = ELOOP;
    return false;
}

}  // namespace

CAtomicFile::CAtomicFile(std::string path) : m_strPath(std::move(path)) {}

CAtomicFile::~CAtomicFile()
{
    Discard();
}

bool CAtomicFile::Open()
{
    m_strTarget = m_strPath;
    if (!FollowLinks(m_strTarget))
        return false;

    struct stat status {};
    const bool exists = ::stat(m_strTarget.c_str(), &status) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists) {
        if (!S_ISREG(status.st_mode)) {
            errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        // Only content that could be overwritten in place may be replaced.
        const int probe = ::open(m_strTarget.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0)
            return false;
        ::close(probe);
    }

    const std::string stem = FolderPrefixOf(m_strTarget) + "." + NameOf(m_strTarget).substr(0, kMaxNameStem) + ".";
    std::random_device random;
    for (int attempt = 0; attempt < kMaxNameAttempts && m_nFile < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x.tmp", static_cast<unsigned>(random()));
        const std::string candidate = stem + suffix;
        // 0666 lets the umask (or the folder's default ACL) decide, as for any new file.
        m_nFile = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (m_nFile >= 0)
            m_strTemporary = candidate;
        else if (errno != EEXIST)
            return false;
    }
    if (m_nFile < 0)
        return false;

    if (exists && ::fchmod(m_nFile, status.st_mode & 07777) != 0) {
        Discard();
        return false;
    }
    return true;
}

bool CAtomicFile::Write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(m_nFile, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CAtomicFile::Commit()
{
    if (::fsync(m_nFile) != 0)
        return false;
    const int closed = ::close(m_nFile);
    m_nFile = -1;
    if (closed != 0)
        return false;

    const std::string folderPrefix = FolderPrefixOf(m_strTarget);
    const int folder = ::open(folderPrefix.empty() ? "." : folderPrefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool renamed = ::rename(m_strTemporary.c_str(), m_strTarget.c_str()) == 0;
    if (renamed)
        m_strTemporary.clear();
    // The rename is only durable once the folder is on disk; file systems
    // that cannot flush a folder say EINVAL.
    const bool durable = renamed && (::fsync(folder) == 0 || errno == EINVAL);
    const int error = errno;
    ::close(folder);
    errno = error;
    return durable;
}

void CAtomicFile::Discard()
{
    const int error = errno;
    if (m_nFile >= 0)
        ::close(m_nFile);
    m_nFile = -1;
    if (!m_strTemporary.empty())
        ::unlink(m_strTemporary.c_str());
    m_strTemporary.clear();
    errno = error;
}
