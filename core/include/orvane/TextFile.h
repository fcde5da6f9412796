#pragma once
// Files the program writes besides selection files (the bill of materials as
// CSV or PDF) take the road selection files take: whole or not at all.

#include <string>
#include <string_view>

namespace orvane {

struct WholeFileWrite {
    bool written = false;
    // After a failure: the file's old content may be lost (the folder refused
    // a temporary file, and the rewrite in place failed part-way).
    bool targetDamaged = false;
};

// Replaces path's content with bytes: the old file stays whole until the new
// one is complete on disk, and the space is claimed before any old byte is
// touched. errno is set when nothing was written.
[[nodiscard]] WholeFileWrite WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace orvane
