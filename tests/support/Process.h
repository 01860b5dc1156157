#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Files.h"
#include "tools/common/UniqueFd.h"

namespace vistrel::test {

// How a program is started.
struct ProcessSetup {
    // The program, looked up in PATH unless it has a slash, and its arguments.
    std::vector<std::string> argv;
    // Changes to the test's environment, made in order: an empty value unsets the variable.
    std::vector<std::pair<std::string, std::string>> environment = {};
    // Descriptors of the test's that become the program's standard input, output and error.
    // -1 leaves standard input on /dev/null and sends the others to pipes the test reads.
    int input = -1;
    int output = -1;
    int error = -1;
    // Descriptors the program keeps besides those three; every other one is closed.
    std::vector<int> inherited = {};
    // Runs in the child just before the program starts, as for limits or privileges; it must not
    // allocate, and may end the child with _exit.
    std::function<void()> beforeExec = {};
};

// What a program left behind.
struct ProcessResult {
    int status = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

// A program running as a child of the test. Its standard output and error are collected while
// the test waits for it; one still running when this goes is killed.
class Process {
  public:
    // Throws std::system_error when it cannot be started; a program that cannot be run exits 127.
    explicit Process(const ProcessSetup& setup);
    ~Process();
    Process(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process& operator=(Process&&) = delete;

    pid_t Id() const { return pid; }

    // The status once the program has ended, none if it has not within the limit.
    std::optional<int> Wait(std::chrono::milliseconds limit);
    // Waits as long as it takes.
    int Wait();

    // What the program has written to its pipes so far.
    const std::string& Out() const { return out; }
    const std::string& Err() const { return err; }

  private:
    using Clock = std::chrono::steady_clock;
    std::optional<int> WaitUntil(std::optional<Clock::time_point> deadline);
    // Reads what the pipes hold, waiting at most `wait` for the first bytes.
    void Collect(std::chrono::milliseconds wait);

    pid_t pid = -1;
    UniqueFd outPipe;
    UniqueFd errPipe;
    std::string out;
    std::string err;
    std::optional<int> status;
};

// Runs the program to its end.
ProcessResult Run(const ProcessSetup& setup);

}  // namespace vistrel::test
