// The captured standard error. The capture is made once per process, so each
// case runs in a child process of its own; the child's standard output
// carries its findings back, its original standard error what was forwarded.
#include "ConsoleCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

void WriteToStandardError(const std::string& text) { (void)!::write(STDERR_FILENO, text.data(), text.size()); }

// The capture's tail once it holds text, or what it has after 5 s.
std::string TailHolding(const std::string& text, std::size_t maxBytes = 4096)
{
    const auto deadline = Clock::now() + 5s;
    std::string tail;
    while ((tail = orvane::CapturedConsoleTail(maxBytes)).find(text) == std::string::npos && Clock::now() < deadline)
        ::usleep(10'000);
    return tail;
}

struct ChildRun {
    std::string output;       // the child's standard output
    std::string errorOutput;  // what reached its original standard error
    bool exited = false;      // ended by itself within the time given
};

// Reads the descriptor into text until its end or the deadline.
bool ReadUntilEnd(int descriptor, std::string& text, Clock::time_point deadline)
{
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd wait{descriptor, POLLIN, 0};
        if (left <= 0 || ::poll(&wait, 1, int(left)) <= 0)
            return false;
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got <= 0)
            return true;
        text.append(buffer, std::size_t(got));
    }
}

// Runs body in a child process; standard error is read only after its
// standard output has ended, so that a forwarding capture can be held up.
ChildRun RunInChild(const std::function<void()>& body, std::chrono::seconds limit = 10s)
{
    int output[2], errorOutput[2];
    if (::pipe(output) != 0 || ::pipe(errorOutput) != 0)
        return {};
    std::fflush(nullptr);  // the child must not write the test's buffered output again
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(errorOutput[1], STDERR_FILENO);
        for (int descriptor : {output[0], output[1], errorOutput[0], errorOutput[1]})
            ::close(descriptor);
        body();
        std::fflush(stdout);
        std::exit(0);  // a normal exit: static objects are destroyed, nothing is waited for
    }
    ::close(output[1]);
    ::close(errorOutput[1]);
    ChildRun run;
    const auto deadline = Clock::now() + limit;
    ReadUntilEnd(output[0], run.output, deadline);
    ReadUntilEnd(errorOutput[0], run.errorOutput, deadline);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0 && Clock::now() < deadline)
        ::usleep(10'000);
    run.exited = ::waitpid(child, &status, WNOHANG) == 0 ? false : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.exited)
        ::kill(child, SIGKILL), ::waitpid(child, &status, 0);
    ::close(output[0]);
    ::close(errorOutput[0]);
    return run;
}

TEST(ConsoleCapture, KeepsTheNewestLinesOfTheProcessAndItsHelpers)
{
    const ChildRun run = RunInChild([] {
        orvane::StartConsoleCapture(false);
        for (int line = 0; line < 50; ++line)
            WriteToStandardError("line " + std::to_string(line) + "\r\n\n");
        std::system("echo 'from a helper' >&2");
        std::string wide;
        for (int count = 0; count < 200; ++count)
            wide += "中";  // 600 bytes: kept up to a whole character within 500
        WriteToStandardError(wide + "\nunfinished");
        std::fputs((TailHolding("unfinished") + "\n--\n").c_str(), stdout);
        std::fputs(orvane::CapturedConsoleTail(10).c_str(), stdout);
    });
    ASSERT_TRUE(run.exited);
    std::string expected;
    for (int line = 12; line < 50; ++line)
        expected += "line " + std::to_string(line) + "\n";
    std::string keptWide;
    for (int count = 0; count < 166; ++count)
        keptWide += "中";
    expected += "from a helper\n" + keptWide + "\nunfinished\n--\nunfinished";
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(run.errorOutput, "");
    // The newest line alone over the limit: its start, whole characters only.
    const ChildRun cut = RunInChild([] {
        orvane::StartConsoleCapture(false);
        WriteToStandardError("中中中中\n");
        TailHolding("中中中中");
        std::fputs(orvane::CapturedConsoleTail(10).c_str(), stdout);
    });
    EXPECT_EQ(cut.output, "中中中");
}

TEST(ConsoleCapture, ForwardsOnlyWhenAsked)
{
    for (const bool forward : {false, true}) {
        const ChildRun run = RunInChild([forward] {
            orvane::StartConsoleCapture(forward);
            WriteToStandardError("engine notice\n");
            std::fputs(TailHolding("engine notice").c_str(), stdout);
        });
        EXPECT_EQ(run.output, "engine notice");
        EXPECT_EQ(run.errorOutput, forward ? "engine notice\n" : "") << "forward " << forward;
    }
}

// Forwarding to a standard error nobody reads holds up the capture's thread;
// writers then lose messages but never wait. A helper still holding the pipe
// does not keep the program from ending.
TEST(ConsoleCapture, NeitherAStalledReaderNorAHelperHoldsUpTheProgram)
{
    const ChildRun run = RunInChild(
        [] {
            orvane::StartConsoleCapture(true);
            std::system("sleep 8 >/dev/null & echo $!");  // a helper holding the pipe, longer than the test waits
            const std::string block(64 * 1024, 'x');
            for (int count = 0; count < 64; ++count)  // 4 MiB, far beyond both pipes
                WriteToStandardError(block + "\n");
            std::fputs("written\n", stdout);
        },
        4s);
    if (const pid_t helper = std::atoi(run.output.c_str()); helper > 0)
        ::kill(helper, SIGTERM);
    EXPECT_TRUE(run.exited);
    EXPECT_NE(run.output.find("\nwritten\n"), std::string::npos) << run.output;
    EXPECT_FALSE(run.errorOutput.empty());
}

}  // namespace
