#include "FileIdentity.h"

#include <sys/stat.h>

namespace orvane {

std::optional<FileIdentity> FileIdentity::Of(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

bool ChangedOnDisk(const std::string& path, const std::optional<FileIdentity>& remembered)
{
    const std::optional<FileIdentity> now = FileIdentity::Of(path);
    return remembered && now && !(*now == *remembered);
}

}  // namespace orvane
