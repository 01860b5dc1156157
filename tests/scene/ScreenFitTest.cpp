#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "scene/ScreenFit.h"

namespace vistrel {
namespace {

struct FitCase {
    const char* name;
    std::int32_t screenWidth;
    std::int32_t screenHeight;
    ScreenFit expected;
};

// A 570 × 190 picture on screens and windows from a single pixel up.
const FitCase FitCases[] = {
    {"1280 x 1024: 2x", 1280, 1024, {2, 0, 0, 570, 190, 70, 322}},
    {"1920 x 1080: 3x", 1920, 1080, {3, 0, 0, 570, 190, 105, 255}},
    {"3840 x 2160: 6x", 3840, 2160, {6, 0, 0, 570, 190, 210, 510}},
    {"exactly 2x", 1140, 380, {2, 0, 0, 570, 190, 0, 0}},
    {"a pixel short of 2x high", 1140, 379, {1, 0, 0, 570, 190, 285, 94}},
    {"a wide strip, limited by height", 9000, 400, {2, 0, 0, 570, 190, 3930, 10}},
    {"the picture's own size", 570, 190, {1, 0, 0, 570, 190, 0, 0}},
    {"narrower: the middle columns", 400, 600, {1, 85, 0, 400, 190, 0, 205}},
    {"odd crop keeps the left edge's share", 401, 190, {1, 84, 0, 401, 190, 0, 0}},
    {"lower: the middle rows", 800, 100, {1, 0, 45, 570, 100, 115, 0}},
    {"1 x 1: the centre pixel", 1, 1, {1, 284, 94, 1, 1, 0, 0}},
    {"16384 x 16384", 16384, 16384, {28, 0, 0, 570, 190, 212, 5532}},
    {"no screen", 0, 0, {1, 0, 0, 0, 0, 0, 0}},
    {"a negative size", -5, 300, {1, 0, 0, 0, 0, 0, 0}},
};

auto Fields(const ScreenFit& f) {
    return std::tuple(f.scale, f.sourceX, f.sourceY, f.sourceWidth, f.sourceHeight, f.screenX,
                      f.screenY);
}

TEST(ScreenFitTest, PicksTheLargestWholeScaleCentredOrTheCroppedMiddle) {
    for (const FitCase& c : FitCases) {
        SCOPED_TRACE(c.name);
        const ScreenFit fit = FitOnScreen(570, 190, c.screenWidth, c.screenHeight);
        EXPECT_EQ(Fields(fit), Fields(c.expected));
        if (fit.sourceWidth > 0) {
            // Whatever shows lies on the screen and inside the picture.
            EXPECT_LE(fit.screenX + fit.sourceWidth * fit.scale, c.screenWidth);
            EXPECT_LE(fit.screenY + fit.sourceHeight * fit.scale, c.screenHeight);
            EXPECT_LE(fit.sourceX + fit.sourceWidth, 570);
            EXPECT_LE(fit.sourceY + fit.sourceHeight, 190);
        }
    }
}

// A small picture with a different colour in every pixel, so any misplaced pixel shows.
SceneBitmap Numbered(std::int32_t width, std::int32_t height) {
    SceneBitmap bitmap{width, height, {}};
    for (std::int32_t i = 0; i < width * height; ++i) {
        bitmap.pixels.push_back(static_cast<ColourIndex>(1 + i % 16));
    }
    return bitmap;
}

TEST(ScreenFitTest, ScreenImageIsThePictureAtItsFitOnBlack) {
    const SceneBitmap picture = Numbered(5, 3);
    const std::int32_t sizes[][2] = {{5, 3}, {17, 9}, {12, 7}, {3, 2}, {1, 1}, {40, 4}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        const SceneBitmap screen = ShowOnScreen(picture, size[0], size[1]);
        const ScreenFit fit = FitOnScreen(5, 3, size[0], size[1]);
        ASSERT_EQ(screen.width, size[0]);
        ASSERT_EQ(screen.height, size[1]);
        for (std::int32_t y = 0; y < size[1]; ++y) {
            for (std::int32_t x = 0; x < size[0]; ++x) {
                const std::int32_t px = x - fit.screenX;
                const std::int32_t py = y - fit.screenY;
                const bool shown = px >= 0 && py >= 0 && px < fit.sourceWidth * fit.scale &&
                                   py < fit.sourceHeight * fit.scale;
                const ColourIndex expected =
                    shown ? picture.At(fit.sourceX + px / fit.scale, fit.sourceY + py / fit.scale)
                          : ColourIndex{0};
                ASSERT_EQ(screen.At(x, y), expected) << "at " << x << ", " << y;
            }
        }
    }
    EXPECT_TRUE(ShowOnScreen(picture, 0, 10).pixels.empty());
}

}  // namespace
}  // namespace vistrel
