#pragma once
// POSIX file helpers: the owner of a file descriptor, and the loops that move a
// whole buffer through one. Every file descriptor of the library is held by a
// FileDescriptor.

#include <cerrno>
#include <cstddef>
#include <utility>

#include <sys/types.h>
#include <unistd.h>

namespace orvane::detail {

// Owns one file descriptor; closes it when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const noexcept { return m_fd; }
    explicit operator bool() const noexcept { return m_fd >= 0; }
    [[nodiscard]] int release() noexcept { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) noexcept
    {
        if (m_fd >= 0) {
            const int kept = errno;  // a close on the way out never hides the error being reported
            ::close(m_fd);
            errno = kept;
        }
        m_fd = fd;
    }
    // Closes now and tells whether the close succeeded: the last chance for
    // a file system to report that written data did not reach it.
    [[nodiscard]] bool close() noexcept { return ::close(release()) == 0; }

private:
    int m_fd = -1;
};

// What a call into the system did: done, or not with the system's reason
// (an errno value, taken right after the call; 0 when the failure has no
// system cause, such as a file that ended early).
struct SystemResult {
    bool done = true;
    int systemError = 0;
    explicit operator bool() const noexcept { return done; }
};

// The failure of the system call just made, with its reason.
[[nodiscard]] inline SystemResult LastSystemFailure() noexcept { return {false, errno}; }
// A failure with the given reason.
[[nodiscard]] inline SystemResult SystemFailure(int systemError) noexcept { return {false, systemError}; }

// Writes all size bytes, going on after interruptions and partial writes.
[[nodiscard]] inline SystemResult WriteAll(int fd, const void* data, std::size_t size) noexcept
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return LastSystemFailure();
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

// What ReadUpTo read: the bytes until size or the end of the file, or the
// system's reason when a read failed (systemError not 0).
struct ReadResult {
    std::size_t bytes = 0;
    int systemError = 0;
    [[nodiscard]] bool failed() const noexcept { return systemError != 0; }
};

// Reads until size bytes are in or the end of the file is reached. A
// descriptor opened non-blocking that has nothing to give fails (EAGAIN).
[[nodiscard]] inline ReadResult ReadUpTo(int fd, void* data, std::size_t size) noexcept
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {done, errno};
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return {done, 0};
}

// Reads exactly size bytes; a file that ends first is a failure without a system reason.
[[nodiscard]] inline SystemResult ReadExactly(int fd, void* data, std::size_t size) noexcept
{
    const ReadResult read = ReadUpTo(fd, data, size);
    if (read.failed())
        return SystemFailure(read.systemError);
    return read.bytes == size ? SystemResult{} : SystemFailure(0);
}

}  // namespace orvane::detail
