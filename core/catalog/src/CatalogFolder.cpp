#include "CatalogFolder.h"

#include <array>

#include <sys/stat.h>
#include <unistd.h>

namespace orvane::detail {

namespace {

std::string KindText(mode_t mode)
{
    if (S_ISREG(mode))
        return "普通文件";
    if (S_ISDIR(mode))
        return "文件夹";
    if (S_ISFIFO(mode))
        return "FIFO（命名管道）";
    if (S_ISSOCK(mode))
        return "套接字";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "设备文件";
    return "特殊文件";
}

}  // namespace

std::optional<std::string> PairInUse(const std::string& dataFolder)
{
    std::array<char, 256> target{};
    const ssize_t length = ::readlink((dataFolder + kCatalogLinkName).c_str(), target.data(), target.size() - 1);
    if (length <= 0)
        return std::nullopt;
    const std::string name(target.data(), static_cast<std::size_t>(length));
    if (name.rfind(kCatalogPairPrefix, 0) != 0 || name.find('/') != std::string::npos)
        return std::nullopt;
    return dataFolder + name + "/";
}

std::string FoundAt(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return {};
    if (!S_ISLNK(status.st_mode))
        return "一个" + KindText(status.st_mode);
    if (::stat(path.c_str(), &status) != 0)
        return "一个指向不存在之处的链接";
    return "一个指向" + KindText(status.st_mode) + "的链接";
}

}  // namespace orvane::detail
