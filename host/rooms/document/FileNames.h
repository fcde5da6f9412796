#pragma once
// How the program names a selection file to the user and in what it writes
// beside it. Paths are bytes as the file system holds them.

#include <QString>

#include <string>

namespace orvane {

// The file's name without its folder, for display: "线路 A.zsr".
[[nodiscard]] QString DisplayFileName(const std::string& path);
// The file's name without its folder and its last suffix, as bytes: "线路 A".
[[nodiscard]] std::string FileStem(const std::string& path);

}  // namespace orvane
