#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "tests/scene/SceneTestSupport.h"

namespace vistrel::test {
namespace {

// RandomBelow(n) lies in [0, Top(n)].
std::int64_t Top(std::int64_t n) {
    return std::max<std::int64_t>(std::abs(n) - 1, 0);
}
bool Within(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return v >= lo && v <= hi;
}

// A bound painter that logs one generator call at a time from a known random state.
struct GeneratorRun : BoundPainter {
    void Start(std::uint32_t seed) {
        log = CallLog{};
        rng.Seed(seed);
        drawsBefore = rng.Draws();
    }
    std::uint64_t Draws() const { return rng.Draws() - drawsBefore; }
    std::uint64_t drawsBefore = 0;
};

struct Ridge {
    std::int32_t startX, startY, endX, endY, stepWidth, height, colour, fill;
    int walkSteps;  // -1: whatever the walk takes
};

// Checks one DrawRidge's calls against its rules: a walk of rise and drop steps from the start
// point, closed to the end point unless 100 steps end short of it, the base line, the fill and
// the comb of strokes; two draws per step and per stroke, none for a bound of 0.
void ExpectRidgeCalls(const Ridge& r, const CallLog& log, std::uint64_t draws) {
    const std::int64_t strokes = r.endX > r.startX ? (std::int64_t{r.endX} - r.startX + 2) / 3 : 0;
    const auto walk = static_cast<std::int64_t>(log.lines.size()) - strokes - 1;
    ASSERT_TRUE(Within(walk, 1, 100));
    EXPECT_TRUE(r.walkSteps < 0 || walk == r.walkSteps) << walk << " steps";
    std::uint64_t expectedDraws = 0;
    std::int64_t x = r.startX, y = r.startY, previousRise = 0;
    bool closed = false;
    for (std::int64_t k = 0; k < walk && !closed; ++k) {
        const CallLog::LineCall& l = log.lines[static_cast<std::size_t>(k)];
        ASSERT_EQ(Point(l.x1, l.y1), Point(x, y)) << "step " << k;
        const bool drop = previousRise > 0;
        const std::int32_t xBound = drop ? r.stepWidth / 10 : r.stepWidth;
        const std::int32_t yBound = drop ? r.height / 10 : r.height;
        expectedDraws += (xBound != 0) + (yBound != 0);
        // A step that reaches endX draws the closing segment instead of its own point.
        closed = l.x2 == r.endX && l.y2 == r.endY && k == walk - 1;
        if (closed) {
            break;
        }
        const std::int64_t rise = std::int64_t{r.startY} - r.height / 6;
        ASSERT_LT(l.x2, r.endX) << "step " << k;
        EXPECT_TRUE(drop ? Within(l.x2 - x, 3, 3 + Top(xBound)) : Within(l.x2 - x, 0, Top(xBound)));
        EXPECT_TRUE(drop ? Within(l.y2 - y, 0, Top(yBound)) : Within(rise - l.y2, 0, Top(yBound)));
        previousRise = drop ? 0 : y - l.y2;
        x = l.x2;
        y = l.y2;
    }
    EXPECT_TRUE(closed || walk == 100) << "walk ended short of endX before its 100th step";
    const CallLog::LineCall& base = log.lines[static_cast<std::size_t>(walk)];
    EXPECT_EQ(base, CallLog::LineCall({r.startX, r.endY, r.endX, r.endY, base.pen}));
    for (std::int64_t j = 0; j < strokes; ++j) {
        const CallLog::LineCall& s = log.lines[static_cast<std::size_t>(walk + 1 + j)];
        EXPECT_TRUE(s.x1 == r.startX + 3 * j && s.x2 == s.x1) << "stroke " << j;
        EXPECT_TRUE(Within(s.y1 - r.startY, 0, 3) && Within(s.y2 - r.startY - 5, 0, Top(r.height)));
        expectedDraws += 1 + (r.height != 0);
    }
    for (const CallLog::LineCall& l : log.lines) {
        EXPECT_EQ(l.pen, r.colour);
    }
    ASSERT_EQ(log.fills.size(), r.fill > 0 ? 1u : 0u);
    if (r.fill > 0) {
        const CallLog::FillCall& f = log.fills[0];
        EXPECT_EQ(Point(f.x, f.y), Point(r.startX + r.stepWidth, r.startY - 3));
        EXPECT_TRUE(f.border == 1 && f.brush == 1);
    }
    EXPECT_EQ(draws, expectedDraws);
}

TEST(DrawRidgeTest, WalksCloseAndCombAsTheirArgumentsSay) {
    const Ridge ridges[] = {
        {330, 135, 640, 135, 45, 110, 1, 1, -1},  // the recipe's three ranges
        {-10, 110, 190, 110, 40, 80, 1, 1, -1},
        {210, 90, 600, 90, 25, 30, 1, -1, -1},
        {0, 100, 300, 100, 9, 9, 2, 0, -1},      // drops advance exactly 3, fall 0, take no draw
        {0, 100, 300, 100, 40, 5, 3, 0, -1},     // rises reach only startY - d2
        {0, 100, 300, 100, 40, 0, 3, 0, -1},     // rises stay on startY, strokes one draw each
        {0, 100, 300, 120, -25, -30, 4, 1, -1},  // negative bounds; base line on endY
        {100, 80, 100, 70, 20, 30, 1, 1, 1},     // end at the start: closing, base, no strokes
        {100, 80, 50, 80, 20, 30, 1, 0, 1},
        {0, 100, 1000, 100, 1, 30, 1, 0, 100},  // 100 steps end short: no closing segment
    };
    GeneratorRun run;
    for (const Ridge& r : ridges) {
        for (std::uint32_t seed = 0; seed < 60; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << "ridge " << r.startX << ".." << r.endX << " step " << r.stepWidth
                         << " height " << r.height << " seed " << seed);
            run.Start(seed);
            run.painter.UseBrush(1, 7);
            run.painter.DrawRidge(r.startX, r.startY, r.endX, r.endY, r.stepWidth, r.height,
                                  r.colour, r.fill);
            ExpectRidgeCalls(r, run.log, run.Draws());
            EXPECT_EQ(run.surface->SelectedPen()->colour, r.colour);
            EXPECT_EQ(run.surface->SelectedBrush()->colour, r.fill > 0 ? 1 : 7);
        }
    }
}

TEST(DrawStrokeBandTest, StrokesWidenDownwardWithJitterBelowTheWidth) {
    struct Band {
        std::int32_t left, top, leftFactor, right, bottom, rightFactor, colour, rowStep;
        std::size_t strokes;
        std::uint64_t draws;
    };
    const Band bands[] = {
        {520, 140, -1, 840, 190, 1, 1, 1, 50, 200},  // the recipe's two bands
        {140, 120, -1, 340, 190, 1, 2, 2, 35, 140},
        {140, 120, -1, 340, 120, 1, 3, 2, 0, 0},    // no height
        {140, 120, -1, 340, 50, 1, 3, 2, 35, 140},  // bottom above top
        {200, 10, 1, 200, 20, -1, 4, 3, 4, 0},      // no width
        {140, 120, -1, 340, 190, 1, 5, 0, 0, 0},    // no row step
        {140, 120, -1, 340, 190, 1, 5, -2, 0, 0},
    };
    GeneratorRun run;
    for (const Band& b : bands) {
        SCOPED_TRACE(testing::Message() << "band " << b.left << "," << b.top << " to " << b.right
                                        << "," << b.bottom << " step " << b.rowStep);
        run.Start(99);
        run.painter.DrawStrokeBand(b.left, b.top, b.leftFactor, b.right, b.bottom, b.rightFactor,
                                   b.colour, b.rowStep);
        EXPECT_EQ(run.Draws(), b.draws);
        EXPECT_EQ(run.surface->SelectedPen()->colour, b.colour);
        ASSERT_EQ(run.log.lines.size(), b.strokes);
        const std::int64_t jitter = Top(std::int64_t{b.right} - b.left);
        for (std::size_t k = 0; k < b.strokes; ++k) {
            const CallLog::LineCall& l = run.log.lines[k];
            const std::int64_t s = static_cast<std::int64_t>(k) * b.rowStep;
            EXPECT_TRUE(l.y1 == b.top + s && l.y2 == l.y1) << "stroke " << k;
            EXPECT_LE(std::abs(l.x1 - (b.left - s)), jitter);
            EXPECT_LE(std::abs(l.x2 - (b.right + s)), jitter);
        }
    }
    run.Start(5);
    run.painter.DrawStrokeBand(140, 120, -1, 340, 190, 1, 2, 2);
    const std::vector<CallLog::LineCall> below = run.log.lines;
    run.Start(5);
    run.painter.DrawStrokeBand(140, 120, -1, 340, 50, 1, 2, 2);
    EXPECT_EQ(run.log.lines, below) << "a bottom above the top mirrors below it";
}

// The centre and radii of an arc call.
struct ArcShape {
    std::int64_t x, y, rx, ry;
};
ArcShape ShapeOf(const CallLog::ArcCall& a) {
    const Rect& b = a.box;
    return {(std::int64_t{b.left} + b.right) / 2, (std::int64_t{b.top} + b.bottom) / 2,
            (std::int64_t{b.right} - b.left) / 2, (std::int64_t{b.bottom} - b.top) / 2};
}

TEST(ScatterArcPairsTest, PairsOfMirroredArcsGrowThenSettle) {
    struct Case {
        std::int32_t count;
        std::size_t pairs;
        std::uint64_t minDraws, maxDraws;
    };
    const Case cases[] = {{30, 29, 116, 145}, {7, 6, 24, 24}, {2, 1, 4, 4},
                          {1, 0, 0, 0},       {0, 0, 0, 0},   {-4, 0, 0, 0}};
    GeneratorRun run;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        run.Start(31);
        run.painter.UsePen(3);
        run.painter.ScatterArcPairs(c.count);
        EXPECT_EQ(run.surface->SelectedPen()->colour, 15);
        EXPECT_TRUE(Within(static_cast<std::int64_t>(run.Draws()), c.minDraws, c.maxDraws));
        ASSERT_EQ(run.log.arcs.size(), 2 * c.pairs);
        for (std::size_t i = 1; i <= c.pairs; ++i) {
            const CallLog::ArcCall& left = run.log.arcs[2 * i - 2];
            const CallLog::ArcCall& right = run.log.arcs[2 * i - 1];
            const ArcShape a = ShapeOf(left), b = ShapeOf(right);
            const auto n = static_cast<std::int64_t>(i);
            EXPECT_TRUE(Within(a.x, 0, 569) && Within(a.y, 20, 189));
            EXPECT_TRUE(n <= 6    ? Within(a.rx, n, n + 4)
                        : n >= 11 ? Within(a.rx, 5, 9)
                                  : a.rx <= 10);
            EXPECT_TRUE(a.ry == a.rx && b.rx == a.rx && b.ry == a.rx);
            EXPECT_EQ(Point(b.x, b.y), Point(a.x + 2 * a.rx, a.y));
            EXPECT_EQ(Point(left.xs, left.ys), Point(a.x + a.rx, a.y));
            EXPECT_EQ(Point(right.xe, right.ye), Point(a.x + a.rx, a.y - 1));
        }
    }
}

TEST(ScatterTuftsTest, TuftCountFollowsTheRectangleAndSize) {
    struct Case {
        std::int32_t left, top, right, bottom, size;
        std::size_t tufts;
        int drawsPerTuft;
    };
    const Case cases[] = {
        {325, 133, 640, 135, 22, 316, 5},  // the recipe's four strips
        {-10, 107, -4, 120, 20, 18, 5},   {240, 180, 570, 185, 20, 334, 5},
        {-10, 110, 175, 110, 14, 91, 5},  {0, 0, 300, 300, 4, 0, 5},  // size below 5
        {0, 0, 4, 0, 10, 1, 5},           {0, 0, 3, 0, 10, 0, 5},
        {20, 0, 10, 0, 10, 4, 5},   // right left of left
        {7, 0, 7, 20, 10, 9, 4},    // no width: x = left without a draw
        {0, 10, 40, 8, 10, 20, 4},  // bottom = top - 2: y = top without a draw
    };
    GeneratorRun run;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top << "," << c.right << ","
                                        << c.bottom << " size " << c.size);
        run.Start(77);
        run.painter.ScatterTufts(c.left, c.top, c.right, c.bottom, 3, c.size);
        EXPECT_EQ(run.surface->SelectedPen()->colour, 3);
        EXPECT_EQ(run.Draws(), c.tufts * static_cast<std::uint64_t>(c.drawsPerTuft));
        ASSERT_EQ(run.log.arcs.size(), c.tufts);
        const std::int64_t dx = std::int64_t{c.right} - c.left, dy = std::int64_t{c.bottom} - c.top;
        for (const CallLog::ArcCall& arc : run.log.arcs) {
            const ArcShape t = ShapeOf(arc);
            EXPECT_TRUE(Within(t.x - c.left, 0, Top(dx)) && Within(t.y - c.top, 0, Top(dy + 2)));
            EXPECT_TRUE(Within(t.rx, 0, Top(c.size / 2)) && Within(t.ry, 0, Top(c.size)));
            EXPECT_EQ(Point(arc.xs, arc.ys), Point(t.x + t.rx, t.y));
            EXPECT_TRUE(arc.xe <= t.x + 1 && arc.ye <= t.y) << "the hook bends over to the left";
        }
    }
}

TEST(SprinkleRowsTest, RowsThickenByTenPixelsFromTheLeftEdge) {
    struct Case {
        std::int32_t left, top, right, bottom;
        std::int64_t rows, maxX;
        std::uint64_t draws;
    };
    const Case cases[] = {
        {31, 50, 600, 189, 68, 568, 23460},  // the recipe's haze
        {0, 50, 600, 50, 0, 0, 0},
        {0, 50, 600, 51, 0, 0, 0},
        {0, 50, 600, 52, 0, 0, 0},
        {0, 50, 600, 53, 0, 0, 0},
        {0, 50, 600, 54, 1, 599, 10},
        {0, 50, 600, 55, 1, 599, 10},
        {100, 0, 110, 8, 3, 9, 60},  // left only narrows the strip
        {40, 0, 40, 8, 3, 0, 0},     // no width: every pixel at x 0, no draws
    };
    GeneratorRun run;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.left << "," << c.top << "," << c.right << "," << c.bottom);
        run.Start(12);
        const Pen* pen = run.surface->SelectedPen();
        run.painter.SprinkleRows(c.left, c.top, c.right, c.bottom, 6);
        EXPECT_EQ(run.surface->SelectedPen(), pen);
        EXPECT_EQ(run.Draws(), c.draws);
        std::map<std::int64_t, std::int64_t> perRow;
        for (const CallLog::PixelCall& p : run.log.pixels) {
            ++perRow[p.y];
            EXPECT_TRUE(Within(p.x, 0, c.maxX) && p.colour == 6);
        }
        ASSERT_EQ(static_cast<std::int64_t>(perRow.size()), c.rows);
        for (std::int64_t k = 1; k <= c.rows; ++k) {
            EXPECT_EQ(perRow[c.top + 2 * k], 10 * k) << "row " << c.top + 2 * k;
        }
    }
}

template <typename Call>
bool StartsWith(const std::vector<Call>& calls, const std::vector<Call>& prefix) {
    return prefix.size() <= calls.size() && std::equal(prefix.begin(), prefix.end(), calls.begin());
}

TEST(GeneratorOrderTest, EachGeneratorTakesItsValuesInOrder) {
    // A generator's first calls, and the same calls made directly from the values it should
    // have taken, in the order it should have taken them.
    using Values = std::vector<std::int32_t>;
    using Generate = std::function<void(ScenePainter&)>;
    using Replay = std::function<void(ScenePainter&, const Values&)>;
    const std::pair<Generate, Replay> cases[] = {
        {[](ScenePainter& p) { p.DrawRidge(330, 135, 640, 135, 45, 110, 1, -1); },
         [](ScenePainter& p, const Values& v) {
             p.Line(330, 135, 330 + v[0] % 45, 135 - 18 - v[1] % 110);
         }},
        {[](ScenePainter& p) { p.DrawStrokeBand(140, 120, -1, 340, 190, 1, 2, 2); },
         [](ScenePainter& p, const Values& v) {
             p.Line(140 - v[2] % 200 + v[3] % 200, 120, 340 + v[0] % 200 - v[1] % 200, 120);
         }},
        {[](ScenePainter& p) { p.ScatterArcPairs(2); },
         [](ScenePainter& p, const Values& v) {
             const std::int32_t x = v[0] % 570, y = v[1] % 170 + 20, s = 1 + v[2] % 5;
             p.ArcDeg(x, y, 0, 45 + v[3] % 135, s, s);
             p.ArcDeg(x + 2 * s, y, 135 - v[3] % 135, 180, s, s);
         }},
        {[](ScenePainter& p) { p.ScatterTufts(0, 0, 4, 0, 2, 10); },
         [](ScenePainter& p, const Values& v) {
             p.ArcDeg(v[0] % 4, v[1] % 2, 0, v[4] % 45 + 90, v[2] % 5, v[3] % 10);
         }},
        {[](ScenePainter& p) { p.SprinkleRows(300, 0, 400, 4, 6); },
         [](ScenePainter& p, const Values& v) {
             for (int i = 0; i < 10; ++i) {
                 p.Plot(v[static_cast<std::size_t>(i)] % 100, 2, 6);
             }
         }},
    };
    GeneratorRun run;
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(k);
        Values values;
        run.Start(1000 + static_cast<std::uint32_t>(k));
        for (int i = 0; i < 10; ++i) {
            values.push_back(run.rng.Next());
        }
        run.Start(1000 + static_cast<std::uint32_t>(k));
        cases[k].first(run.painter);
        const CallLog generated = run.log;
        run.log = CallLog{};
        cases[k].second(run.painter, values);
        EXPECT_TRUE(StartsWith(generated.lines, run.log.lines));
        EXPECT_TRUE(StartsWith(generated.arcs, run.log.arcs));
        EXPECT_TRUE(StartsWith(generated.pixels, run.log.pixels));
    }
}

}  // namespace
}  // namespace vistrel::test
