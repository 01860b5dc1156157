#include "tools/vistrel-render/TerminationCleanup.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace vistrel {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::pair<int, std::string>> names;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

sigset_t watched;

[[noreturn]] void EndWith(int signal) {
    // The lock is never given back: no thread can name another file from here on.
    Registry& registry = TheRegistry();
    registry.lock.lock();
    for (const auto& [folder, name] : registry.names) {
        unlinkat(folder, name.c_str(), 0);
    }
    ::signal(signal, SIG_DFL);
    sigset_t just;
    sigemptyset(&just);
    sigaddset(&just, signal);
    pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
    raise(signal);
    _exit(128 + signal);
}

void* WaitForSignals(void*) {
    int signal = 0;
    while (sigwait(&watched, &signal) != 0) {
    }
    EndWith(signal);
}

}  // namespace

std::unique_lock<std::mutex> NamedTemporaries::Hold() {
    return std::unique_lock(TheRegistry().lock);
}

void NamedTemporaries::Add(int folderFd, const std::string& name) {
    TheRegistry().names.emplace_back(folderFd, name);
}

void NamedTemporaries::Remove(int folderFd, const std::string& name) {
    auto& names = TheRegistry().names;
    names.erase(std::remove(names.begin(), names.end(), std::make_pair(folderFd, name)),
                names.end());
}

void RemoveTemporariesOnTermination() {
    sigemptyset(&watched);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        // A signal ignored from the start (nohup, a background job's SIGINT) stays ignored.
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) {
            sigaddset(&watched, signal);
        }
    }
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    // It only waits and removes files: a small stack leaves the address space to the pictures.
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread{};
    const int failed = pthread_create(&thread, &attributes, WaitForSignals, nullptr);
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        // Without the thread the signals end the process at once, as they would have anyway.
        pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
    }
}

}  // namespace vistrel
