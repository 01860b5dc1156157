#pragma once

#include <unistd.h>

#include <utility>

namespace vistrel {

// Owns a file descriptor and closes it when it goes; -1 is none.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }

    int Get() const { return fd; }
    bool Valid() const { return fd >= 0; }
    // Gives up ownership without closing.
    int Release() { return std::exchange(fd, -1); }

  private:
    void Reset() {
        if (fd >= 0) {
            close(fd);
        }
        fd = -1;
    }

    int fd = -1;
};

}  // namespace vistrel
