#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/Picture.h"
#include "scene/ScreenFit.h"
#include "tests/tools/CommandLineSupport.h"
#include "tools/vistrel-saver/PixelFormat.h"
#include "tools/vistrel-saver/SaverCommand.h"
#include "tools/vistrel-saver/WindowPicture.h"

namespace vistrel {
namespace {

using test::Args;
using test::Joined;

// A parsed command as one line: target, window, delay and run seed.
std::string Described(const SaverCommand& c) {
    if (c.mode == SaverCommand::Mode::Help) {
        return "help";
    }
    const char* target = c.target == SaverCommand::Target::Root     ? "root"
                         : c.target == SaverCommand::Target::Window ? "window "
                                                                    : "own";
    return target + (c.target == SaverCommand::Target::Window ? std::to_string(c.windowId) : "") +
           " every " + std::to_string(c.delaySeconds) + "s run " +
           (c.runSeed ? std::to_string(*c.runSeed) : "clock");
}

TEST(SaverCommandTest, ValidCommandLines) {
    struct Case {
        Args args;
        const char* xscreensaverWindow;
        std::string expected;
    };
    const Case cases[] = {
        {{}, nullptr, "own every 5s run clock"},
        {{"--window"}, "0x10", "own every 5s run clock"},
        {{"--root"}, nullptr, "root every 5s run clock"},
        {{"-root", "--delay", "1"}, nullptr, "root every 1s run clock"},
        {{"--root"}, "0x1a00003", "window 27262979 every 5s run clock"},
        {{"--root"}, "27262979", "window 27262979 every 5s run clock"},
        {{"--window-id", "0XFFFFFFFF", "--delay", "3600"},
         nullptr,
         "window 4294967295 every 3600s run clock"},
        {{"-window-id", "12", "--run-seed", "4294967295"},
         nullptr,
         "window 12 every 5s run 4294967295"},
        {{"--run-seed", "0", "-h"}, nullptr, "help"},
    };
    for (const Case& c : cases) {
        const SaverParseResult parsed = ParseSaverCommand(c.args, c.xscreensaverWindow);
        ASSERT_TRUE(parsed.command) << Joined(c.args) << ": " << parsed.error;
        EXPECT_EQ(Described(*parsed.command), c.expected) << Joined(c.args);
    }
}

TEST(SaverCommandTest, BadCommandLinesGetOneLine) {
    struct Case {
        Args args;
        const char* xscreensaverWindow;
        std::string error;
    };
    const Case cases[] = {
        {{"--delay", "0"},
         nullptr,
         "--delay takes a whole number of seconds from 1 to 3600, not '0'"},
        {{"--delay", "3601"},
         nullptr,
         "--delay takes a whole number of seconds from 1 to 3600, not '3601'"},
        {{"--delay", "5s"},
         nullptr,
         "--delay takes a whole number of seconds from 1 to 3600, not '5s'"},
        {{"--delay"}, nullptr, "--delay needs a value"},
        {{"--root"}, "0xZZ", "XSCREENSAVER_WINDOW is not a window id: '0xZZ'"},
        {{"--root"}, "", "XSCREENSAVER_WINDOW is not a window id: ''"},
        {{"--window-id", "-1"},
         nullptr,
         "--window-id takes a window id, hex 0x... or decimal, not '-1'"},
        {{"--window-id", "0x\n1"},
         nullptr,
         "--window-id takes a window id, hex 0x... or decimal, not '0x?1'"},
        {{"--run-seed", "4294967296"},
         nullptr,
         "--run-seed takes a whole number from 0 to 4294967295, not '4294967296'"},
        {{"--root", "--window-id", "5"},
         nullptr,
         "give only one of --root, --window-id and --window, not --root and --window-id"},
        {{"-root", "--root"}, nullptr, "--root given twice"},
        {{"--fps"}, nullptr, "unknown option '--fps' (see --help)"},
    };
    for (const Case& c : cases) {
        const SaverParseResult parsed = ParseSaverCommand(c.args, c.xscreensaverWindow);
        EXPECT_FALSE(parsed.command) << Joined(c.args);
        EXPECT_EQ(parsed.error, c.error) << Joined(c.args);
    }
}

TEST(SaverCommandTest, WindowIds) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"0x1a00003", 0x1a00003},    {"0X1A00003", 0x1a00003},     {"27262979", 27262979},
        {"4294967295", 4294967295u}, {"0", std::nullopt},          {"0x0", std::nullopt},
        {"0x", std::nullopt},        {"4294967296", std::nullopt}, {"+5", std::nullopt},
        {" 5", std::nullopt},        {"0x1g", std::nullopt},       {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseWindowId(text), expected) << text;
    }
}

TEST(PixelFormatTest, ChannelsGoToTheirMasksInTheServersByteOrder) {
    struct Case {
        const char* name;
        std::uint32_t red, green, blue;
        int depth;
        bool mostSignificantFirst;
        std::uint32_t pixel;    // of 0x00123456: red 0x56, green 0x34, blue 0x12
        std::uint8_t bytes[4];  // as stored
    };
    const Case cases[] = {
        {"24-bit RGB", 0xFF0000, 0xFF00, 0xFF, 24, false, 0x563412, {0x12, 0x34, 0x56, 0}},
        {"24-bit BGR, big-endian",
         0xFF,
         0xFF00,
         0xFF0000,
         24,
         true,
         0x123456,
         {0, 0x12, 0x34, 0x56}},
        {"32-bit ARGB is opaque",
         0xFF0000,
         0xFF00,
         0xFF,
         32,
         false,
         0xFF563412,
         {0x12, 0x34, 0x56, 0xFF}},
        {"30 bits of colour in 32",
         0x3FF00000,
         0xFFC00,
         0x3FF,
         32,
         false,
         0xC0000000 | (0x159u << 20) | (0xD1u << 10) | 0x48u,
         {0x48, 0x44, 0x93, 0xD5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto format =
            PixelFormat::ForTrueColor(c.red, c.green, c.blue, c.depth, 32, c.mostSignificantFirst);
        ASSERT_TRUE(format);
        EXPECT_EQ(format->Pixel(OutOfPaletteColor), c.pixel);
        std::uint8_t stored[4] = {};
        format->Store(format->Pixel(OutOfPaletteColor), stored);
        EXPECT_EQ(std::vector(stored, stored + 4), std::vector(c.bytes, c.bytes + 4));
        EXPECT_EQ(format->Pixel(0xFFFFFF) & (c.red | c.green | c.blue), c.red | c.green | c.blue);
    }
}

TEST(PixelFormatTest, RefusesWhatItCannotPaintIn) {
    struct Case {
        const char* name;
        std::uint32_t red, green, blue;
        int depth, bitsPerPixel;
    };
    const Case cases[] = {
        {"16-bit", 0xF800, 0x7E0, 0x1F, 16, 16},
        {"24 bits packed in 3 bytes", 0xFF0000, 0xFF00, 0xFF, 24, 24},
        {"8-bit", 0xE0, 0x1C, 0x3, 8, 8},
        {"a mask in two runs", 0xF0F000, 0xF00, 0xFF, 24, 32},
        {"overlapping masks", 0xFF0000, 0xFFFF00, 0xFF, 24, 32},
        {"no blue", 0xFF0000, 0xFF00, 0, 24, 32},
        {"a mask beyond the depth", 0xFF000000, 0xFF00, 0xFF, 24, 32},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(
            PixelFormat::ForTrueColor(c.red, c.green, c.blue, c.depth, c.bitsPerPixel, false))
            << c.name;
    }
}

// Every shown pixel of the prepared window is the pixel of the picture the shared fit puts there.
TEST(WindowPictureTest, HoldsTheFittedPictureInTheWindowsPixels) {
    SceneBitmap picture{PictureWidth, PictureHeight, {}};
    for (std::int32_t i = 0; i < PictureWidth * PictureHeight; ++i) {
        picture.pixels.push_back(
            static_cast<ColourIndex>((i * 7 + i / PictureWidth) % StoredColourCount));
    }
    const auto format = PixelFormat::ForTrueColor(0xFF0000, 0xFF00, 0xFF, 24, 32, false);
    ASSERT_TRUE(format);
    const std::pair<std::int32_t, std::int32_t> windows[] = {
        {1, 1}, {300, 100}, {570, 190}, {1141, 600}, {1920, 1080}, {9000, 400},
    };
    for (const auto& [width, height] : windows) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const WindowPicture prepared(picture, width, height, *format);
        const ScreenFit fit = FitOnScreen(PictureWidth, PictureHeight, width, height);
        ASSERT_EQ(prepared.Width(), fit.sourceWidth * fit.scale);
        ASSERT_EQ(prepared.Height(), fit.sourceHeight * fit.scale);
        const SceneBitmap screen = ShowOnScreen(picture, width, height);
        for (std::int32_t y = 0; y < prepared.Height(); ++y) {
            const auto row = prepared.Row(y);
            ASSERT_EQ(row.size(), static_cast<std::size_t>(prepared.Width()) * 4);
            for (std::int32_t x = 0; x < prepared.Width(); ++x) {
                std::uint8_t expected[4];
                format->Store(
                    format->Pixel(StoredColor(screen.At(fit.screenX + x, fit.screenY + y))),
                    expected);
                ASSERT_TRUE(std::equal(expected, expected + 4, row.begin() + 4 * x))
                    << "at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace vistrel
