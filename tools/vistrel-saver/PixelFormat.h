#pragma once

#include <cstdint>
#include <optional>

#include "raster/Palette.h"

namespace vistrel {

// How a TrueColor window stores a colour: 32 bits a pixel, each channel at its mask, in the
// server's byte order. Bits of the depth outside the three masks (the alpha of a 32-bit visual)
// are all set, so the picture is opaque.
class PixelFormat {
  public:
    static constexpr int BytesPerPixel = 4;

    // The format for a visual's masks at a depth with its bits per pixel; none unless the depth
    // is 24 or 32, the pixel 32 bits and each mask one run of 1 to 16 bits apart from the others.
    static std::optional<PixelFormat> ForTrueColor(std::uint32_t redMask, std::uint32_t greenMask,
                                                   std::uint32_t blueMask, int depth,
                                                   int bitsPerPixel, bool mostSignificantFirst);

    std::uint32_t Pixel(ColorRef colour) const;
    // The pixel's 4 bytes as the server reads them.
    void Store(std::uint32_t pixel, std::uint8_t* bytes) const;

  private:
    PixelFormat() = default;

    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t opaqueBits = 0;
    bool mostSignificantFirst = false;
};

}  // namespace vistrel
