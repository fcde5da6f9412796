#pragma once
// The zsr tool's commands on ".zsr" selection files. Each returns the
// process exit status and writes a one-line reason to standard error on
// failure, plus a record to the error log.

#include <string>

// A failed read of a file exits with ReadDataFile's result: 1 (as
// EXIT_ZSR_FAILED) or 4, the file failed its content check.
namespace orvane {

enum : int {
    EXIT_ZSR_OK = 0,
    EXIT_ZSR_FAILED = 1,        // open, read, write or decryption failed
    EXIT_ZSR_USAGE = 2,
};

// Writes the stored selection text to standard output, byte for byte.
int DecodeCommand(const std::string& path);
// Stores standard input, byte for byte, as the selection text of path.
int EncodeCommand(const std::string& path);
// Checks path as decode does, printing only its size.
int VerifyCommand(const std::string& path);

}  // namespace orvane
