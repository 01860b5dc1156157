#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/MonitorLayout.h"
#include "scene/Picture.h"
#include "scene/ScreenFit.h"

namespace vistrel {
namespace {

struct LayoutCase {
    const char* name;
    std::vector<Monitor> monitors;
};

const LayoutCase Layouts[] = {
    {"2560 x 1440 beside 1920 x 1080", {{0, 0, 2560, 1440, 1}, {2560, 0, 1920, 1080, 1}}},
    {"3840 x 2160 at 200 % beside 1920 x 1080 at 100 %",
     {{0, 0, 1920, 1080, 2}, {1920, 0, 1920, 1080, 1}}},
    {"1920 x 1080 beside a portrait 1080 x 1920",
     {{0, 400, 1920, 1080, 1}, {1920, 0, 1080, 1920, 1}}},
    {"three 1920 x 1080 in a row",
     {{0, 0, 1920, 1080, 1}, {1920, 0, 1920, 1080, 1}, {3840, 0, 1920, 1080, 1}}},
    {"scales 2 and 3, left of the origin", {{-700, 0, 700, 300, 3}, {0, 50, 640, 240, 2}}},
    {"smaller than the picture", {{0, 0, 400, 150, 1}, {400, 0, 300, 100, 2}}},
};

// The picture pixel a device pixel shows when one picture spans every monitor, worked out from
// the device pixel's centre in logical coordinates; -1 for black.
int AcrossAllSource(double centre, const ScreenFit& fit, bool columns) {
    const int screen = columns ? fit.screenX : fit.screenY;
    const int first = columns ? fit.sourceX : fit.sourceY;
    const int length = columns ? fit.sourceWidth : fit.sourceHeight;
    const int offset = static_cast<int>(std::floor((centre - screen) / fit.scale));
    return offset >= 0 && offset < length ? first + offset : -1;
}

class MonitorLayoutTest : public ::testing::TestWithParam<LayoutCase> {
  protected:
    static void SetUpTestSuite() { picture = PictureOfSeed(20877).release(); }
    static void TearDownTestSuite() { delete picture; }
    static const SceneBitmap* picture;
};

const SceneBitmap* MonitorLayoutTest::picture = nullptr;

TEST_P(MonitorLayoutTest, eachMonitorShowsThePictureFittedToItsOwnDevicePixels) {
    const auto& monitors = GetParam().monitors;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        SCOPED_TRACE(i);
        const Monitor& m = monitors[i];
        const SceneBitmap shown = MonitorImage(*picture, monitors, i, Spread::EachMonitor);
        const SceneBitmap expected = ShowOnScreen(*picture, m.width * m.scale, m.height * m.scale);
        EXPECT_EQ(shown.width, expected.width);
        EXPECT_EQ(shown.height, expected.height);
        EXPECT_TRUE(shown.pixels == expected.pixels);
    }
}

TEST_P(MonitorLayoutTest, acrossAllEveryDevicePixelIsThePicturePixelUnderIt) {
    const auto& monitors = GetParam().monitors;
    int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const Monitor& m : monitors) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        right = std::max(right, m.x + m.width);
        bottom = std::max(bottom, m.y + m.height);
    }
    const ScreenFit fit = FitOnScreen(picture->width, picture->height, right - left, bottom - top);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        SCOPED_TRACE(i);
        const Monitor& m = monitors[i];
        const SceneBitmap shown = MonitorImage(*picture, monitors, i, Spread::AcrossAll);
        ASSERT_EQ(shown.width, m.width * m.scale);
        ASSERT_EQ(shown.height, m.height * m.scale);
        std::vector<int> columns(static_cast<std::size_t>(shown.width));
        for (int x = 0; x < shown.width; ++x) {
            columns[static_cast<std::size_t>(x)] =
                AcrossAllSource(m.x - left + (x + 0.5) / m.scale, fit, true);
        }
        int wrong = 0;
        for (int y = 0; y < shown.height; ++y) {
            const int sourceY = AcrossAllSource(m.y - top + (y + 0.5) / m.scale, fit, false);
            for (int x = 0; x < shown.width; ++x) {
                const int sourceX = columns[static_cast<std::size_t>(x)];
                const ColourIndex expected =
                    sourceX < 0 || sourceY < 0 ? ColourIndex{0} : picture->At(sourceX, sourceY);
                wrong += shown.At(x, y) != expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// What a desktop that stretches one image over all monitors shows on each: its part, every
// device pixel a whole block, so smoothing cannot blend two picture pixels.
TEST_P(MonitorLayoutTest, theSpannedImageHoldsEachMonitorsPicturePixelsAsWholeBlocks) {
    const auto& monitors = GetParam().monitors;
    const std::int32_t span = SpanScale(monitors);
    int left = INT32_MAX, top = INT32_MAX;
    for (const Monitor& m : monitors) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        EXPECT_EQ(span % m.scale, 0);
    }
    for (const Spread spread : {Spread::EachMonitor, Spread::AcrossAll}) {
        const SceneBitmap spanned = SpannedImage(*picture, monitors, spread);
        ASSERT_FALSE(spanned.pixels.empty());
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            SCOPED_TRACE(i);
            const Monitor& m = monitors[i];
            const SceneBitmap shown = MonitorImage(*picture, monitors, i, spread);
            const int block = span / m.scale;
            int wrong = 0;
            for (int y = 0; y < shown.height * block; ++y) {
                for (int x = 0; x < shown.width * block; ++x) {
                    wrong += spanned.At((m.x - left) * span + x, (m.y - top) * span + y) !=
                             shown.At(x / block, y / block);
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, MonitorLayoutTest, ::testing::ValuesIn(Layouts),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(MonitorLayout, noMonitorsOrEmptyOnesGiveNothing) {
    SceneBitmap picture{2, 1, {1, 2}};
    EXPECT_TRUE(SpannedImage(picture, {}, Spread::AcrossAll).pixels.empty());
    EXPECT_TRUE(MonitorImage(picture, {{0, 0, 0, 10, 1}}, 0, Spread::EachMonitor).pixels.empty());
    EXPECT_TRUE(MonitorImage(picture, {{0, 0, 10, 10, 1}}, 1, Spread::AcrossAll).pixels.empty());
    EXPECT_EQ(SpanScale({{0, 0, 10, 10, 2}, {10, 0, 10, 10, 3}}), 6);
}

}  // namespace
}  // namespace vistrel
