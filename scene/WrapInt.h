#pragma once

#include <cstdint>

namespace vistrel {

// Signed 32-bit arithmetic that wraps at 2^32 instead of overflowing, so that any argument a
// generator is given leads to defined results.
constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapAbs(std::int32_t a) {
    return a < 0 ? WrapSub(0, a) : a;
}

}  // namespace vistrel
