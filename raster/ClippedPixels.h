#pragma once

#include <cstdint>
#include <vector>

#include "raster/Palette.h"
#include "raster/Rect.h"

namespace vistrel {

// The pixels a primitive may change: a one-byte-a-pixel bitmap seen through its clip rectangle.
// Every write outside the clip is dropped here, so the rasterisers only need to keep their work
// proportional to what lies inside it.
class ClippedPixels {
  public:
    ClippedPixels(std::vector<ColourIndex>& pixels, std::int32_t width, const Rect& clip)
        : pixels(pixels), width(width), clip(clip) {}

    const Rect& Clip() const { return clip; }

    void Set(std::int64_t x, std::int64_t y, ColourIndex c) {
        if (clip.Contains(x, y)) {
            pixels[Index(x, y)] = c;
        }
    }

    // Sets x0..x1 (both included) on row y.
    void Span(std::int64_t y, std::int64_t x0, std::int64_t x1, ColourIndex c);
    // Sets y0..y1 (both included) in column x.
    void Column(std::int64_t x, std::int64_t y0, std::int64_t y1, ColourIndex c);

    ColourIndex At(std::int32_t x, std::int32_t y) const { return pixels[Index(x, y)]; }

    // Row y (inside the clip) from column 0.
    ColourIndex* Row(std::int32_t y) { return pixels.data() + Index(0, y); }
    // How far apart in memory the rows are.
    std::size_t Stride() const { return static_cast<std::size_t>(width); }
    // How many bytes of the bitmap there are from the start of row y on.
    std::size_t BytesFromRow(std::int32_t y) const { return pixels.size() - Index(0, y); }

  private:
    std::size_t Index(std::int64_t x, std::int64_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }

    std::vector<ColourIndex>& pixels;
    std::int32_t width;
    Rect clip;
};

}  // namespace vistrel
