#pragma once
// What the user is told when a file could not be written: "(#2001)", the
// system's reason, and what became of the file that was there.

#include <string>

namespace orvane {

// existed: a file was at the name before; damaged: it may have lost its old
// content (a rewrite in place failed part-way).
[[nodiscard]] std::string SaveFailureText(int systemError, bool existed, bool damaged);

}  // namespace orvane
