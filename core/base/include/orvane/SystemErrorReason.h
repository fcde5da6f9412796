#pragma once
// The system's reason for a failed file operation, as a short sentence for
// the user.

#include <string>

namespace orvane {

// A Simplified Chinese sentence for a system error code: the common causes of a
// failed open or save in words of their own (missing file or folder, no
// permission, disk full, read-only file system, a folder in place of a file,
// file too large, device error), any other code as "系统错误 N：" and the
// system's text. Empty for 0 (no system cause).
[[nodiscard]] std::string SystemErrorReason(int error);

}  // namespace orvane
