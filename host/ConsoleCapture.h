#pragma once
// The process's standard error captured. Qt, the web engine and the engine's
// helper processes (which inherit descriptor 2) write their notices there;
// they are no failures of the program, so they go into a pipe that a thread
// of its own drains. It keeps the last lines for the error log and passes
// everything on to the original standard error only when asked to.
//
// No writer is ever held up: the pipe's writing end does not block (a writer
// that finds it full loses that message). Nothing waits for the thread: it is
// never joined and its state is never destroyed, so the process ends when it
// ends, whichever helper processes still hold the pipe.

#include <cstddef>
#include <string>

namespace orvane {

// Lines kept, newest last, and the bytes kept of each.
inline constexpr std::size_t kCapturedConsoleLines = 40;
inline constexpr std::size_t kCapturedConsoleLineBytes = 500;

// Starts the capture; forward: everything is also written to the original
// standard error. Once per process: false when it runs already, or when the
// pipe or the thread could not be made (standard error stays as it was).
bool StartConsoleCapture(bool forward);

// The newest captured lines that fit in maxBytes, oldest first, joined by
// "\n" (the newest is cut to maxBytes when it alone is longer); a line still
// without its end counts as the newest. Empty without a capture.
std::string CapturedConsoleTail(std::size_t maxBytes);

}  // namespace orvane
