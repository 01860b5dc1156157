#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "raster/Digest.h"
#include "scene/SceneBitmap.h"

namespace vistrel {

// The file formats a picture can be written in.
enum class ImageFormat { Png, Ppm, Raw };

// The bitmap enlarged n times in each direction by repeating every pixel.
SceneBitmap ScaleUp(const SceneBitmap& bitmap, std::int32_t n);

// How hard a PNG is compressed: a picture's file is kept small; a desktop background, dozens of
// times larger and made of whole blocks of colour, is written fast.
enum class PngEffort { Small, Fast };

// The bitmap as the bytes of a file of that format. PNGs are indexed with the palette colours
// (and the out-of-palette colour as entry 16).
std::vector<std::uint8_t> EncodeImage(const SceneBitmap& bitmap, ImageFormat format,
                                      PngEffort effort = PngEffort::Small);

// 64-bit FNV-1a over the colour numbers, row by row.
std::uint64_t PixelDigest(const SceneBitmap& bitmap);

}  // namespace vistrel
