#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "raster/EllipseOutline.h"
#include "raster/Primitives.h"
#include "raster/WideInt.h"

// The fill, line and arc of the surface against slow, obviously correct versions of the same
// rules, on many random cases. Each case is built from a generator seeded with its number, so a
// failing case can be rerun alone.

namespace vistrel {
namespace {

constexpr int Cases = 20000;

std::int32_t Between(std::mt19937& random, std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(random);
}

// A coordinate near the bitmap mostly, sometimes anywhere in 32 bits or at its very ends.
std::int32_t Coordinate(std::mt19937& random, std::int32_t size) {
    switch (Between(random, 0, 7)) {
        case 0:
            return Between(random, INT32_MIN, INT32_MAX);
        case 1:
            return Between(random, 0, 1) == 0 ? INT32_MIN : INT32_MAX;
        default:
            return Between(random, -size / 2, size + size / 2);
    }
}

struct Bitmap {
    std::int32_t width, height;
    std::vector<ColourIndex> pixels;
    Rect clip;

    Bitmap(std::mt19937& random, std::int32_t maxSide)
        : width(Between(random, 1, maxSide)),
          height(Between(random, 1, maxSide)),
          pixels(static_cast<std::size_t>(width * height), 0) {
        clip = Between(random, 0, 2) == 0
                   ? Rect{0, 0, width, height}
                   : Rect{Between(random, 0, width), Between(random, 0, height),
                          Between(random, 0, width), Between(random, 0, height)};
        if (clip.Empty()) {
            clip = {};
        }
    }
    ClippedPixels Out() { return ClippedPixels(pixels, width, clip); }
    ColourIndex& At(std::int64_t x, std::int64_t y) {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
};

// Every pixel 4-connected to the seed through pixels not of the border colour, judged by the
// colours before the fill, one pixel at a time.
void ReferenceFill(Bitmap& b, std::int32_t x, std::int32_t y, ColourIndex border,
                   ColourIndex brush) {
    if (!b.clip.Contains(x, y) || b.At(x, y) == border) {
        return;
    }
    std::vector<bool> inRegion(b.pixels.size(), false);
    std::deque<std::pair<std::int32_t, std::int32_t>> queue{{x, y}};
    inRegion[static_cast<std::size_t>(y * b.width + x)] = true;
    while (!queue.empty()) {
        const auto [px, py] = queue.front();
        queue.pop_front();
        for (const auto& [nx, ny] : {std::pair{px - 1, py}, std::pair{px + 1, py},
                                     std::pair{px, py - 1}, std::pair{px, py + 1}}) {
            const auto i = static_cast<std::size_t>(ny * b.width + nx);
            if (b.clip.Contains(nx, ny) && !inRegion[i] && b.At(nx, ny) != border) {
                inRegion[i] = true;
                queue.push_back({nx, ny});
            }
        }
    }
    for (std::size_t i = 0; i < b.pixels.size(); ++i) {
        if (inRegion[i]) {
            b.pixels[i] = brush;
        }
    }
}

TEST(ReferenceTest, BorderFillFillsWhatThePixelByPixelFillFills) {
    for (int n = 0; n < Cases; ++n) {
        std::mt19937 random(static_cast<std::uint32_t>(n));
        Bitmap fast(random, 70);
        // Walls of random density in a few colours, the border colour among them.
        const int density = Between(random, 0, 60);
        for (ColourIndex& p : fast.pixels) {
            p = Between(random, 0, 99) < density ? static_cast<ColourIndex>(Between(random, 0, 3))
                                                 : 0;
        }
        const auto border = static_cast<ColourIndex>(Between(random, 0, 4));
        const auto brush = static_cast<ColourIndex>(Between(random, 0, 4));
        const std::int32_t x = Between(random, -2, fast.width + 1);
        const std::int32_t y = Between(random, -2, fast.height + 1);
        Bitmap slow = fast;
        ClippedPixels out = fast.Out();
        RasterBorderFill(out, x, y, border, brush);
        ReferenceFill(slow, x, y, border, brush);
        ASSERT_EQ(fast.pixels, slow.pixels) << "case " << n;
    }
}

// The line's steps in closed form, each tested against the clip: step i of n lies at major0 + i
// along the longer axis and floor((2 i d + n - tieBias) / 2n) along the other. Only the steps
// whose major coordinate falls inside the clip are visited, so huge lines stay cheap.
void ReferenceLine(Bitmap& b, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   ColourIndex pen) {
    const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
    const std::int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    if (ax == 0 && ay == 0) {
        return;
    }
    const bool xMajor = ax >= ay;
    const std::int64_t n = xMajor ? ax : ay, d = xMajor ? ay : ax;
    const int majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
    const int tieBias = minorSign > 0 ? 1 : 0;
    const std::int64_t lo = xMajor ? b.clip.left : b.clip.top;
    const std::int64_t hi = xMajor ? b.clip.right : b.clip.bottom;
    for (std::int64_t major = lo; major < hi; ++major) {
        const std::int64_t i = (major - major0) * majorSign;
        if (i < 0 || i >= n) {
            continue;
        }
        const auto offset = static_cast<std::int64_t>((Int128{2} * i * d + n - tieBias) / (2 * n));
        const std::int64_t minor = minor0 + minorSign * offset;
        const std::int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (b.clip.Contains(x, y)) {
            b.At(x, y) = pen;
        }
    }
}

TEST(ReferenceTest, LinePaintsTheClosedFormStepsInsideTheClip) {
    for (int n = 0; n < Cases; ++n) {
        std::mt19937 random(static_cast<std::uint32_t>(n));
        Bitmap fast(random, 60);
        const std::int32_t size = std::max(fast.width, fast.height);
        const std::int32_t x1 = Coordinate(random, size), y1 = Coordinate(random, size);
        // A third of the lines run along a row or a column.
        const int kind = Between(random, 0, 5);
        const std::int32_t x2 = kind == 0 ? x1 : Coordinate(random, size);
        const std::int32_t y2 = kind == 1 ? y1 : Coordinate(random, size);
        Bitmap slow = fast;
        ClippedPixels out = fast.Out();
        RasterLine(out, x1, y1, x2, y2, 7);
        ReferenceLine(slow, x1, y1, x2, y2, 7);
        ASSERT_EQ(fast.pixels, slow.pixels)
            << "case " << n << ": " << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
}

// One quarter of the outline as an error-driven walk over the diameters a = w - 1 and
// b = h - 1, point by point from the right end of the middle row.
std::vector<OutlinePoint> ErrorWalk(std::int64_t w, std::int64_t h) {
    std::vector<OutlinePoint> points;
    if (w <= 0 || h <= 0) {
        return points;
    }
    // The error-driven walk over the diameters a = w - 1 and b = h - 1.
    const Int128 a = w - 1;
    const Int128 b = h - 1;
    const Int128 bOdd = b & 1;
    Int128 dx = 4 * b * b * (1 - a);
    Int128 dy = 4 * a * a * (1 + bOdd);
    Int128 err = dx + dy + a * a * bOdd;
    std::int64_t x = w - 1;
    std::int64_t y = h / 2;
    while (x >= w / 2) {
        points.push_back({x, y});
        const Int128 twice = 2 * err;
        const bool left = twice >= dx;
        const bool down = twice <= dy;
        if (left) {
            --x;
            dx += 8 * b * b;
            err += dx;
        }
        if (down) {
            ++y;
            dy += 8 * a * a;
            err += dy;
        }
    }
    return points;
}

// The quarter walk as the arcs take it (row by row in closed form) against the walk itself:
// every size up to 130 on each side, and larger ones at random.
TEST(ReferenceTest, QuarterRowsWalkWhereTheErrorWalkGoes) {
    for (std::int64_t w = 0; w <= 130; ++w) {
        for (std::int64_t h = 0; h <= 130; ++h) {
            ASSERT_EQ(QuarterWalk(w, h), ErrorWalk(w, h)) << w << " x " << h;
        }
    }
    std::mt19937 random(7);
    for (int n = 0; n < 300; ++n) {
        const std::int64_t w = Between(random, 1, n % 3 == 0 ? 3 : 65536);
        const std::int64_t h = Between(random, 1, n % 3 == 1 ? 3 : 65536);
        ASSERT_EQ(QuarterWalk(w, h), ErrorWalk(w, h)) << w << " x " << h;
    }
}

// The arc walked point by point around the whole outline loop, each ray's point found by a
// linear search, each pixel tested against the clip.
void ReferenceArc(Bitmap& b, const Rect& rect, std::int32_t xs, std::int32_t ys, std::int32_t xe,
                  std::int32_t ye, ColourIndex pen) {
    const EllipseBox box = EllipseBox::From(rect);
    if (box.width == 0 || box.height == 0) {
        return;
    }
    const std::vector<OutlinePoint> quarter = ErrorWalk(box.width, box.height);
    const auto m = static_cast<std::int64_t>(quarter.size());
    const std::int64_t w = box.width, h = box.height;
    auto at = [&](std::int64_t k) {
        auto q = [&](std::int64_t i) { return quarter[static_cast<std::size_t>(i)]; };
        switch (k / m) {
            case 0:
                return OutlinePoint{q(k).x, h - 1 - q(k).y};
            case 1:
                return OutlinePoint{w - 1 - q(2 * m - 1 - k).x, h - 1 - q(2 * m - 1 - k).y};
            case 2:
                return OutlinePoint{w - 1 - q(k - 2 * m).x, q(k - 2 * m).y};
            default:
                return q(4 * m - 1 - k);
        }
    };
    auto rayIndex = [&](Int128 rayX, Int128 rayY) {
        const int q = rayY >= 0 ? (rayX >= 0 ? 0 : 1) : (rayX < 0 ? 2 : 3);
        const Int128 ax = rayX < 0 ? -rayX : rayX, ay = rayY < 0 ? -rayY : rayY;
        for (std::int64_t k = 0; k < m; ++k) {
            const OutlinePoint& p = quarter[static_cast<std::size_t>(q % 2 == 0 ? k : m - 1 - k)];
            const Int128 c = Int128{p.y - h / 2} * ax - Int128{p.x - w / 2} * ay;
            if (q == 0 ? c >= 0 : q == 1 ? c <= 0 : q == 2 ? c > 0 : c < 0) {
                return q * m + k;
            }
        }
        return (q + 1) * m;
    };
    const std::int64_t cx = box.left + w / 2, cy = box.top + h / 2;
    const std::int64_t count = 4 * m;
    const std::int64_t start = rayIndex(Int128{xs} - cx, Int128{cy} - ys);
    std::int64_t end = rayIndex(Int128{xe} - cx, Int128{cy} - ye);
    if (end <= start) {
        end += count;
    }
    for (std::int64_t i = start; i < end - 1; ++i) {
        const OutlinePoint p = at(i % count), next = at((i + 1) % count);
        if (p != next && b.clip.Contains(box.left + p.x, box.top + p.y)) {
            b.At(box.left + p.x, box.top + p.y) = pen;
        }
    }
}

TEST(ReferenceTest, ArcPaintsWhatTheWalkAroundTheLoopPaints) {
    for (int n = 0; n < Cases; ++n) {
        std::mt19937 random(static_cast<std::uint32_t>(n));
        Bitmap fast(random, 80);
        const std::int32_t left = Between(random, -40, 100), top = Between(random, -40, 100);
        // Mostly boxes the outline cache keeps, some larger, some thin and very tall.
        const int kind = Between(random, 0, 9);
        const std::int32_t w = kind < 7 ? Between(random, 0, 64) : Between(random, 0, 300);
        const std::int32_t h =
            kind == 9 ? Between(random, 1 << 20, INT32_MAX - 100) : Between(random, 0, 300);
        const Rect box{left, top, kind == 9 ? left + Between(random, 0, 2) : left + w,
                       kind < 7 ? top + Between(random, 0, 64) : top + h};
        const std::int32_t xs = Coordinate(random, 100), ys = Coordinate(random, 100);
        const std::int32_t xe = Coordinate(random, 100), ye = Coordinate(random, 100);
        Bitmap slow = fast;
        ClippedPixels out = fast.Out();
        RasterArc(out, box, xs, ys, xe, ye, 15);
        ReferenceArc(slow, box, xs, ys, xe, ye, 15);
        ASSERT_EQ(fast.pixels, slow.pixels)
            << "case " << n << ": box " << box.left << "," << box.top << "," << box.right << ","
            << box.bottom << " rays " << xs << "," << ys << " " << xe << "," << ye;
    }
}

}  // namespace
}  // namespace vistrel
