#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vistrel {

// 64-bit FNV-1a over the bytes: the one digest of pictures, fixtures and recorded scripts.
std::uint64_t Fnv1aDigest(std::span<const std::byte> bytes);

// As 16 lowercase hex digits.
std::string DigestHex(std::uint64_t digest);

}  // namespace vistrel
