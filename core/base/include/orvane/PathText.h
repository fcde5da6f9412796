#pragma once
// Paths as text: the conventions every part of the program shares.

#include <cstdlib>
#include <string>

namespace orvane {

// folder with one '/' at its end; "" stays "" (a relative folder: the current one).
[[nodiscard]] inline std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The program's folder in one of the user's XDG base folders: "$VARIABLE/orvane/"
// when the variable holds an absolute path, else "$HOME/underHome/orvane/"
// (noHome standing in for an unset or empty HOME).
[[nodiscard]] inline std::string XdgProgramFolder(const char* variable, const std::string& underHome,
                                                  const char* noHome)
{
    const char* base = std::getenv(variable);
    if (base && *base == '/')
        return WithTrailingSlash(base) + "orvane/";
    const char* home = std::getenv("HOME");
    return WithTrailingSlash(home && *home ? home : noHome) + underHome + "/orvane/";
}

}  // namespace orvane
