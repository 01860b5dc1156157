#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include "tests/scene/SceneTestSupport.h"

namespace vistrel::test {
namespace {

TEST(ScenePainterTest, ReplacesItsPenAndBrushAndGivesTheStockOnesBack) {
    SceneRng rng;
    auto first = BlankSurface(100, 50);
    auto second = BlankSurface(100, 50);
    const Pen* stockPen = second->SelectedPen();
    const Brush* stockBrush = second->SelectedBrush();
    const Pen* firstStockPen = first->SelectedPen();
    {
        ScenePainter painter(rng);
        painter.PaintOn(*first);
        painter.PaintOn(*second);
        EXPECT_EQ(first->SelectedPen(), firstStockPen)
            << "rebinding keeps a pen on the old surface";
        painter.UsePen(3);
        painter.UsePen(3);
        painter.UseBrush(1, 6);
        painter.UseBrush(1, 7);
        ASSERT_NE(second->SelectedPen(), stockPen);
        EXPECT_EQ(second->SelectedPen()->colour, 3);
        EXPECT_EQ(second->SelectedBrush()->colour, 7);
    }
    EXPECT_EQ(second->SelectedPen(), stockPen);
    EXPECT_EQ(second->SelectedBrush(), stockBrush);
}

TEST(ScenePainterTest, ArcDegTurnsAnglesIntoRadialPoints) {
    struct Case {
        std::int32_t cx, cy, start, end, rx, ry;
        std::int32_t xs, ys, xe, ye;
    };
    const Case cases[] = {
        {10, 100, 135, 180, 5, 5, 6, 96, 5, 99}, {0, 50, 0, 150, 4, 4, 4, 50, -3, 47},
        {-5, 50, 0, 90, 4, 4, -1, 50, -4, 46},   {7, -3, 0, 45, 11, 6, 18, -3, 14, -7},
        {3, 0, 180, 90, 5, 5, -2, 0, 3, -5},     {3, 1, 180, 180, 5, 0, -2, 1, -2, 1},
    };
    BoundPainter bound;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << "," << c.cy << " " << c.start << ".." << c.end);
        bound.log.arcs.clear();
        bound.painter.ArcDeg(c.cx, c.cy, c.start, c.end, c.rx, c.ry);
        ASSERT_EQ(bound.log.arcs.size(), 1u);
        const CallLog::ArcCall& arc = bound.log.arcs[0];
        EXPECT_EQ(arc.box, Rect({c.cx - c.rx, c.cy - c.ry, c.cx + c.rx, c.cy + c.ry}));
        EXPECT_EQ(arc.xs, c.xs);
        EXPECT_EQ(arc.ys, c.ys);
        EXPECT_EQ(arc.xe, c.xe);
        EXPECT_EQ(arc.ye, c.ye);
    }
}

// Whole degrees of a turn come from a table worked out once; every angle, in the turn or
// outside it, must give the point that its own cosine and sine give, with degrees turned into
// radians by the double nearest to 3.1415926535 / 180, a little short of pi / 180.
TEST(ScenePainterTest, ArcDegGivesEveryWholeDegreeThePointOfItsOwnAngle) {
    constexpr double DegreeFactor = std::bit_cast<double>(std::uint64_t{0x3F91DF46A2506B91});
    static_assert(DegreeFactor == 3.1415926535 / 180);
    BoundPainter bound;
    for (std::int32_t degrees = -400; degrees <= 800; ++degrees) {
        SCOPED_TRACE(degrees);
        const double angle = degrees * DegreeFactor;
        for (const std::int32_t r : {1, 9, 21, 100000}) {
            bound.log.arcs.clear();
            bound.painter.ArcDeg(-7, 93, degrees, 360 - degrees, r, r + 3);
            ASSERT_EQ(bound.log.arcs.size(), 1u);
            const CallLog::ArcCall& arc = bound.log.arcs[0];
            EXPECT_EQ(arc.xs, static_cast<std::int32_t>(std::cos(angle) * r + -7));
            EXPECT_EQ(arc.ys, static_cast<std::int32_t>(93 - std::sin(angle) * (r + 3)));
            const double mirrored = (360 - degrees) * DegreeFactor;
            EXPECT_EQ(arc.xe, static_cast<std::int32_t>(std::cos(mirrored) * r + -7));
            EXPECT_EQ(arc.ye, static_cast<std::int32_t>(93 - std::sin(mirrored) * (r + 3)));
        }
    }
}

TEST(ScenePainterTest, CircleSpansTwiceItsRadius) {
    BoundPainter bound;
    bound.painter.UsePen(4);
    bound.painter.UseBrush(1, 9);
    bound.painter.Circle(205, 82, 0, 360, 16);
    ASSERT_EQ(bound.log.ellipses.size(), 1u);
    EXPECT_EQ(bound.log.ellipses[0], Rect({189, 66, 221, 98}));
    EXPECT_EQ(BoundsOf(PixelsOf(*bound.surface)), Rect({189, 66, 221, 98}));
}

TEST(ScenePainterTest, PlotKeepsToTheSceneFrameAndClipSceneUsesOnlyItsSize) {
    const std::pair<Point, bool> plots[] = {{{570, 10}, false}, {{10, 190}, false},
                                            {{569, 189}, true}, {{0, 0}, true},
                                            {{-1, 5}, false},   {{599, 205}, false}};
    for (const auto& [p, painted] : plots) {
        BoundPainter bound;
        bound.painter.Plot(static_cast<std::int32_t>(p.first), static_cast<std::int32_t>(p.second),
                           15);
        EXPECT_EQ(PixelsOf(*bound.surface).size(), painted ? 1u : 0u) << p.first << "," << p.second;
    }
    BoundPainter bound;
    bound.painter.ClipScene(100, 50, 110, 60, 0);
    for (std::int32_t x = -1; x <= 11; ++x) {
        for (std::int32_t y = -1; y <= 11; ++y) {
            bound.painter.Plot(x, y, 15);
        }
    }
    EXPECT_EQ(BoundsOf(PixelsOf(*bound.surface)), Rect({0, 0, 10, 10}));
}

TEST(ScenePainterTest, ExtremeArgumentsPaintOnlyInsideTheClipInThePainterColours) {
    BoundPainter bound(64, 48);
    bound.painter.UsePen(5);
    bound.painter.UseBrush(1, 6);
    const std::int32_t coordinates[] = {INT32_MIN, -1, 0, 30, INT32_MAX};
    const std::int32_t angles[] = {INT32_MIN, 0, 90, INT32_MAX};
    for (const std::int32_t a : coordinates) {
        for (const std::int32_t b : coordinates) {
            bound.painter.Line(a, b, b, a);
            bound.painter.Plot(a, b, a);
            bound.painter.FillFrom(a, b, b);
            for (const std::int32_t r : coordinates) {
                bound.painter.Circle(a, b, 0, 360, r);
                for (const std::int32_t start : angles) {
                    for (const std::int32_t end : angles) {
                        bound.painter.ArcDeg(a, b, start, end, r, a);
                        bound.painter.ArcDeg(b, a, start, end, b, r);
                    }
                }
            }
        }
    }
    for (const ColourIndex c : bound.surface->Pixels()) {
        ASSERT_TRUE(c == 0 || c == 5 || c == 6 || c == OutOfPalette) << int{c};
    }
}

}  // namespace
}  // namespace vistrel::test
