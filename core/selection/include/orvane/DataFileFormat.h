#pragma once
// The ".zsr" container's size limit and the outcomes of reading one, as every
// reader and writer of selection files (SelectionFile) hands them on.

#include <cstdint>

namespace orvane {

// Outcomes of reading (and writing) a ".zsr" container.
enum : int {
    READ_DATA_OK = 0,
    READ_DATA_FAILED = 1,        // a record was written
    READ_DATA_CONTENT_BAD = 4,   // size or digest mismatch, or over the size limit; no record
};

// The largest selection text a ".zsr" file may hold (its cipher text has the
// same length): 64 MiB, far above any real selection. A larger file is
// refused with READ_DATA_CONTENT_BAD before it is read, and a larger text is
// not written, so the program never writes a file it would refuse to open.
inline constexpr std::uint32_t kMaxDataFileTextBytes = 64u * 1024 * 1024;

}  // namespace orvane
