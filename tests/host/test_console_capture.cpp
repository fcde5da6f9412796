// The captured standard error. The capture is made once per process, so each
// case runs in a child process of its own; the child's standard output
// carries its findings back.
#include "ConsoleCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono;

void WriteToStandardError(const std::string& text) { (void)!::write(STDERR_FILENO, text.data(), text.size()); }

std::string Repeated(const std::string& text, int times) { return times > 0 ? text + Repeated(text, times - 1) : ""; }

// The capture's tail once it holds text (at most 5 s later).
std::string TailHolding(const std::string& text)
{
    const auto deadline = steady_clock::now() + 5s;
    while (orvane::CapturedConsoleTail(4096).find(text) == std::string::npos && steady_clock::now() < deadline)
        ::usleep(10'000);
    return orvane::CapturedConsoleTail(4096);
}

// The child's standard output, what reached its original standard error, and
// whether it ended by itself within 4 s.
struct ChildRun { std::string output, errorOutput; bool exited = false; };

std::string ReadAll(int descriptor)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(descriptor, buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(got));
    return text;
}

// Runs body in a child process (its findings are small: standard output is
// read once it has ended). Its standard error is a file, or with stalledError
// a pipe that nobody reads.
ChildRun RunInChild(const std::function<void()>& body, bool stalledError = false)
{
    int output[2], stalled[2];
    FILE* errorFile = std::tmpfile();
    if (!errorFile || ::pipe2(output, O_CLOEXEC | O_NONBLOCK) != 0 || ::pipe2(stalled, O_CLOEXEC) != 0)
        return {};
    ::fcntl(stalled[0], F_SETFL, O_NONBLOCK);  // the reading end only: the child's writes must stall
    std::fflush(nullptr);  // the child must not write the test's buffered output again
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(stalledError ? stalled[1] : ::fileno(errorFile), STDERR_FILENO);
        body();
        std::fflush(stdout);
        std::exit(0);  // a normal end: static objects are destroyed, nothing is waited for
    }
    ChildRun run;
    int status = 0, ended = 0;
    for (const auto deadline = steady_clock::now() + 4s;
         (ended = ::waitpid(child, &status, WNOHANG)) == 0 && steady_clock::now() < deadline;)
        ::usleep(10'000);
    run.exited = ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ended != child)
        ::kill(child, SIGKILL), ::waitpid(child, &status, 0);
    run.output = ReadAll(output[0]);
    std::rewind(errorFile);
    run.errorOutput = ReadAll(stalledError ? stalled[0] : ::fileno(errorFile));
    std::fclose(errorFile);
    for (int descriptor : {output[0], output[1], stalled[0], stalled[1]})
        ::close(descriptor);
    return run;
}

TEST(ConsoleCapture, KeepsTheNewestLinesOfTheProcessAndItsHelpers)
{
    const ChildRun run = RunInChild([] {
        orvane::StartConsoleCapture(false);
        for (int line = 0; line < 50; ++line)
            WriteToStandardError("line " + std::to_string(line) + "\r\n\n");
        std::system("echo 'from a helper' >&2");
        // 600 bytes: kept up to the last whole character within 500
        WriteToStandardError(Repeated("中", 200) + "\nunfinished");
        std::fputs((TailHolding("unfinished") + "|" + orvane::CapturedConsoleTail(10)).c_str(), stdout);
    });
    std::string expected;
    for (int line = 12; line < 50; ++line)
        expected += "line " + std::to_string(line) + "\n";
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.output, expected + "from a helper\n" + Repeated("中", 166) + "\nunfinished|unfinished");
    EXPECT_EQ(run.errorOutput, "");  // not forwarded unless asked
}

// Forwarding (asked for here) to a standard error nobody reads holds up the
// capture's thread; writers then lose messages but never wait. A helper still
// holding the pipe does not keep the program from ending.
TEST(ConsoleCapture, NeitherAStalledReaderNorAHelperHoldsUpTheProgram)
{
    const ChildRun run = RunInChild(
        [] {
            orvane::StartConsoleCapture(true);
            std::system("sleep 8 >/dev/null & echo $!");  // longer than the run may take
            for (int count = 0; count < 64; ++count)  // 4 MiB, far beyond both pipes
                WriteToStandardError(std::string(64 * 1024, 'x'));
            TailHolding("xxxx");  // the thread has taken (and forwarded) the first part
            std::fputs("written\n", stdout);
        },
        true);
    if (const pid_t helper = std::atoi(run.output.c_str()); helper > 0)
        ::kill(helper, SIGTERM);
    EXPECT_TRUE(run.exited);
    EXPECT_NE(run.output.find("\nwritten\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.errorOutput.substr(0, 4), "xxxx");
}

}  // namespace
