#pragma once
// Whole-stream binary input on file descriptors.

#include <cstddef>
#include <string>

namespace orvane {

enum class StreamReadResult { Ok, Failed, TooLarge };

// Reads fd to its end into data. TooLarge as soon as more than maxBytes arrive
// (or a regular file is known to be larger); data is then incomplete. On
// Failed, systemError takes the system's reason.
StreamReadResult ReadWholeStream(int fd, std::size_t maxBytes, std::string& data, int& systemError);

}  // namespace orvane
