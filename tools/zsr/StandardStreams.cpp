#include "StandardStreams.h"

#include "PosixFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace orvane {

StreamReadResult ReadWholeStream(int fd, std::size_t maxBytes, std::string& data, int& systemError)
{
    data.clear();
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        const off_t remaining = status.st_size - lseek(fd, 0, SEEK_CUR);
        if (remaining > 0 && static_cast<std::uintmax_t>(remaining) > maxBytes)
            return StreamReadResult::TooLarge;
        if (remaining > 0)
            data.reserve(static_cast<std::size_t>(remaining));
    }
    constexpr std::size_t kChunk = 1 << 20;
    for (;;) {
        const std::size_t used = data.size();
        // One byte beyond the limit is enough to know the stream is too large.
        const std::size_t want = std::min(kChunk, maxBytes - used + 1);
        data.resize(used + want);
        const detail::ReadResult read = detail::ReadUpTo(fd, data.data() + used, want);
        data.resize(read.failed() ? used : used + read.bytes);
        if (read.failed()) {
            systemError = read.systemError;
            return StreamReadResult::Failed;
        }
        if (data.size() > maxBytes)
            return StreamReadResult::TooLarge;
        if (read.bytes < want)
            return StreamReadResult::Ok;
    }
}

}  // namespace orvane
