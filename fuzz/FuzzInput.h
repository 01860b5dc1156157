#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace vistrel {

// Reads the arguments of drawing calls from the fuzzer's bytes. Most arguments come out small,
// near the few pixels of a test surface; one in four takes four bytes and may be any int32.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : provider(data, size) {}

    bool Exhausted() { return provider.remaining_bytes() == 0; }

    std::int32_t Any() {
        if (provider.ConsumeIntegral<std::uint8_t>() % 4 == 0) {
            return provider.ConsumeIntegral<std::int32_t>();
        }
        return provider.ConsumeIntegral<std::int8_t>();
    }

    std::int32_t Within(std::int32_t low, std::int32_t high) {
        return provider.ConsumeIntegralInRange(low, high);
    }

    // base moved by an offset from low to high, held within the int32 range.
    std::int32_t Offset(std::int32_t base, std::int32_t low, std::int32_t high) {
        const std::int64_t moved = std::int64_t{base} + Within(low, high);
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(moved, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()));
    }

    template <typename Enum>
    Enum Pick() {
        return provider.ConsumeEnum<Enum>();
    }

  private:
    FuzzedDataProvider provider;
};

// Ends the run with a message, so that libFuzzer reports the input as a finding.
[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds) {
        Finding(what);
    }
}

// Processor time for one call. Measured on this process's own clock, so that other work on the
// machine does not count; libFuzzer's -timeout guards the whole input on top of it.
class CallBudget {
  public:
    static constexpr std::clock_t Limit = CLOCKS_PER_SEC / 4;

    CallBudget() : start(std::clock()) {}
    void Check(const char* call, std::clock_t limit = Limit) const {
        if (std::clock() - start > limit) {
            std::fprintf(stderr, "finding: %s took more than %ld ms of processor time\n", call,
                         static_cast<long>(limit * 1000 / CLOCKS_PER_SEC));
            std::abort();
        }
    }

  private:
    std::clock_t start;
};

}  // namespace vistrel
