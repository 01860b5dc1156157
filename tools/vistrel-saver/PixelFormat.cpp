#include "tools/vistrel-saver/PixelFormat.h"

#include <bit>

namespace vistrel {
namespace {

bool IsOneRun(std::uint32_t mask) {
    if (mask == 0) {
        return false;
    }
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0 && std::popcount(mask) <= 16;
}

// An 8-bit channel value spread over the mask's bits, rounded to the nearest level.
std::uint32_t Channel(std::uint8_t value, std::uint32_t mask) {
    const std::uint32_t levels = (mask >> std::countr_zero(mask));
    return ((value * levels + 127) / 255) << std::countr_zero(mask);
}

}  // namespace

std::optional<PixelFormat> PixelFormat::ForTrueColor(std::uint32_t redMask, std::uint32_t greenMask,
                                                     std::uint32_t blueMask, int depth,
                                                     int bitsPerPixel, bool mostSignificantFirst) {
    if ((depth != 24 && depth != 32) || bitsPerPixel != 32) {
        return std::nullopt;
    }
    const std::uint32_t depthBits = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
    const bool masksApart =
        (redMask & greenMask) == 0 && (redMask & blueMask) == 0 && (greenMask & blueMask) == 0;
    const bool masksInDepth = ((redMask | greenMask | blueMask) & ~depthBits) == 0;
    if (!IsOneRun(redMask) || !IsOneRun(greenMask) || !IsOneRun(blueMask) || !masksApart ||
        !masksInDepth) {
        return std::nullopt;
    }
    PixelFormat format;
    format.redMask = redMask;
    format.greenMask = greenMask;
    format.blueMask = blueMask;
    format.opaqueBits = depthBits & ~(redMask | greenMask | blueMask);
    format.mostSignificantFirst = mostSignificantFirst;
    return format;
}

std::uint32_t PixelFormat::Pixel(ColorRef colour) const {
    return Channel(RedOf(colour), redMask) | Channel(GreenOf(colour), greenMask) |
           Channel(BlueOf(colour), blueMask) | opaqueBits;
}

void PixelFormat::Store(std::uint32_t pixel, std::uint8_t* bytes) const {
    for (int i = 0; i < BytesPerPixel; ++i) {
        const int shift = 8 * (mostSignificantFirst ? BytesPerPixel - 1 - i : i);
        bytes[i] = static_cast<std::uint8_t>(pixel >> shift);
    }
}

}  // namespace vistrel
