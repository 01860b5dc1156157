#pragma once

#include <cstdint>
#include <vector>

#include "raster/Palette.h"

namespace vistrel {

// A finished picture: colour indices row by row, with the size it was rendered at.
struct SceneBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<ColourIndex> pixels;

    ColourIndex At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

}  // namespace vistrel
