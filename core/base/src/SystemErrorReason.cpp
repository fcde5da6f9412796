#include "orvane/SystemErrorReason.h"

#include <cerrno>
#include <system_error>

namespace orvane {

std::string SystemErrorReason(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOENT:
    case ENOTDIR:
        return "文件或文件夹不存在。";
    case EACCES:
    case EPERM:
        return "没有访问权限。";
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足。";
    case EROFS:
        return "文件系统为只读。";
    case EISDIR:
        return "这是一个文件夹，不是文件。";
    case EFBIG:
        return "文件太大。";
    case EIO:
        return "读写设备出错。";
    default:
        return "系统错误 " + std::to_string(error) + "：" + std::system_category().message(error);
    }
}

}  // namespace orvane
