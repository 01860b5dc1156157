#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <map>
#include <random>

#include "raster/WideInt.h"
#include "tests/raster/SurfaceTestSupport.h"

namespace vistrel::test {
namespace {

constexpr ColourIndex PenColour = 4;
constexpr ColourIndex BrushColour = 9;
constexpr ColourIndex Border = 1;

// A surface with a pen and a brush of its own selected.
struct Canvas {
    explicit Canvas(std::int32_t width = 64, std::int32_t height = 48)
        : surface(BlankSurface(width, height)) {
        surface->SelectPen(&pen);
        surface->SelectBrush(&brush);
    }
    PointSet Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        surface->ClearOpaque(0);
        surface->MoveTo(x1, y1);
        surface->LineTo(x2, y2);
        return PixelsOf(*surface);
    }
    PointSet Outline(const Rect& b) {
        surface->ClearOpaque(0);
        surface->Ellipse(b.left, b.top, b.right, b.bottom);
        return PixelsOf(*surface, PenColour);
    }
    PointSet Arc(const Rect& b, std::int32_t xs, std::int32_t ys, std::int32_t xe,
                 std::int32_t ye) {
        surface->ClearOpaque(0);
        surface->Arc(b.left, b.top, b.right, b.bottom, xs, ys, xe, ye);
        return PixelsOf(*surface);
    }

    const Pen pen{PenColour};
    const Brush brush{BrushColour};
    std::unique_ptr<Surface> surface;
};

// Checks what a line from (x1, y1) to (x2, y2) paints inside `window`: seen along its longer
// axis, step i (0 <= i < n) gets exactly one pixel, on the ideal minor coordinate rounded to
// the nearest (either way on a tie); steps whose choices fall partly outside may have none.
void ExpectIdealLine(const PointSet& painted, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                     std::int64_t y2, const Rect& window) {
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    const std::int64_t major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
    const std::int64_t n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    const std::int64_t d = xMajor ? y2 - y1 : x2 - x1;
    const int sign = (xMajor ? x2 - x1 : y2 - y1) < 0 ? -1 : 1;
    auto choices = [&](std::int64_t i) -> std::vector<std::int64_t> {
        const Int128 twice = Int128{2} * i * d + n, n2 = Int128{2} * n;  // 2n (ideal + 1/2)
        const Int128 floor = twice / n2 - (twice % n2 != 0 && twice < 0);
        const auto nearest = static_cast<std::int64_t>(minor0 + floor);
        return twice % n2 == 0 ? std::vector{nearest, nearest - 1} : std::vector{nearest};
    };
    std::map<std::int64_t, std::int64_t> minorAt;  // major coordinate -> minor
    for (const auto& [x, y] : painted) {
        const std::int64_t major = xMajor ? x : y, minor = xMajor ? y : x;
        const std::int64_t i = (major - major0) * sign;
        ASSERT_TRUE(i >= 0 && i < n) << "pixel off the line at step " << i;
        const auto c = choices(i);
        ASSERT_NE(std::find(c.begin(), c.end(), minor), c.end()) << "stray pixel " << x << "," << y;
        ASSERT_TRUE(minorAt.emplace(major, minor).second) << "two pixels on step " << i;
    }
    const std::int64_t lo = xMajor ? window.left : window.top;
    const std::int64_t hi = xMajor ? window.right : window.bottom;
    const std::int64_t minorLo = xMajor ? window.top : window.left;
    const std::int64_t minorHi = xMajor ? window.bottom : window.right;
    for (std::int64_t major = lo; major < hi; ++major) {
        const std::int64_t i = (major - major0) * sign;
        const auto c = i >= 0 && i < n ? choices(i) : std::vector<std::int64_t>{};
        const auto inside = std::count_if(
            c.begin(), c.end(), [&](std::int64_t m) { return m >= minorLo && m < minorHi; });
        if (inside == 0 || inside == static_cast<std::ptrdiff_t>(c.size())) {
            EXPECT_EQ(minorAt.count(major), inside == 0 ? 0u : 1u) << "step " << i;
        }
    }
}

TEST(LineTest, PaintsFromTheStartUpToButNotIncludingTheEnd) {
    const std::pair<Rect, PointSet> cases[] = {
        {{0, 0, 3, 0}, {{0, 0}, {1, 0}, {2, 0}}}, {{5, 5, 5, 5}, {}},
        {{3, 0, 0, 0}, {{3, 0}, {2, 0}, {1, 0}}}, {{2, 1, 2, 4}, {{2, 1}, {2, 2}, {2, 3}}},
        {{4, 4, 1, 1}, {{4, 4}, {3, 3}, {2, 2}}}, {{0, 0, 1, 0}, {{0, 0}}},
    };
    Canvas canvas;
    for (const auto& [l, expected] : cases) {
        EXPECT_EQ(canvas.Line(l.left, l.top, l.right, l.bottom), expected)
            << l.left << "," << l.top << " -> " << l.right << "," << l.bottom;
    }
}

TEST(LineTest, RandomLinesStayOnTheIdealLineAndClipToExactlyTheirOwnPixels) {
    Canvas whole(128, 128);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::int32_t> near(-20, 150), far(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> inside(0, 127);
    std::uniform_int_distribution<int> kind(0, 5);
    auto pick = [&] {
        const int k = kind(random);
        return k < 3 ? near(random) : k < 5 ? far(random) : k == 5 ? INT32_MIN : INT32_MAX;
    };
    for (int n = 0; n < 2000; ++n) {
        const std::int32_t x1 = pick(), y1 = pick(), x2 = pick(), y2 = pick();
        SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2);
        const PointSet unclipped = whole.Line(x1, y1, x2, y2);
        ExpectIdealLine(unclipped, x1, y1, x2, y2, {0, 0, 128, 128});
        Canvas clipped(128, 128);
        clipped.surface->IntersectClipRect(inside(random), inside(random), inside(random),
                                           inside(random));
        PointSet expected;
        std::copy_if(
            unclipped.begin(), unclipped.end(), std::inserter(expected, expected.end()),
            [&](const Point& p) { return clipped.surface->Clip().Contains(p.first, p.second); });
        EXPECT_EQ(clipped.Line(x1, y1, x2, y2), expected);
    }
}

TEST(LineTest, LinesAcrossTheWholeCoordinateRangeHitTheRightPixels) {
    Canvas canvas;
    PointSet row, column, diagonal;
    for (std::int64_t i = 0; i < 64; ++i) {
        row.insert({i, 5});
        if (i < 48) {
            column.insert({7, i});
            diagonal.insert({i, i});
        }
    }
    EXPECT_EQ(canvas.Line(INT32_MIN, 5, INT32_MAX, 5), row);
    EXPECT_EQ(canvas.Line(INT32_MAX, 5, INT32_MIN, 5), row);
    EXPECT_EQ(canvas.Line(7, INT32_MAX, 7, INT32_MIN), column);
    EXPECT_EQ(canvas.Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), diagonal);
}

class EllipseBoxTest : public testing::TestWithParam<Rect> {};

TEST_P(EllipseBoxTest, FillsItsBoxSymmetricallyWithAPenOutlineAroundTheBrush) {
    const Rect box = GetParam();
    Canvas canvas;
    canvas.surface->Ellipse(box.left, box.top, box.right, box.bottom);
    const Surface& s = *canvas.surface;
    const PointSet painted = PixelsOf(s);
    std::map<std::int64_t, std::int64_t> rowWidth;  // from the leftmost to the rightmost pixel
    for (const auto& [x, y] : painted) {
        const auto px = static_cast<std::int32_t>(x), py = static_cast<std::int32_t>(y);
        const std::int64_t mirror = box.left + box.right - 1 - x;
        rowWidth[y] = std::max(rowWidth[y], std::abs(mirror - x) + 1);
        const ColourIndex c = s.PixelAt(px, py);
        ASSERT_TRUE(c == PenColour || c == BrushColour);
        EXPECT_EQ(s.PixelAt(box.left + box.right - 1 - px, py), c)
            << "left-right " << x << "," << y;
        EXPECT_EQ(s.PixelAt(px, box.top + box.bottom - 1 - py), c)
            << "top-bottom " << x << "," << y;
        if (!painted.count({x - 1, y}) || !painted.count({x + 1, y}) ||
            !painted.count({x, y - 1}) || !painted.count({x, y + 1})) {
            EXPECT_EQ(c, PenColour) << "brush reaches the outside at " << x << "," << y;
        }
    }
    EXPECT_EQ(BoundsOf(painted), box);
    for (std::int64_t y = box.top; y < box.bottom; ++y) {
        const auto row = std::count_if(painted.begin(), painted.end(),
                                       [&](const Point& p) { return p.second == y; });
        EXPECT_EQ(row, rowWidth[y]) << "row " << y << " has a gap";
    }
    EXPECT_LE(PixelsOf(s, PenColour).size(), 2u * (box.right - box.left + box.bottom - box.top))
        << "outline thicker than one pixel";
    if (box.right - box.left > 4 && box.bottom - box.top > 4) {
        EXPECT_FALSE(PixelsOf(s, BrushColour).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Boxes, EllipseBoxTest,
                         testing::Values(Rect{10, 10, 12, 12}, Rect{1, 1, 4, 2}, Rect{5, 5, 15, 20},
                                         Rect{3, 7, 40, 12}, Rect{20, 3, 37, 44},
                                         Rect{0, 0, 64, 48}));

TEST(EllipseTest, EmptyBoxesPaintNothing) {
    Canvas canvas;
    for (const Rect& box :
         {Rect{10, 10, 10, 30}, Rect{10, 10, 30, 10}, Rect{5, 5, 5, 5}, Rect{10, 10, 11, 11}}) {
        canvas.surface->Ellipse(box.left, box.top, box.right, box.bottom);
        canvas.surface->Arc(box.left, box.top, box.right, box.bottom, 0, 0, 0, 0);
    }
    EXPECT_TRUE(PixelsOf(*canvas.surface).empty());
}

TEST(EllipseTest, HugeEllipseIsClippedToTheSurface) {
    // The right-hand vertex of a circle of radius 2^30 lies on column 39; this near it the curve
    // is a vertical line over all 48 rows.
    constexpr std::int32_t r = 1 << 30;
    Canvas canvas;
    canvas.surface->Ellipse(40 - r - r, 24 - r, 40, 24 + r);
    for (std::int32_t y = 0; y < 48; ++y) {
        for (std::int32_t x = 0; x < 64; ++x) {
            const ColourIndex expected = x < 39 ? BrushColour : x == 39 ? PenColour : 0;
            ASSERT_EQ(canvas.surface->PixelAt(x, y), expected) << x << "," << y;
        }
    }
}

TEST(ArcTest, RandomArcsLieOnTheEllipseOutline) {
    Canvas canvas;
    std::mt19937 random(99);
    std::uniform_int_distribution<std::int32_t> corner(-6, 60), size(1, 40), point(-20, 80);
    for (int n = 0; n < 300; ++n) {
        const std::int32_t l = corner(random), t = corner(random);
        const Rect box{l, t, l + size(random), t + size(random)};
        const PointSet outline = canvas.Outline(box);
        for (const Point& p :
             canvas.Arc(box, point(random), point(random), point(random), point(random))) {
            ASSERT_TRUE(outline.count(p)) << p.first << "," << p.second << " of arc " << n;
        }
    }
}

// GDI's arc is a polyline through the outline points from the start ray's point that leaves
// out its last point and the point where the end ray meets the outline.
TEST(ArcTest, CoincidingRaysDrawAllButThePixelBeforeTheStart) {
    Canvas canvas;
    const Rect box{10, 5, 50, 35};  // centre pixel (30, 20); even sides, so no axis pixel twice
    const PointSet outline = canvas.Outline(box);
    for (const auto& [xs, ys, xe, ye] :
         {std::array{45, 20, 45, 20}, std::array{40, 20, 60, 20}, std::array{20, 30, 10, 40}}) {
        const PointSet arc = canvas.Arc(box, xs, ys, xe, ye);
        EXPECT_EQ(arc.size() + 1, outline.size());
        EXPECT_TRUE(std::includes(outline.begin(), outline.end(), arc.begin(), arc.end()));
    }
}

TEST(ArcTest, QuarterArcStaysInItsQuadrantAndStopsShortOfItsEnd) {
    Canvas canvas;
    const Rect box{0, 0, 40, 40};  // centre pixel (20, 20); even sides, so no axis pixel twice
    const PointSet outline = canvas.Outline(box);
    const PointSet upperRight = canvas.Arc(box, 40, 20, 20, 0);
    PointSet both = canvas.Arc(box, 20, 0, 40, 20);
    EXPECT_TRUE(upperRight.count({39, 19}));
    EXPECT_FALSE(upperRight.count({20, 0}));
    for (const auto& [x, y] : upperRight) {
        EXPECT_TRUE(x >= 20 && y <= 20) << x << "," << y;
    }
    both.insert(upperRight.begin(), upperRight.end());
    EXPECT_TRUE(std::includes(outline.begin(), outline.end(), both.begin(), both.end()));
    // Each arc stops two points before its end ray's point, where the other arc starts, so
    // each leaves one pixel between them.
    EXPECT_EQ(both.size() + 2, outline.size());
}

// Fills a 20 x 20 canvas from (x, y), after setting `walls` to the border colour and clipping;
// returns the pixels of each colour as one character a pixel, row by row.
std::string FillPicture(const PointSet& walls, std::int32_t x, std::int32_t y,
                        Rect clip = {0, 0, 20, 20}, ColourIndex wallColour = Border) {
    Canvas canvas(20, 20);
    for (const auto& [wx, wy] : walls) {
        canvas.surface->SetPixel(static_cast<std::int32_t>(wx), static_cast<std::int32_t>(wy),
                                 wallColour);
    }
    canvas.surface->IntersectClipRect(clip.left, clip.top, clip.right, clip.bottom);
    canvas.surface->FloodFill(x, y, Border);
    std::string picture;
    for (const ColourIndex c : canvas.surface->Pixels()) {
        picture += c == 0 ? '.' : c == Border ? '#' : c == BrushColour ? 'o' : '?';
    }
    return picture;
}

// The same picture from a rule per pixel.
template <typename Rule>
std::string Expected(Rule rule) {
    std::string picture;
    for (std::int64_t y = 0; y < 20; ++y) {
        for (std::int64_t x = 0; x < 20; ++x) {
            picture += rule(x, y);
        }
    }
    return picture;
}

TEST(FillTest, FillsTheFourConnectedRegionInsideTheClip) {
    PointSet diagonal, column, halfColumn;
    for (std::int64_t i = 0; i < 20; ++i) {
        diagonal.insert({i, 19 - i});
        column.insert({10, i});
        if (i < 10) {
            halfColumn.insert({10, i});
        }
    }
    // A one-pixel diagonal holds the fill.
    EXPECT_EQ(FillPicture(diagonal, 0, 0), Expected([](std::int64_t x, std::int64_t y) {
                  return x + y < 19 ? 'o' : x + y == 19 ? '#' : '.';
              }));
    // Pixels that already have the brush colour still carry the fill.
    EXPECT_EQ(FillPicture(column, 2, 2, {0, 0, 20, 20}, BrushColour), std::string(400, 'o'));
    // The halves of the clipped rows meet only below the clip, where the fill may not pass.
    EXPECT_EQ(FillPicture(halfColumn, 2, 2, {0, 0, 20, 10}),
              Expected([](std::int64_t x, std::int64_t y) {
                  return y >= 10 ? '.' : x < 10 ? 'o' : x == 10 ? '#' : '.';
              }));
    EXPECT_EQ(FillPicture({}, 14, 14, {5, 5, 15, 15}), Expected([](std::int64_t x, std::int64_t y) {
                  return x >= 5 && x < 15 && y >= 5 && y < 15 ? 'o' : '.';
              }));
}

TEST(FillTest, SeedOnTheBorderOrOutsideTheClipFillsNothing) {
    const std::string onlyWall =
        Expected([](std::int64_t x, std::int64_t y) { return x == 3 && y == 3 ? '#' : '.'; });
    EXPECT_EQ(FillPicture({{3, 3}}, 3, 3), onlyWall);
    for (const Point& seed :
         {Point{1, 1}, Point{15, 7}, Point{7, 15}, Point{-1, 7}, Point{20, 7}}) {
        EXPECT_EQ(FillPicture({{3, 3}}, static_cast<std::int32_t>(seed.first),
                              static_cast<std::int32_t>(seed.second), {2, 2, 15, 15}),
                  onlyWall)
            << seed.first << "," << seed.second;
    }
}

TEST(SurfacePixelTest, RowOfPixelsSetsWhatSinglePixelsSet) {
    // Some columns outside every clip, and (for all but the smallest clips) all inside.
    const std::vector<std::vector<std::int32_t>> columnSets = {
        {INT32_MIN, -1, 0, 1, 2, 3, 9, 10, 11, 12, 30, 31, 32, 33, INT32_MAX},
        {3, 10, 4, 9, 5, 8, 6, 7, 3, 10, 4, 9, 5, 8, 6, 7, 3}};
    const Rect clips[] = {{0, 0, 32, 8}, {3, 2, 11, 6}, {0, 0, 1, 1}, {31, 7, 32, 8}};
    for (const auto& columns : columnSets) {
        for (const Rect& clip : clips) {
            for (std::int32_t y = -1; y <= 8; ++y) {
                SCOPED_TRACE(testing::Message()
                             << "clip " << clip.left << "," << clip.top << "," << clip.right << ","
                             << clip.bottom << " row " << y);
                auto byRow = BlankSurface(32, 8);
                auto byPixel = BlankSurface(32, 8);
                for (auto* s : {byRow.get(), byPixel.get()}) {
                    s->IntersectClipRect(clip.left, clip.top, clip.right, clip.bottom);
                }
                byRow->SetPixelsInRow(y, columns.data(), columns.size(), 7);
                for (const std::int32_t x : columns) {
                    byPixel->SetPixel(x, y, 7);
                }
                EXPECT_EQ(byRow->Pixels(), byPixel->Pixels());
            }
        }
    }
}

// A fill on a surface nothing has been drawn on takes a shortcut; the same fill after a draw
// that changed no pixel takes the general way. Both must leave the same pixels.
TEST(SurfaceFillTest, FillOnAnUntouchedSurfaceFillsWhatTheGeneralFillFills) {
    struct Case {
        Rect clip;
        std::int32_t x, y;
        int cleared;  // the colour the surface is cleared to, or -1 for a new surface
        ColourIndex border, brush;
    };
    const Case cases[] = {
        {{0, 0, 12, 6}, 3, 2, -1, 1, 5}, {{2, 1, 9, 5}, 3, 2, -1, 1, 5},
        {{2, 1, 9, 5}, 0, 0, -1, 1, 5},  {{2, 1, 9, 5}, 9, 2, -1, 1, 5},
        {{0, 0, 12, 6}, 3, 2, -1, 0, 5}, {{0, 0, 12, 6}, 3, 2, -1, 1, 0},
        {{0, 0, 12, 6}, 3, 2, 1, 1, 4},  {{0, 0, 12, 6}, 3, 2, 7, 1, 7},
        {{4, 4, 4, 4}, 4, 4, -1, 1, 5},  {{0, 0, 12, 6}, -1, 2, -1, 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "clip " << c.clip.left << "," << c.clip.top << "," << c.clip.right << ","
                     << c.clip.bottom << " from " << c.x << "," << c.y << " cleared " << c.cleared);
        const Brush brush{c.brush};
        auto untouched = BlankSurface(12, 6);
        auto drawnOn = BlankSurface(12, 6);
        for (auto* s : {untouched.get(), drawnOn.get()}) {
            if (c.cleared >= 0) {
                s->ClearOpaque(static_cast<ColourIndex>(c.cleared));
            }
            s->IntersectClipRect(c.clip.left, c.clip.top, c.clip.right, c.clip.bottom);
            s->SelectBrush(&brush);
        }
        drawnOn->SetPixel(0, 0, drawnOn->PixelAt(0, 0));
        untouched->FloodFill(c.x, c.y, c.border);
        drawnOn->FloodFill(c.x, c.y, c.border);
        EXPECT_EQ(untouched->Pixels(), drawnOn->Pixels());
    }
}

}  // namespace
}  // namespace vistrel::test
