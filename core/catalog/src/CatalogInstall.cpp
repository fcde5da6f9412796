// Installing a catalogue pair in the data folder: the lock, the new pair's
// folder, the one rename that switches to it, and the removal of what
// interrupted installs left.
#include "orvane/CatalogStore.h"

#include "orvane/CatalogSignature.h"
#include "orvane/PathText.h"
#include "orvane/TextFile.h"

#include "CatalogFolder.h"
#include "PosixFile.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

namespace fs = std::filesystem;

// The fault of a data folder that could not be made: the first part of its
// path that is something other than a folder, or the system's reason.
CatalogFolderFault FolderFault(const std::string& dataFolder, int systemError)
{
    for (fs::path part = fs::path(dataFolder).lexically_normal(); !part.empty() && part != part.root_path();
         part = part.parent_path()) {
        std::string path = part.string();
        if (!path.empty() && path.back() == '/')
            path.pop_back();
        if (std::string found = detail::FoundAt(path); !found.empty() && !fs::is_directory(path))
            return {path, std::move(found), "文件夹", systemError};
    }
    return {dataFolder, {}, {}, systemError};
}

// Removes the pair folders (and half-made links) that are not in use.
void RemoveLeftovers(const std::string& dataFolder)
{
    const std::optional<std::string> inUse = detail::PairInUse(dataFolder);
    std::error_code error;
    std::vector<fs::path> leftovers;
    for (const fs::directory_entry& entry : fs::directory_iterator(dataFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(detail::kCatalogPairPrefix, 0) == 0 && (!inUse || dataFolder + name + "/" != *inUse))
            leftovers.push_back(entry.path());
    }
    for (const fs::path& leftover : leftovers)
        fs::remove_all(leftover, error);
}

// Makes a file's or folder's new entries durable; the system's reason or 0.
int SyncFolder(const std::string& folder)
{
    const detail::FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

CatalogInstallResult Failed(std::string path, int systemError)
{
    return {false, false, {std::move(path), {}, {}, systemError}};
}

}  // namespace

CatalogInstallLock::CatalogInstallLock(const std::string& dataFolder, Wait wait)
    : m_dataFolder(WithTrailingSlash(dataFolder))
{
    std::error_code error;
    fs::create_directories(m_dataFolder, error);
    if (error) {
        m_fault = FolderFault(m_dataFolder, error.value());
        return;
    }
    const std::string lockPath = m_dataFolder + detail::kCatalogLockName;
    detail::FileDescriptor fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
        m_fault = {lockPath, {}, {}, errno};
        return;
    }
    int locked;
    do
        locked = ::flock(fd.get(), LOCK_EX | (wait == Wait::No ? LOCK_NB : 0));
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        m_fault = {lockPath, {}, {}, errno};
        return;
    }
    m_fd = fd.release();
}

CatalogInstallLock::~CatalogInstallLock() { detail::FileDescriptor closed(m_fd); }

CatalogInstallResult InstallCatalog(const CatalogInstallLock& lock, std::string_view catalogBytes,
                                    std::string_view signature, const CatalogInstallStep& step)
{
    const auto stopped = [&step] { return step && !step(); };
    const std::string& dataFolder = lock.DataFolder();
    RemoveLeftovers(dataFolder);
    const std::string link = dataFolder + detail::kCatalogLinkName;
    if (std::string found = detail::FoundAt(link); !found.empty() && !fs::is_symlink(link))
        return {false, false, {link, std::move(found), "本程序建立的链接", 0}};
    const std::optional<std::string> previous = detail::PairInUse(dataFolder);

    if (stopped())
        return {.stopped = true};
    std::string pairFolder = dataFolder + detail::kCatalogPairPrefix + "XXXXXX";
    if (!::mkdtemp(pairFolder.data()))
        return Failed(dataFolder, errno);
    const std::string pairName = pairFolder.substr(dataFolder.size());
    const std::string newLink = pairFolder + ".link";
    // A failure before the switch takes the new pair away again; the pair in use stays.
    const auto abandon = [&](const std::string& path, int systemError) {
        std::error_code error;
        fs::remove(newLink, error);
        fs::remove_all(pairFolder, error);
        return Failed(path, systemError);
    };
    const std::pair<std::string, std::string_view> files[] = {
        {pairFolder + "/" + kCatalogFileName + kSignatureSuffix, signature},
        {pairFolder + "/" + kCatalogFileName, catalogBytes},
    };
    for (const auto& [path, bytes] : files) {
        if (stopped())
            return {.stopped = true};
        if (const FileWriteResult written = WriteWholeFile(path, bytes); !written)
            return abandon(path, written.systemError);
    }
    if (const int systemError = SyncFolder(pairFolder); systemError != 0)
        return abandon(pairFolder, systemError);

    if (stopped())
        return {.stopped = true};
    if (::symlink(pairName.c_str(), newLink.c_str()) != 0)
        return abandon(newLink, errno);
    if (stopped())
        return {.stopped = true};
    if (::rename(newLink.c_str(), link.c_str()) != 0)
        return abandon(link, errno);
    // The switch is made. Until it is known to be on disk the previous pair
    // stays (a leftover for the next start), in case a crash undoes it.
    if (previous && SyncFolder(dataFolder) == 0) {
        if (stopped())
            return {.installed = true, .stopped = true};
        std::error_code error;
        fs::remove_all(*previous, error);  // a leftover for the next install when it stays
    }
    return {.installed = true};
}

void TidyCatalogFolder(const std::string& dataFolder)
{
    if (!fs::is_directory(dataFolder))
        return;
    if (const CatalogInstallLock lock(dataFolder, CatalogInstallLock::Wait::No); lock)
        RemoveLeftovers(lock.DataFolder());
}

int RestoreShippedCatalog(const std::string& dataFolder)
{
    if (!fs::is_directory(dataFolder))
        return 0;  // nothing installed
    const CatalogInstallLock lock(dataFolder, CatalogInstallLock::Wait::Yes);
    if (!lock)
        return lock.Fault().systemError;
    const std::string link = lock.DataFolder() + detail::kCatalogLinkName;
    if (fs::is_symlink(link) && ::unlink(link.c_str()) != 0)
        return errno;
    RemoveLeftovers(lock.DataFolder());
    return 0;
}

}  // namespace orvane
