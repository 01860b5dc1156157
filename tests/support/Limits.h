#pragma once

#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace vistrel::test {

// Bytes the C heap has handed out and not had back. Sanitizer builds keep their own heap and
// may report nothing here; LeakSanitizer watches them instead.
inline std::int64_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// Caps the size of any file this process writes, as a full disk would; writing past the cap
// fails instead of raising SIGXFSZ. Lifted again when it goes.
class FileSizeCap {
  public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit capped = old;
        capped.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

  private:
    rlimit old{};
    sighandler_t oldHandler;
};

}  // namespace vistrel::test
