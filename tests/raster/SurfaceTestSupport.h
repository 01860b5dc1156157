#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "raster/Surface.h"

namespace vistrel {

// Lets test output and test names show a rectangle by its corners.
inline void PrintTo(const Rect& r, std::ostream* out) {
    *out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

}  // namespace vistrel

namespace vistrel::test {

using Point = std::pair<std::int64_t, std::int64_t>;  // x, y
using PointSet = std::set<Point>;

inline std::unique_ptr<Surface> BlankSurface(std::int32_t width, std::int32_t height) {
    auto surface = Surface::Create(width, height);
    EXPECT_NE(surface, nullptr);
    return surface;
}

// The pixels whose colour is `colour`; with no colour, every pixel that is not black.
inline PointSet PixelsOf(const Surface& surface, int colour = -1) {
    PointSet points;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        for (std::int32_t x = 0; x < surface.Width(); ++x) {
            const ColourIndex c = surface.PixelAt(x, y);
            if (colour < 0 ? c != 0 : c == colour) {
                points.insert({x, y});
            }
        }
    }
    return points;
}

// The smallest rectangle that holds the points.
inline Rect BoundsOf(const PointSet& points) {
    Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const auto& [x, y] : points) {
        r = {std::min<std::int32_t>(r.left, x), std::min<std::int32_t>(r.top, y),
             std::max<std::int32_t>(r.right, x + 1), std::max<std::int32_t>(r.bottom, y + 1)};
    }
    return r;
}

// Every primitive a surface draws, in order, with the colours in force.
class CallLog : public SurfaceRecorder {
  public:
    struct LineCall {
        std::int32_t x1, y1, x2, y2;
        ColourIndex pen;
        friend bool operator==(const LineCall&, const LineCall&) = default;
    };
    struct ArcCall {
        Rect box;
        std::int32_t xs, ys, xe, ye;
        ColourIndex pen;
        friend bool operator==(const ArcCall&, const ArcCall&) = default;
    };
    struct FillCall {
        std::int32_t x, y;
        ColourIndex border, brush;
    };
    struct PixelCall {
        std::int32_t x, y;
        ColourIndex colour;
        friend bool operator==(const PixelCall&, const PixelCall&) = default;
    };

    void Clipped(const Rect&) override {}
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              ColourIndex pen) override {
        lines.push_back({x1, y1, x2, y2, pen});
    }
    void Ellipse(const Rect& box, ColourIndex, ColourIndex) override { ellipses.push_back(box); }
    void Arc(const Rect& box, std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye,
             ColourIndex pen) override {
        arcs.push_back({box, xs, ys, xe, ye, pen});
    }
    void Fill(std::int32_t x, std::int32_t y, ColourIndex border, ColourIndex brush) override {
        fills.push_back({x, y, border, brush});
    }
    void Pixel(std::int32_t x, std::int32_t y, ColourIndex colour) override {
        pixels.push_back({x, y, colour});
    }

    std::vector<LineCall> lines;
    std::vector<Rect> ellipses;
    std::vector<ArcCall> arcs;
    std::vector<FillCall> fills;
    std::vector<PixelCall> pixels;
};

}  // namespace vistrel::test
