#pragma once

#include <string>
#include <string_view>

#include "tools/common/UniqueFd.h"

namespace vistrel {

// A file written in full or not at all. The bytes go to a new file in the target's folder that
// has no name until Commit gives it one and renames it over the target (where the file system
// has no such files, to a named temporary file); until then, and on any failure, the target
// stays as it was. Links are followed to the file they lead to, which is replaced, so the links
// survive. A target that is not a regular file (a device, a pipe), or that is already open as
// one of the process's descriptors (/dev/stdout, /dev/fd/N, the file standard output goes to),
// cannot be replaced, so it is written in place, through that descriptor where there is one.
// Failures throw a ToolError that names the target and the reason.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

  private:
    [[noreturn]] void Fail(int errnum) const;
    void OpenNewFile(unsigned mode);
    void NameNewFile();

    std::string path;       // what the caller named
    UniqueFd folder;        // the folder of the file that is replaced; none when writing in place
    std::string name;       // that file's name in folder
    UniqueFd file;          // what the bytes go to
    bool unnamed = false;   // file has no name yet
    std::string temporary;  // file's name in folder while it has one of its own
};

// Writes all of bytes to file descriptor fd, retrying after interruptions and short writes.
// Returns 0, or the errno of the write that failed.
int WriteFully(int fd, std::string_view bytes);

}  // namespace vistrel
