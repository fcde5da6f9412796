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

// Writes all size bytes, going on after interruptions and partial writes.
// false with errno set when the descriptor refuses.
[[nodiscard]] inline bool WriteAll(int fd, const void* data, std::size_t size) noexcept
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads until size bytes are in or the end of the file is reached. Returns
// the number of bytes read, -1 with errno set on an error. A descriptor
// opened non-blocking that has nothing to give counts as an error (EAGAIN).
[[nodiscard]] inline ssize_t ReadUpTo(int fd, void* data, std::size_t size) noexcept
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Reads exactly size bytes. false with errno set on an error, or with errno
// 0 when the file ends first.
[[nodiscard]] inline bool ReadExactly(int fd, void* data, std::size_t size) noexcept
{
    const ssize_t got = ReadUpTo(fd, data, size);
    if (got >= 0 && static_cast<std::size_t>(got) != size)
        errno = 0;
    return got >= 0 && static_cast<std::size_t>(got) == size;
}

}  // namespace orvane::detail
