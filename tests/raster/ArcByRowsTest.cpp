#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "raster/EllipseOutline.h"
#include "raster/Primitives.h"

namespace vistrel {
namespace {

// Arcs of boxes too large to walk are painted row by row; on boxes small enough to walk both
// ways they must paint the same pixels as the walked loop.
TEST(ArcByRowsTest, PaintsWhatTheWalkedLoopPaints) {
    constexpr std::int32_t W = 160, H = 120;
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::int32_t> size(1, 90), corner(-30, 100), ray(-60, 200);
    std::uniform_int_distribution<int> clipped(0, 3);
    for (int n = 0; n < 4000; ++n) {
        const std::int32_t l = corner(random), t = corner(random);
        const Rect box{l, t, l + size(random), t + size(random)};
        if (box.right - box.left <= 2) {
            continue;
        }
        const std::int32_t xs = ray(random), ys = ray(random), xe = ray(random), ye = ray(random);
        const Rect clip = clipped(random) == 0 ? Rect{20, 15, 90, 70} : Rect{0, 0, W, H};
        std::vector<ColourIndex> walked(W * H, 0), byRows(W * H, 0);
        ClippedPixels walkedOut(walked, W, clip), byRowsOut(byRows, W, clip);
        RasterArc(walkedOut, box, xs, ys, xe, ye, 15);

        const EllipseBox b = EllipseBox::From(box);
        const std::int64_t cx = b.left + b.width / 2, cy = b.top + b.height / 2;
        PaintArcByRows(byRowsOut, b, Int128{xs} - cx, Int128{cy} - ys, Int128{xe} - cx,
                       Int128{cy} - ye, 15);
        ASSERT_EQ(walked, byRows) << "case " << n << ": arc " << box.left << ' ' << box.top << ' '
                                  << box.right << ' ' << box.bottom << ' ' << xs << ' ' << ys << ' '
                                  << xe << ' ' << ye;
    }
}

// A quarter of a circle of radius 2^30 seen near its right vertex: only the visible rows cost
// anything, and only the upper quarter's outline pixels are painted.
TEST(ArcByRowsTest, HugeArcPaintsItsQuarterOfTheVisibleOutline) {
    constexpr std::int32_t W = 64, H = 48;
    constexpr std::int32_t r = 1 << 30;
    const Rect box{40 - r - r, 24 - r, 40, 24 + r};
    const std::int32_t cx = 40 - r;
    std::vector<ColourIndex> arc(W * H, 0), ellipse(W * H, 0);
    ClippedPixels arcOut(arc, W, {0, 0, W, H}), ellipseOut(ellipse, W, {0, 0, W, H});
    RasterArc(arcOut, box, 100, 24, cx, 0, 15);
    RasterEllipse(ellipseOut, box, 15, 7);
    for (std::int32_t y = 0; y < H; ++y) {
        for (std::int32_t x = 0; x < W; ++x) {
            const bool outline = ellipse[y * W + x] == 15;
            const bool painted = arc[y * W + x] == 15;
            ASSERT_EQ(painted, outline && y < 24) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace vistrel
