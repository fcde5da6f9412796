#pragma once
// Exported text files (the bill of materials as CSV) written all at once.

#include <string>
#include <string_view>

namespace orvane {

// Replaces path's content with bytes the way selection files are saved: the
// old file stays whole until the new one is complete on disk. false with
// errno set on failure. A folder that refuses new files makes it rewrite an
// existing file in place, which the error log records.
[[nodiscard]] bool WriteTextFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace orvane
