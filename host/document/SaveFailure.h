#pragma once
// What the user is told when a file could not be written.

#include <string>

namespace orvane {

// A selection file: "(#2001)", and, when the file that was at the name may
// have lost its old content (a rewrite in place failed part-way), a line that
// says so and advises Save As.
[[nodiscard]] std::string SaveFailureText(bool damaged);

// Any other file the program writes (the bill of materials): "(#2001)", the
// system's reason, and what became of the file that was there. existed: a
// file was at the name before; damaged: as above.
[[nodiscard]] std::string SaveFailureText(int systemError, bool existed, bool damaged);

}  // namespace orvane
