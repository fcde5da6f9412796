#pragma once
// Paths as text: the conventions every part of the program shares.

#include <string>

namespace orvane {

// folder with one '/' at its end; "" stays "" (a relative folder: the current one).
[[nodiscard]] inline std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace orvane
