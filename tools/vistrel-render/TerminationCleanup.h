#pragma once

#include <mutex>
#include <string>

namespace vistrel {

// The temporary files of this process that have a name, which SIGINT, SIGTERM and SIGHUP remove
// before the process ends with that signal. A file that only gets its name once complete needs
// this just for the moment between naming it and renaming it over its target.
class NamedTemporaries {
  public:
    // While the returned lock is held no signal ends the process, so a name given and taken
    // away again under it is never left behind. Add and Remove need it held.
    static std::unique_lock<std::mutex> Hold();
    // name in the folder open as folderFd, which stays open until the name is removed.
    static void Add(int folderFd, const std::string& name);
    static void Remove(int folderFd, const std::string& name);
};

// From now on SIGINT, SIGTERM and SIGHUP (those not ignored when the program started) are taken
// by a thread of their own, which removes the named temporaries and then ends the process with
// the signal, as it would have ended without us. Call before starting any other thread, so that
// every thread leaves those signals to it.
void RemoveTemporariesOnTermination();

}  // namespace vistrel
