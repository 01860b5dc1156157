// Preloaded into the render tool by its process tests to stand for a file system without
// unnamed files: opening one fails as it does there, every other open goes through.
#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

namespace {

int OpenAt(const char* real, int folder, const char* path, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    using Next = int (*)(int, const char*, int, ...);
    const auto next = reinterpret_cast<Next>(dlsym(RTLD_NEXT, real));
    return next(folder, path, flags, mode);
}

mode_t ModeArgument(int flags, va_list args) {
    const bool hasMode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    return hasMode ? static_cast<mode_t>(va_arg(args, unsigned)) : 0;
}

}  // namespace

extern "C" int openat(int folder, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenAt("openat", folder, path, flags, mode);
}

extern "C" int openat64(int folder, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenAt("openat64", folder, path, flags, mode);
}
