#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// A file written in full or not at all. The bytes go to a new temporary file in the target's
// folder, which Commit renames over the target; until then, and on any failure, the target stays
// as it was and the temporary file is removed when this object goes. A target that exists and is
// not a regular file (a device, a pipe) cannot be replaced, so it is written directly.
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
    [[noreturn]] void Fail(int errnum);
    void Close();

    std::string path;       // what the caller named
    std::string target;     // the file that is replaced: path, or where a link points
    std::string temporary;  // empty when writing to target directly
    int fd = -1;
    bool committed = false;
};

// Writes all of bytes to file descriptor fd, retrying after interruptions and short writes.
// Returns 0, or the errno of the write that failed.
int WriteFully(int fd, std::string_view bytes);

}  // namespace vistrel
