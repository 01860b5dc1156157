#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/Picture.h"
#include "scene/SceneBitmap.h"

namespace vistrel {

// The picture's frame halved each way, as the gallery's thumbnails show it.
inline constexpr std::int32_t HalvedWidth = PictureWidth / 2;
inline constexpr std::int32_t HalvedHeight = PictureHeight / 2;

// Whether the bitmap holds the whole frame, so that it can be halved.
bool HoldsFrame(const SceneBitmap& picture);

// Writes the frame of `picture` halved each way to `rows`: HalvedHeight rows of HalvedWidth
// pixels 0xFFRRGGBB, each row `stride` pixels after the one before. Every pixel is the mean of
// a 2 x 2 block, per channel (a + b + c + d + 2) / 4. Returns false, writing nothing, unless the
// picture holds the whole frame.
bool HalveFrame(const SceneBitmap& picture, std::uint32_t* rows, std::ptrdiff_t stride);
// The same, one pixel at a time: what processors without AVX2 run, kept callable for the tests.
bool HalveFramePlain(const SceneBitmap& picture, std::uint32_t* rows, std::ptrdiff_t stride);

}  // namespace vistrel
