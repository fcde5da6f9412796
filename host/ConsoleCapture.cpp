#include "ConsoleCapture.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace orvane {

namespace {

// Room for a burst (the engine's start report) while the thread is busy; the
// system's default stays when it refuses more.
constexpr int kPipeBytes = 256 * 1024;

struct Capture {
    int readEnd = -1;
    int original = -1;  // the original standard error, when forwarding
    std::mutex mutex;
    std::deque<std::string> lines;
    std::string partial;  // the newest line, still without its end
};

// Made once and never destroyed: the thread may outlive main.
std::atomic<Capture*> g_capture{nullptr};

// A line cut at the byte limit must not end inside a UTF-8 sequence.
void DropIncompleteCharacter(std::string& text)
{
    std::size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead == 0)
        return;
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    const std::size_t length = first < 0x80    ? 1
                               : first >= 0xF0 ? 4
                               : first >= 0xE0 ? 3
                               : first >= 0xC0 ? 2
                                               : 1;
    if (lead - 1 + length > text.size())
        text.erase(lead - 1);
}

void EndLine(Capture& capture)
{
    std::string& line = capture.partial;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return;
    DropIncompleteCharacter(line);
    capture.lines.push_back(std::move(line));
    line.clear();
    if (capture.lines.size() > kCapturedConsoleLines)
        capture.lines.pop_front();
}

void Keep(Capture& capture, const char* data, std::size_t size)
{
    const std::lock_guard lock(capture.mutex);
    for (const char* end = data + size; data != end; ++data) {
        if (*data == '\n')
            EndLine(capture);
        else if (capture.partial.size() < kCapturedConsoleLineBytes)
            capture.partial += *data;
    }
}

void Forward(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;  // the original standard error is gone; keeping goes on
        data += written;
        size -= std::size_t(written);
    }
}

void Drain(Capture& capture)
{
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(capture.readEnd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        if (capture.original >= 0)
            Forward(capture.original, buffer, std::size_t(got));
        Keep(capture, buffer, std::size_t(got));
    }
}

}  // namespace

bool StartConsoleCapture(bool forward)
{
    static std::atomic<bool> started{false};
    if (started.exchange(true))
        return false;

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    ::fcntl(ends[1], F_SETFL, ::fcntl(ends[1], F_GETFL) | O_NONBLOCK);
    ::fcntl(ends[0], F_SETPIPE_SZ, kPipeBytes);

    auto* capture = new Capture;
    capture->readEnd = ends[0];
    if (forward)
        capture->original = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    try {
        std::thread(Drain, std::ref(*capture)).detach();
    } catch (const std::system_error&) {
        ::close(ends[0]);
        ::close(ends[1]);
        if (capture->original >= 0)
            ::close(capture->original);
        delete capture;
        return false;
    }
    g_capture = capture;

    std::fflush(stderr);
    // Descriptor 2 becomes the writing end; helper processes inherit it.
    const bool redirected = ::dup2(ends[1], STDERR_FILENO) == STDERR_FILENO;
    // Without a redirection the thread meets the end of the pipe and stops.
    ::close(ends[1]);
    return redirected;
}

std::string CapturedConsoleTail(std::size_t maxBytes)
{
    Capture* capture = g_capture;
    if (!capture || maxBytes == 0)
        return {};
    std::deque<std::string> lines;
    {
        const std::lock_guard lock(capture->mutex);
        lines = capture->lines;
        if (!capture->partial.empty()) {
            lines.push_back(capture->partial);
            DropIncompleteCharacter(lines.back());
        }
    }
    std::string tail;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (tail.empty() && line->size() > maxBytes) {
            tail = line->substr(0, maxBytes);
            DropIncompleteCharacter(tail);
            break;
        }
        if (!tail.empty() && tail.size() + 1 + line->size() > maxBytes)
            break;
        tail.insert(0, tail.empty() ? *line : *line + '\n');
    }
    return tail;
}

}  // namespace orvane
