#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "scene/SceneChoices.h"
#include "tests/scene/SceneTestSupport.h"

namespace vistrel::test {
namespace {

// One picture of a scene seed: the draws taken before each step of its recipe began, and what
// it chose, read from the primitives it drew.
class Painted : public PaintObserver {
  public:
    explicit Painted(std::uint32_t seed) {
        SceneRng rng;
        rng.Seed(seed);
        bitmap = RenderSceneBitmap({0, 0, 570, 190}, rng, *this, &log);
        EXPECT_NE(bitmap, nullptr);
        EXPECT_EQ(DrawsBefore(SceneStep::End), rng.Draws());
    }

    bool StepBegins(SceneStep step, SceneElement, std::uint64_t draws) override {
        drawsBefore[static_cast<std::size_t>(step)] = draws;
        return true;
    }

    std::uint64_t DrawsBefore(SceneStep step) const {
        return drawsBefore[static_cast<std::size_t>(step)];
    }
    std::uint64_t DrawsOf(SceneStep step) const {
        return DrawsBefore(static_cast<SceneStep>(static_cast<int>(step) + 1)) - DrawsBefore(step);
    }

    // The sky is the first fill, the haze the first pixels, in the accent colour.
    std::int32_t Sky() const { return log.fills.front().brush; }
    std::int32_t Accent() const { return log.pixels.front().colour; }
    // The disc is the picture's only circle, and the birds its last 58 arcs.
    bool Disc() const { return !log.ellipses.empty(); }
    bool Tufts() const { return log.arcs.size() > 58; }

    CallLog log;
    std::unique_ptr<SceneBitmap> bitmap;

  private:
    std::array<std::uint64_t, SceneStepCount> drawsBefore{};
};

TEST(ScenePainterRecipeTest, KnownPicturesChooseTheirColoursAndElements) {
    struct Picture {
        std::uint32_t seed;
        std::int32_t sky;
        std::uint64_t ranges[3];
        std::int32_t accent;
        bool disc, tufts;
        std::uint64_t total;
    };
    const Picture pictures[] = {
        {1, 1, {244, 156, 354}, 15, true, true, 28651},
        {2, 0, {250, 158, 344}, 14, false, true, 28648},
        {3, 12, {262, 158, 342}, 9, false, false, 24864},
        {7, 14, {260, 174, 358}, 15, false, false, 24893},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.seed);
        const Painted r(p.seed);
        EXPECT_EQ(r.Sky(), p.sky);
        EXPECT_EQ(r.DrawsOf(SceneStep::Range1), p.ranges[0]);
        EXPECT_EQ(r.DrawsOf(SceneStep::Range2), p.ranges[1]);
        EXPECT_EQ(r.DrawsOf(SceneStep::Range3), p.ranges[2]);
        EXPECT_EQ(r.Accent(), p.accent);
        EXPECT_EQ(r.Disc(), p.disc);
        EXPECT_EQ(r.Tufts(), p.tufts);
        EXPECT_EQ(r.DrawsBefore(SceneStep::End), p.total);
    }
    EXPECT_EQ(Painted(1).DrawsBefore(SceneStep::Accent), 1095u);
}

TEST(ScenePainterRecipeTest, ADiscShowsOnlyUnderANightSkyAndTuftsUnderMostSkies) {
    static_assert(DiscShows(1, 15) && !DiscShows(1, 7) && !DiscShows(2, 15));
    static_assert(TuftsShow(12, 1) && !TuftsShow(12, 2));
    for (std::int32_t accent = 0; accent < 16; ++accent) {
        SCOPED_TRACE(accent);
        int discSkies = 0, grassySkies = 0;
        for (std::int32_t sky = 0; sky < 16; ++sky) {
            discSkies += DiscShows(sky, accent);
            grassySkies += TuftsShow(sky, accent);
        }
        EXPECT_EQ(discSkies, DiscShows(1, accent) ? 1 : 0);
        // A dark blue accent brings grass to every sky; any other to half of them.
        EXPECT_EQ(grassySkies, accent == 1 ? 16 : 8);
    }
    int discAccents = 0;
    for (std::int32_t accent = 0; accent < 16; ++accent) {
        discAccents += DiscShows(1, accent);
    }
    EXPECT_EQ(discAccents, 7);
}

TEST(ScenePainterRecipeTest, EveryPictureTakesItsDrawsStepByStep) {
    int discs = 0, skippedTufts = 0, whiteSkies = 0;
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        SCOPED_TRACE(seed);
        const Painted r(seed);
        SceneRng values;
        values.Seed(seed);
        const bool nightSky = values.Next() % 3 == 2;
        EXPECT_EQ(r.Sky(), nightSky ? 1 : values.Next() % 16);
        EXPECT_EQ(r.DrawsOf(SceneStep::SkyColour), nightSky ? 1u : 2u);
        SceneRng accent;
        accent.Seed(AdvanceState(seed, r.DrawsBefore(SceneStep::Accent)));
        EXPECT_EQ(r.Accent(), accent.Next() % 16);

        EXPECT_EQ(r.DrawsOf(SceneStep::SkyFill), 0u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Band1), 200u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Band2), 140u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Accent), 1u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Haze), 23460u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Disc), 0u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Glints), 162u);
        EXPECT_EQ(r.DrawsOf(SceneStep::Tufts), r.Tufts() ? 3795u : 0u);
        EXPECT_GE(r.DrawsOf(SceneStep::Birds), 116u);
        EXPECT_LE(r.DrawsOf(SceneStep::Birds), 145u);
        EXPECT_EQ(r.Disc(), DiscShows(r.Sky(), r.Accent()));
        EXPECT_EQ(r.Tufts(), TuftsShow(r.Sky(), r.Accent()));
        // Only the second band under a white sky asks for a colour past the palette.
        const bool pastPalette =
            std::count(r.bitmap->pixels.begin(), r.bitmap->pixels.end(), OutOfPalette) > 0;
        EXPECT_EQ(pastPalette, r.Sky() == 15);
        discs += r.Disc();
        skippedTufts += !r.Tufts();
        whiteSkies += r.Sky() == 15;
    }
    EXPECT_GT(discs, 0);
    EXPECT_GT(skippedTufts, 0);
    EXPECT_GT(whiteSkies, 0);
}

TEST(ScenePainterRecipeTest, UnderANightSkyTheRangesAreInvisible) {
    const auto full = RenderSeed(1);
    const auto withoutRanges = RenderWithout(1, SceneElement::Ranges);
    EXPECT_EQ(full->pixels, withoutRanges->pixels);
}

TEST(ScenePainterRecipeTest, UnderABlackSkyTheRangesAreStillFilled) {
    // Seed 2 has sky colour 0. The outline of the near range alone covers a few hundred pixels
    // of its area; filled, it covers thousands.
    const auto full = RenderSeed(2);
    const auto withoutRanges = RenderWithout(2, SceneElement::Ranges);
    int filled = 0;
    for (const auto& [x, y] : DifferingPixels(*full, *withoutRanges)) {
        filled += x >= 330 && y < 135 &&
                  full->At(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)) == 1;
    }
    EXPECT_GT(filled, 4000);
}

TEST(ScenePainterRecipeTest, TheDiscIsASolidAccentCircleLowOverTheFarRange) {
    // Seed 1: sky 1, accent 15, so a white disc of radius 30 around (205, 75).
    auto expected = BlankSurface(570, 190);
    const Pen pen{15};
    const Brush brush{15};
    expected->SelectPen(&pen);
    expected->SelectBrush(&brush);
    expected->Ellipse(175, 45, 235, 105);
    const PointSet disc = PixelsOf(*expected);
    const auto full = RenderSeed(1);
    for (const auto& [x, y] : disc) {
        ASSERT_EQ(full->At(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)), 15);
    }
    const auto withoutDisc = RenderWithout(1, SceneElement::Disc);
    const PointSet differing = DifferingPixels(*full, *withoutDisc);
    EXPECT_FALSE(differing.empty());
    EXPECT_TRUE(std::includes(disc.begin(), disc.end(), differing.begin(), differing.end()));
}

TEST(ScenePainterRecipeTest, GlintsLieOnTheirRowsInTheAccentColour) {
    const std::int32_t rows[54] = {
        121, 122, 124, 125, 127, 128, 129, 131, 132, 134, 135, 136, 138, 139, 141, 142, 143, 145,
        146, 148, 149, 150, 152, 153, 155, 156, 157, 159, 160, 162, 163, 164, 166, 167, 169, 170,
        171, 173, 174, 176, 177, 178, 180, 181, 182, 184, 185, 187, 188, 190, 191, 192, 194, 195};
    for (const std::uint32_t seed : {1u, 3u}) {
        const Painted painted(seed);
        const CallLog& log = painted.log;
        const std::int32_t accent = painted.Accent();
        // The glints are the last lines of a picture: tufts and birds are arcs.
        ASSERT_GE(log.lines.size(), 54u);
        const auto glints = log.lines.end() - 54;
        for (int i = 0; i < 54; ++i) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " glint " << i + 1);
            const CallLog::LineCall& g = glints[i];
            EXPECT_EQ(g.y1, rows[i]);
            EXPECT_EQ(g.y2, rows[i]);
            EXPECT_TRUE(g.x1 >= 0 && g.x1 < 330);
            EXPECT_TRUE(g.x2 >= 0 && g.x2 <= 19 * (i + 1) + 199);
            EXPECT_EQ(g.pen, accent);
        }
    }
}

}  // namespace
}  // namespace vistrel::test
