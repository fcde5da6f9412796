#include "document/FileIdentity.h"

#include <sys/stat.h>

namespace orvane {

std::optional<FileIdentity> FileIdentity::Of(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

namespace {

bool SameTime(const std::timespec& a, const std::timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

bool ChangedOnDisk(const std::string& path, const std::optional<FileIdentity>& remembered)
{
    const std::optional<FileIdentity> now = FileIdentity::Of(path);
    return remembered && now && !(*now == *remembered);
}

}  // namespace orvane
