#include "raster/ClippedPixels.h"

#include <algorithm>

namespace vistrel {

void ClippedPixels::Span(std::int64_t y, std::int64_t x0, std::int64_t x1, ColourIndex c) {
    if (y < clip.top || y >= clip.bottom) {
        return;
    }
    x0 = std::max<std::int64_t>(x0, clip.left);
    x1 = std::min<std::int64_t>(x1, std::int64_t{clip.right} - 1);
    if (x0 > x1) {
        return;
    }
    const std::size_t start = Index(x0, y);
    std::fill(
        pixels.begin() + static_cast<std::ptrdiff_t>(start),
        pixels.begin() + static_cast<std::ptrdiff_t>(start + static_cast<std::size_t>(x1 - x0 + 1)),
        c);
}

void ClippedPixels::Column(std::int64_t x, std::int64_t y0, std::int64_t y1, ColourIndex c) {
    if (x < clip.left || x >= clip.right) {
        return;
    }
    y0 = std::max<std::int64_t>(y0, clip.top);
    y1 = std::min<std::int64_t>(y1, std::int64_t{clip.bottom} - 1);
    if (y0 > y1) {
        return;
    }
    // One step of a row per pixel: the comb strokes set some ten thousand pixels a picture.
    ColourIndex* const bits = pixels.data();
    const auto stride = static_cast<std::size_t>(width);
    const std::size_t last = Index(x, y1);
    for (std::size_t at = Index(x, y0); at <= last; at += stride) {
        bits[at] = c;
    }
}

}  // namespace vistrel
