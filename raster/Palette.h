#pragma once

#include <array>
#include <cstdint>

namespace vistrel {

// A colour as 0x00BBGGRR, red in the lowest byte.
using ColorRef = std::uint32_t;

// What a surface stores per pixel: 0..15 for the palette colours, OutOfPalette for the colour
// given to any other colour number.
using ColourIndex = std::uint8_t;

inline constexpr ColourIndex OutOfPalette = 16;
inline constexpr int StoredColourCount = 17;

inline constexpr std::array<ColorRef, 16> BasePalette = {
    0x00000000, 0x00800000, 0x00008000, 0x00808000, 0x00000080, 0x00800080, 0x00008080, 0x00C0C0C0,
    0x00808080, 0x00FF0000, 0x0000FF00, 0x00FFFF00, 0x000000FF, 0x00FF00FF, 0x0000FFFF, 0x00FFFFFF,
};

// Colour numbers outside 0..15 (the recipe asks for 16 under a white sky) paint a dusky brown,
// red 0x56, green 0x34, blue 0x12.
inline constexpr ColorRef OutOfPaletteColor = 0x00123456;

constexpr ColourIndex ToColourIndex(std::int32_t colour) {
    return colour >= 0 && colour < 16 ? static_cast<ColourIndex>(colour) : OutOfPalette;
}

constexpr ColorRef StoredColor(ColourIndex index) {
    return index < 16 ? BasePalette[index] : OutOfPaletteColor;
}

constexpr ColorRef PaletteColor(std::int32_t colour) {
    return StoredColor(ToColourIndex(colour));
}

constexpr std::uint8_t RedOf(ColorRef c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(ColorRef c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(ColorRef c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

}  // namespace vistrel
