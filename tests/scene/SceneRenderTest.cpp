#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "tests/scene/SceneTestSupport.h"

namespace vistrel::test {
namespace {

TEST(RenderSceneBitmapTest, BitmapShowsTheFrameAsIfClippedToTheBitmapAndBlackBeyond) {
    // A smaller bitmap is not simply the top-left of the full picture: a fill whose seed or
    // region lies beyond the bitmap stops at its edge, as it would at the edge of a clip.
    for (const std::uint32_t seed : {1u, 3u, 7u}) {
        for (const Rect& r : {Rect{0, 0, 600, 206}, Rect{0, 0, 700, 300}, Rect{0, 0, 100, 50},
                              Rect{10, 20, 110, 70}, Rect{-5, -5, 1, 1}}) {
            const std::int32_t w = r.right - r.left, h = r.bottom - r.top;
            SCOPED_TRACE(testing::Message() << "seed " << seed << " size " << w << "x" << h);
            SceneRng rng;
            rng.Seed(seed);
            auto frame = BlankSurface(570, 190);
            frame->IntersectClipRect(0, 0, w, h);
            ScenePainter(rng).PaintOn(*frame);
            rng.Seed(seed);
            const auto bitmap = RenderSceneBitmap(r, rng);
            ASSERT_NE(bitmap, nullptr);
            ASSERT_TRUE(bitmap->width == w && bitmap->height == h);
            ASSERT_EQ(bitmap->pixels.size(), static_cast<std::size_t>(w) * h);
            for (std::int32_t y = 0; y < h; ++y) {
                for (std::int32_t x = 0; x < w; ++x) {
                    const ColourIndex expected = x < 570 && y < 190 ? frame->PixelAt(x, y) : 0;
                    ASSERT_EQ(bitmap->At(x, y), expected) << x << "," << y;
                }
            }
        }
    }
}

TEST(RenderSceneBitmapTest, SameSeedingSamePicture) {
    SceneRng rng;
    SceneSeed(rng, 1765432109u, 5);
    const auto first = RenderSceneBitmap({0, 0, 570, 190}, rng);
    const std::uint64_t draws = rng.Draws();
    SceneSeed(rng, 1765432109u, 5);
    const auto second = RenderSceneBitmap({0, 0, 570, 190}, rng);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->pixels, second->pixels);
    EXPECT_EQ(rng.Draws(), 2 * draws);
}

TEST(RenderSceneBitmapTest, RectanglesWithoutAUsableSizeGiveNoBitmapAndTakeNoDraws) {
    const Rect rectangles[] = {{0, 0, 0, 0},
                               {0, 0, 0, 10},
                               {0, 0, 10, 0},
                               {0, 0, -5, 10},
                               {10, 10, 0, 20},
                               {10, 20, 20, 10},
                               {0, 0, 8193, 10},
                               {0, 0, 10, 8193},
                               {-8192, 0, 1, 1},
                               {INT32_MIN, 0, INT32_MAX, 10},
                               {0, INT32_MIN, 10, INT32_MAX},
                               {INT32_MAX, 0, INT32_MIN, 10}};
    SceneRng rng;
    for (const Rect& r : rectangles) {
        EXPECT_EQ(RenderSceneBitmap(r, rng), nullptr)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_EQ(rng.Draws(), 0u);
    const auto widest = RenderSceneBitmap({0, 0, 8192, 1}, rng);
    ASSERT_NE(widest, nullptr);
    EXPECT_EQ(widest->width, 8192);
}

TEST(PaintObserverTest, DrawingReportsEveryBoundInOrder) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        SceneRng painted;
        painted.Seed(seed);
        DrawBounds observer;
        ASSERT_NE(RenderSceneBitmap({0, 0, 570, 190}, painted, observer), nullptr);
        // The same bounds drawn again, alone, leave the source exactly where the picture did.
        SceneRng replayed;
        replayed.Seed(seed);
        for (const std::int32_t bound : observer.bounds) {
            RandomBelow(replayed, bound);
        }
        EXPECT_EQ(replayed.Draws(), painted.Draws());
        EXPECT_EQ(replayed.State(), painted.State());
    }
}

TEST(OmittedElementTest, OmittingAnElementKeepsEveryDraw) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        SceneRng full;
        full.Seed(seed);
        ASSERT_NE(RenderSceneBitmap({0, 0, 570, 190}, full), nullptr);
        for (const NamedElement& e : ElementNames) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " without " << e.name);
            SceneRng omitted;
            omitted.Seed(seed);
            SceneElements elements;
            elements.Add(e.element);
            ElementOmitter omitter(elements);
            const auto bitmap = RenderSceneBitmap({0, 0, 570, 190}, omitted, omitter);
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(omitted.Draws(), full.Draws());
            EXPECT_EQ(omitted.State(), full.State());
        }
    }
}

TEST(OmittedElementTest, WithoutBirdsOnlyTheBirdPixelsChange) {
    for (const std::uint32_t seed : {1u, 2u, 3u, 7u}) {
        SCOPED_TRACE(seed);
        CallLog log;
        PaintObserver watchingNothing;
        const auto full = RenderSeed(seed, watchingNothing, &log);
        const auto withoutBirds = RenderWithout(seed, SceneElement::Birds);
        // The birds are the last 58 arcs; repaint them alone.
        ASSERT_GE(log.arcs.size(), 58u);
        auto birds = BlankSurface(570, 190);
        const Pen white{15};
        birds->SelectPen(&white);
        for (auto a = log.arcs.end() - 58; a != log.arcs.end(); ++a) {
            birds->Arc(a->box.left, a->box.top, a->box.right, a->box.bottom, a->xs, a->ys, a->xe,
                       a->ye);
        }
        const PointSet birdPixels = PixelsOf(*birds);
        const PointSet differing = DifferingPixels(*full, *withoutBirds);
        EXPECT_FALSE(differing.empty());
        for (const auto& [x, y] : differing) {
            ASSERT_TRUE(birdPixels.count({x, y})) << x << "," << y;
            ASSERT_EQ(full->At(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)), 15);
        }
    }
}

TEST(OmittedElementTest, WithoutSkyTheSkyStaysBlack) {
    // Seed 3 has sky colour 12.
    const auto full = RenderSeed(3);
    const auto withoutSky = RenderWithout(3, SceneElement::Sky);
    const PointSet differing = DifferingPixels(*full, *withoutSky);
    EXPECT_GT(differing.size(), 10000u);
    for (const auto& [x, y] : differing) {
        const auto px = static_cast<std::int32_t>(x), py = static_cast<std::int32_t>(y);
        ASSERT_EQ(full->At(px, py), 12) << x << "," << y;
        ASSERT_EQ(withoutSky->At(px, py), 0) << x << "," << y;
    }
}

}  // namespace
}  // namespace vistrel::test
