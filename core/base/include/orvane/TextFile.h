#pragma once
// The program's one save road: every file it writes, selection files and the
// bill of materials as CSV or PDF alike, is written whole or not at all, and
// a write hands back its whole outcome as one value.

#include <string>
#include <string_view>

namespace orvane {

// What a write did, whole: no caller asks the system or a flag later.
struct FileWriteResult {
    bool written = false;
    int systemError = 0;         // after a failure: the system's reason (ENOSPC, EACCES, ...), 0 when it has none
    bool existed = false;        // a regular file was at the name before the write
    bool targetDamaged = false;  // after a failure: that file's old content may be lost (a rewrite in place failed part-way)
    // A failure without a system reason: why, in the words of the library
    // that made the file (the spreadsheet library's, Qt's); "" when none.
    std::string reasonText{};
    explicit operator bool() const { return written; }
};

// Replaces path's content with bytes: the old file stays whole until the new
// one is complete on disk, and the space is claimed before any old byte is
// touched.
[[nodiscard]] FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes);

// Whether a regular file is at path now (a link is followed to it).
[[nodiscard]] bool IsRegularFile(const std::string& path);

// What the user is told when a file other than a selection (the bill of
// materials) could not be written: "(#2001)", the system's reason (or the
// library's reasonText), and what became of the file that was at the name.
[[nodiscard]] std::string FileWriteFailureText(const FileWriteResult& result);

}  // namespace orvane
