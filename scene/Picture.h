#pragma once

#include <cstdint>
#include <memory>

#include "raster/Rect.h"
#include "scene/SceneBitmap.h"

namespace vistrel {

// What every program shows: a 570 x 190 frame painted from one of 32768 scene seeds. A bitmap
// rendered larger keeps the picture in this frame at its top left and black around it.
inline constexpr std::int32_t PictureWidth = 570;
inline constexpr std::int32_t PictureHeight = 190;
inline constexpr Rect PictureFrame{0, 0, PictureWidth, PictureHeight};
inline constexpr std::uint32_t SceneSeedCount = 32768;
inline constexpr std::uint32_t LargestSceneSeed = SceneSeedCount - 1;

// The picture of a scene seed, rendered into a bitmap of `area`'s size (the frame unless
// asked otherwise). None when the size is not 1..8192 on each side or the memory cannot be had.
std::unique_ptr<SceneBitmap> PictureOfSeed(std::uint32_t seed, const Rect& area = PictureFrame);

// The scene seed of scene k of the run whose clock reading is `runSeed`; scenes count from 1,
// and scene 0 stands for scene 2^32.
std::uint32_t SeedOfScene(std::uint32_t runSeed, std::uint32_t k);

}  // namespace vistrel
