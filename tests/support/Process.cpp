#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <system_error>
#include <tuple>

extern char** environ;

namespace vistrel::test {

namespace {

[[noreturn]] void ThrowSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// The test's environment with the changes made, as "NAME=value" entries.
std::vector<std::string> ChangedEnvironment(
    const std::vector<std::pair<std::string, std::string>>& changes) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::size_t equals = std::min(text.find('='), text.size());
        variables[std::string(text.substr(0, equals))] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty()) {
            variables.erase(name);
        } else {
            variables[name] = value;
        }
    }
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

// The strings as the null-terminated array exec takes; they must outlive it.
std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// The child's side, between fork and exec: only calls that are safe after a fork.
[[noreturn]] void StartProgram(const ProcessSetup& setup, char** argv, char** envp,
                               const int (&streams)[3]) {
    for (int fd = 0; fd < 3; ++fd) {
        dup2(streams[fd], fd);
    }
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    for (const int fd : setup.inherited) {
        fcntl(fd, F_SETFD, 0);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    if (setup.beforeExec) {
        setup.beforeExec();
    }
    execvpe(argv[0], argv, envp);
    _exit(127);
}

// A pipe whose reading end the test keeps, read without blocking, and whose writing end the
// child gets.
std::pair<UniqueFd, UniqueFd> OpenPipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        ThrowSystemError("pipe");
    }
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    return {UniqueFd(ends[0]), UniqueFd(ends[1])};
}

}  // namespace

Process::Process(const ProcessSetup& setup) {
    std::vector<std::string> arguments = setup.argv;
    std::vector<std::string> environment = ChangedEnvironment(setup.environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);

    int streams[3] = {setup.input, setup.output, setup.error};
    UniqueFd devNull, outRead, outWrite, errRead, errWrite;
    if (streams[0] < 0) {
        devNull = UniqueFd(open("/dev/null", O_RDONLY | O_CLOEXEC));
        if (!devNull.Valid()) {
            ThrowSystemError("/dev/null");
        }
        streams[0] = devNull.Get();
    }
    if (streams[1] < 0) {
        std::tie(outRead, outWrite) = OpenPipe();
        streams[1] = outWrite.Get();
    }
    if (streams[2] < 0) {
        std::tie(errRead, errWrite) = OpenPipe();
        streams[2] = errWrite.Get();
    }
    pid = fork();
    if (pid == 0) {
        StartProgram(setup, argv.data(), envp.data(), streams);
    }
    if (pid < 0) {
        ThrowSystemError("fork");
    }
    outPipe = std::move(outRead);
    errPipe = std::move(errRead);
}

Process::Process(Process&& other) noexcept
    : pid(std::exchange(other.pid, -1)),
      outPipe(std::move(other.outPipe)),
      errPipe(std::move(other.errPipe)),
      out(std::move(other.out)),
      err(std::move(other.err)),
      status(std::exchange(other.status, std::nullopt)) {}

Process::~Process() {
    if (pid > 0 && !status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

std::optional<int> Process::Wait(std::chrono::milliseconds limit) {
    return WaitUntil(Clock::now() + limit);
}

int Process::Wait() {
    return *WaitUntil(std::nullopt);
}

std::optional<int> Process::WaitUntil(std::optional<Clock::time_point> deadline) {
    using namespace std::chrono_literals;
    while (!status) {
        int waitStatus = 0;
        if (waitpid(pid, &waitStatus, WNOHANG) == pid) {
            status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
            // All it wrote is in the pipes now; a child of its own may hold them open still.
            Collect(0ms);
            break;
        }
        const auto left =
            deadline ? std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now())
                     : 10ms;
        if (left <= 0ms) {
            break;
        }
        Collect(std::min<std::chrono::milliseconds>(left, 10ms));
    }
    return status;
}

void Process::Collect(std::chrono::milliseconds wait) {
    UniqueFd* pipes[] = {&outPipe, &errPipe};
    std::string* texts[] = {&out, &err};
    pollfd ready[] = {{outPipe.Get(), POLLIN, 0}, {errPipe.Get(), POLLIN, 0}};
    // Closed pipes are not polled, so with both gone this only waits.
    if (poll(ready, 2, static_cast<int>(wait.count())) <= 0) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (ready[i].revents == 0) {
            continue;
        }
        char buffer[65536];
        ssize_t length = 0;
        while ((length = read(ready[i].fd, buffer, sizeof buffer)) > 0) {
            texts[i]->append(buffer, static_cast<std::size_t>(length));
        }
        if (length == 0 || (errno != EAGAIN && errno != EINTR)) {
            *pipes[i] = UniqueFd();
        }
    }
}

ProcessResult Run(const ProcessSetup& setup) {
    Process process(setup);
    const int status = process.Wait();
    return {status, process.Out(), process.Err()};
}

}  // namespace vistrel::test
