#include "raster/Surface.h"

#include <algorithm>
#include <new>

#include "raster/WideVectors.h"

namespace vistrel {

std::unique_ptr<Surface> Surface::Create(std::int32_t w, std::int32_t h) {
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide) {
        return nullptr;
    }
    try {
        std::vector<ColourIndex> bits(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        return std::unique_ptr<Surface>(new Surface(w, h, std::move(bits)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Surface::Surface(std::int32_t w, std::int32_t h, std::vector<ColourIndex> bits)
    : width(w), height(h), pixels(std::move(bits)), clip{0, 0, w, h} {}

ColourIndex Surface::PixelAt(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
}

const Pen* Surface::SelectPen(const Pen* p) {
    const Pen* displaced = pen;
    pen = p;
    return displaced;
}

const Brush* Surface::SelectBrush(const Brush* b) {
    const Brush* displaced = brush;
    brush = b;
    return displaced;
}

void Surface::IntersectClipRect(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom) {
    // A rectangle given with its corners swapped means the same rectangle.
    const Rect r{std::min(left, right), std::min(top, bottom), std::max(left, right),
                 std::max(top, bottom)};
    clip = clip.Intersect(r);
    if (recorder != nullptr) {
        recorder->Clipped(r);
    }
}

namespace {

// Sets each of the columns that lies in clipLeft..clipRight - 1 of a row. Measured from the left
// edge in unsigned numbers, a column left of it wraps past the width, so one comparison keeps
// both edges. The haze's columns all lie inside, which one pass over them shows; then each is
// stored without a test. Kept out of line so that the colour stays in a register: inlined into
// a caller that keeps it on the stack, every byte stored would make the compiler reload it.
[[gnu::noinline]] VISTREL_WIDE_VECTORS void SetColumnsInRow(ColourIndex* row, std::int32_t clipLeft,
                                                            std::int32_t clipRight,
                                                            const std::int32_t* columns,
                                                            std::size_t count, ColourIndex colour) {
    ColourIndex* const inClip = row + clipLeft;
    const auto left = static_cast<std::uint32_t>(clipLeft);
    const auto clipWidth = static_cast<std::uint32_t>(clipRight) - left;
    std::uint32_t farthest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        farthest = std::max(farthest, static_cast<std::uint32_t>(columns[i]) - left);
    }
    if (farthest < clipWidth) {
#pragma GCC unroll 8
        for (std::size_t i = 0; i < count; ++i) {
            inClip[static_cast<std::uint32_t>(columns[i]) - left] = colour;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t offset = static_cast<std::uint32_t>(columns[i]) - left;
        if (offset < clipWidth) {
            inClip[offset] = colour;
        }
    }
}

}  // namespace

void Surface::SetPixelsInRow(std::int32_t y, const std::int32_t* columns, std::size_t count,
                             ColourIndex colour) {
    if (recorder != nullptr || y < clip.top || y >= clip.bottom) {
        for (std::size_t i = 0; i < count; ++i) {
            SetPixel(columns[i], y, colour);
        }
        return;
    }
    SetColumnsInRow(Target().Row(y), clip.left, clip.right, columns, count, colour);
}

void Surface::ClearOpaque(ColourIndex colour) {
    std::fill(pixels.begin(), pixels.end(), colour);
    uniform = true;
}

void Surface::MoveTo(std::int32_t x, std::int32_t y) {
    currentX = x;
    currentY = y;
}

void Surface::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom) {
    const Rect box{left, top, right, bottom};
    if (recorder != nullptr) {
        recorder->Ellipse(box, pen->colour, brush->colour);
    }
    ClippedPixels target = Target();
    RasterEllipse(target, box, pen->colour, brush->colour);
}

void Surface::FloodFill(std::int32_t x, std::int32_t y, ColourIndex border) {
    if (recorder != nullptr) {
        recorder->Fill(x, y, border, brush->colour);
    }
    // On a surface of one colour, a fill that starts inside the clip and off the border reaches
    // every pixel of the clip: the sky of every picture is such a fill, and it need not search.
    const bool wholeClip = uniform && clip.Contains(x, y) && PixelAt(x, y) != border;
    ClippedPixels target = Target();
    if (wholeClip) {
        for (std::int32_t row = clip.top; row < clip.bottom; ++row) {
            target.Span(row, clip.left, std::int64_t{clip.right} - 1, brush->colour);
        }
        return;
    }
    RasterBorderFill(target, x, y, border, brush->colour);
}

}  // namespace vistrel
