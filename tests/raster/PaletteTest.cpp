#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "raster/Palette.h"

namespace vistrel {
namespace {

TEST(PaletteColorTest, ColourNumbersGiveTheirPaletteEntries) {
    struct Entry {
        int red, green, blue;
    };
    const Entry entries[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    for (int n = 0; n < 16; ++n) {
        SCOPED_TRACE(n);
        const ColorRef c = PaletteColor(n);
        EXPECT_EQ(RedOf(c), entries[n].red);
        EXPECT_EQ(GreenOf(c), entries[n].green);
        EXPECT_EQ(BlueOf(c), entries[n].blue);
    }
}

// Evaluated by the compiler, which refuses any read past the table.
static_assert(PaletteColor(INT32_MIN) == OutOfPaletteColor &&
              PaletteColor(16) == OutOfPaletteColor);

TEST(PaletteColorTest, NumbersOutsideThePaletteGiveTheOutOfPaletteColour) {
    for (const std::int32_t n : {INT32_MIN, -1, 16, 17, 255, 256, INT32_MAX}) {
        EXPECT_EQ(PaletteColor(n), OutOfPaletteColor) << n;
    }
    EXPECT_EQ(std::count(BasePalette.begin(), BasePalette.end(), OutOfPaletteColor), 0);
}

}  // namespace
}  // namespace vistrel
