#include "raster/Digest.h"

#include <cstdio>

namespace vistrel {

std::uint64_t Fnv1aDigest(std::span<const std::byte> bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const std::byte b : bytes) {
        h ^= std::to_integer<std::uint64_t>(b);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string DigestHex(std::uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

}  // namespace vistrel
