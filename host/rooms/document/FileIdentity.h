#pragma once
// What a file on disk was when the program last read or wrote it: which file
// its name led to, its size, its time of modification and its time of change.
// Save compares it with what is there now, so that a file another program
// rewrote or replaced in the meantime is not overwritten without asking. The
// time of change is the kernel's own: a program that rewrites a file in
// place and puts its time of modification back still moves it.

#include <ctime>
#include <optional>
#include <string>

#include <sys/types.h>

namespace orvane {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::timespec modified{};
    std::timespec changed{};

    // The file path leads to now; nullopt when there is none.
    [[nodiscard]] static std::optional<FileIdentity> Of(const std::string& path);
    [[nodiscard]] bool operator==(const FileIdentity& other) const;
};

// Whether the file at path is no longer the one remembered: another file,
// another size, another time of modification or of change. A file that is gone has nothing to
// lose and counts as unchanged, as does one nothing was remembered of.
[[nodiscard]] bool ChangedOnDisk(const std::string& path, const std::optional<FileIdentity>& remembered);

}  // namespace orvane
