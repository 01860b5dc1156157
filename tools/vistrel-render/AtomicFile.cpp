#include "tools/vistrel-render/AtomicFile.h"
#include "tools/common/CommandLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "tools/vistrel-render/RenderCommand.h"
#include "tools/vistrel-render/TerminationCleanup.h"
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

// A replaced file's permissions carry over, but never set-user-id or set-group-id: the new
// picture is not the program or the group rights someone once gave the old file.
constexpr mode_t KeptPermissions = 01777;

// The most links one name may lead through, as the system counts them.
constexpr int MaxLinks = 40;

struct Place {
    UniqueFd folder;
    std::string name;
};

// Opens the folder of path (relative to the folder at) and keeps the last part's name. Working
// from the folder keeps every name short, whatever the length of the path.
int Locate(int at, std::string_view path, Place& place) {
    const std::size_t slash = path.rfind('/');
    const std::string folderPath(slash == std::string_view::npos ? "."
                                 : slash == 0                    ? "/"
                                                                 : path.substr(0, slash));
    place.name = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (place.name.empty()) {
        return EISDIR;
    }
    place.folder = UniqueFd(openat(at, folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return place.folder.Valid() ? 0 : errno;
}

int ReadLink(const Place& place, std::string& target) {
    std::vector<char> buffer(256);
    while (true) {
        const ssize_t length =
            readlinkat(place.folder.Get(), place.name.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(length));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Follows the links path's last part leads through, as opening it would, to the file that is
// replaced; `info` describes it when `exists`.
int Resolve(const std::string& path, Place& place, struct stat& info, bool& exists) {
    exists = false;
    if (const int error = Locate(AT_FDCWD, path, place); error != 0) {
        return error;
    }
    for (int links = 0;; ++links) {
        if (fstatat(place.folder.Get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(info.st_mode)) {
            exists = true;
            return 0;
        }
        if (links == MaxLinks) {
            return ELOOP;
        }
        std::string target;
        if (const int error = ReadLink(place, target); error != 0) {
            return error;
        }
        Place next;
        const int at = target.starts_with('/') ? AT_FDCWD : place.folder.Get();
        if (const int error = Locate(at, target, next); error != 0) {
            return error;
        }
        place = std::move(next);
    }
}

std::optional<int> DescriptorNumber(std::string_view text) {
    int number = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return number;
}

// The open descriptor path stands for: a name of one (/dev/stdout, /dev/fd/N, /proc/self/fd/N),
// or the file standard output or standard error is already writing; -1 when there is none.
int DescriptorNamed(const std::string& path) {
    std::optional<int> named;
    constexpr std::pair<std::string_view, int> Streams[] = {{"/dev/stdin", STDIN_FILENO},
                                                            {"/dev/stdout", STDOUT_FILENO},
                                                            {"/dev/stderr", STDERR_FILENO}};
    for (const auto& [stream, fd] : Streams) {
        if (path == stream) {
            named = fd;
        }
    }
    const std::string ownFolder = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string_view folder :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
          std::string_view(ownFolder)}) {
        if (path.starts_with(folder)) {
            named = DescriptorNumber(std::string_view(path).substr(folder.size()));
        }
    }
    if (named && fcntl(*named, F_GETFD) != -1) {
        return *named;
    }
    struct stat target {};
    if (stat(path.c_str(), &target) != 0) {
        return -1;
    }
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat stream {};
        if (fstat(fd, &stream) == 0 && stream.st_dev == target.st_dev &&
            stream.st_ino == target.st_ino) {
            return fd;
        }
    }
    return -1;
}

// A name for a new file of this process that no other file is likely to have; creating it
// exclusively settles the rest.
std::string TemporaryName() {
    static std::atomic<unsigned> count{0};
    return ".vistrel-render-" + std::to_string(getpid()) + "-" + std::to_string(count++);
}

constexpr int NameAttempts = 100;

// Gives the unnamed file open as fd the name `name` in folder.
int LinkUnnamed(int fd, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    if (errno != ENOENT) {
        return errno;
    }
    // Without /proc the descriptor is named directly, which takes a privilege.
    return linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
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

AtomicFile::AtomicFile(std::string path) : path(std::move(path)) {
    if (const int fd = DescriptorNamed(this->path); fd >= 0) {
        file = UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, 0));
        if (!file.Valid()) {
            Fail(errno);
        }
        return;
    }
    Place place;
    struct stat info {};
    bool exists = false;
    if (const int error = Resolve(this->path, place, info, exists); error != 0) {
        Fail(error);
    }
    if (exists && S_ISDIR(info.st_mode)) {
        Fail(EISDIR);
    }
    if (exists && !S_ISREG(info.st_mode)) {
        file = UniqueFd(openat(place.folder.Get(), place.name.c_str(), O_WRONLY | O_CLOEXEC));
        if (!file.Valid()) {
            Fail(errno);
        }
        return;
    }
    // A file the user may not write is not replaced either, just as the shell would refuse it.
    if (exists && faccessat(place.folder.Get(), place.name.c_str(), W_OK, AT_EACCESS) != 0) {
        Fail(errno);
    }
    folder = std::move(place.folder);
    name = std::move(place.name);
    OpenNewFile(exists ? info.st_mode & KeptPermissions : NewFileMode);
}

void AtomicFile::OpenNewFile(unsigned mode) {
    file = UniqueFd(openat(folder.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    unnamed = file.Valid();
    // Only a file system without unnamed files (or a kernel without them) gets a named one.
    if (!file.Valid() && errno != EOPNOTSUPP && errno != EISDIR) {
        Fail(errno);
    }
    if (!unnamed) {
        const auto hold = NamedTemporaries::Hold();
        for (int attempt = 0; attempt < NameAttempts && !file.Valid(); ++attempt) {
            const std::string candidate = TemporaryName();
            file = UniqueFd(openat(folder.Get(), candidate.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (file.Valid()) {
                temporary = candidate;
                NamedTemporaries::Add(folder.Get(), temporary);
            } else if (errno != EEXIST) {
                Fail(errno);
            }
        }
        if (!file.Valid()) {
            Fail(EEXIST);
        }
    }
    // The mode as asked, whatever the mask.
    if (fchmod(file.Get(), mode) != 0) {
        Fail(errno);
    }
}

AtomicFile::~AtomicFile() {
    file = UniqueFd();
    if (!temporary.empty()) {
        const auto hold = NamedTemporaries::Hold();
        unlinkat(folder.Get(), temporary.c_str(), 0);
        NamedTemporaries::Remove(folder.Get(), temporary);
    }
}

void AtomicFile::Write(std::string_view bytes) {
    if (const int error = WriteFully(file.Get(), bytes); error != 0) {
        Fail(error);
    }
}

void AtomicFile::NameNewFile() {
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const std::string candidate = TemporaryName();
        const int error = LinkUnnamed(file.Get(), folder.Get(), candidate);
        if (error == 0) {
            temporary = candidate;
            NamedTemporaries::Add(folder.Get(), temporary);
            return;
        }
        if (error != EEXIST) {
            Fail(error);
        }
    }
    Fail(EEXIST);
}

void AtomicFile::Commit() {
    const auto hold = NamedTemporaries::Hold();
    if (unnamed) {
        NameNewFile();
    }
    if (close(file.Release()) != 0) {
        Fail(errno);
    }
    if (folder.Valid()) {
        if (renameat(folder.Get(), temporary.c_str(), folder.Get(), name.c_str()) != 0) {
            Fail(errno);
        }
        NamedTemporaries::Remove(folder.Get(), temporary);
        temporary.clear();
    }
}

void AtomicFile::Fail(int errnum) const {
    throw SystemError("cannot write " + Sanitised(path), errnum);
}

}  // namespace vistrel
