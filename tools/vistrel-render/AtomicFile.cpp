#include "tools/vistrel-render/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "tools/vistrel-render/RenderCommand.h"
#include "tools/vistrel-render/ToolError.h"

namespace vistrel {

namespace {

// New files get the permissions an ordinary create would give them. The mask is read once,
// before main, because reading it means setting it, which other threads must not see.
const mode_t NewFileMode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}();

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int WriteFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

AtomicFile::AtomicFile(std::string path) : path(std::move(path)), target(this->path) {
    struct stat info {};
    bool exists = lstat(target.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) {
        // A link is replaced through what it points to, so that the link itself survives.
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved) != nullptr) {
            target = resolved;
        }
        exists = stat(target.c_str(), &info) == 0;
    }
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            Fail(errno);
        }
        return;
    }
    const std::string folder = FolderOf(target);
    std::vector<char> name(folder.begin(), folder.end());
    const std::string_view suffix = "/.vistrel-render-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
    }
    temporary = name.data();
    if (fchmod(fd, exists ? info.st_mode & 07777 : NewFileMode) != 0) {
        Fail(errno);
    }
}

AtomicFile::~AtomicFile() {
    if (fd >= 0) {
        close(fd);
    }
    if (!committed && !temporary.empty()) {
        unlink(temporary.c_str());
    }
}

void AtomicFile::Write(std::string_view bytes) {
    if (const int error = WriteFully(fd, bytes); error != 0) {
        Fail(error);
    }
}

void AtomicFile::Close() {
    const int result = close(fd);
    fd = -1;
    if (result != 0) {
        Fail(errno);
    }
}

void AtomicFile::Commit() {
    Close();
    if (!temporary.empty() && rename(temporary.c_str(), target.c_str()) != 0) {
        Fail(errno);
    }
    committed = true;
}

void AtomicFile::Fail(int errnum) {
    throw SystemError("cannot write " + Sanitised(path), errnum);
}

}  // namespace vistrel
