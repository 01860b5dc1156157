#pragma once

#include <cstdint>

#include "raster/ClippedPixels.h"
#include "raster/Palette.h"
#include "raster/Rect.h"

namespace vistrel {

// A one-pixel line from (x1, y1) up to but not including (x2, y2).
void RasterLine(ClippedPixels& out, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, ColourIndex pen);

// The ellipse inscribed in the box (right and bottom edges excluded): outline in the pen colour,
// inside in the brush colour.
void RasterEllipse(ClippedPixels& out, const Rect& box, ColourIndex pen, ColourIndex brush);

// The part of the ellipse outline for `box` that runs counter-clockwise on screen from the ray
// through (xs, ys) to the ray through (xe, ye).
void RasterArc(ClippedPixels& out, const Rect& box, std::int32_t xs, std::int32_t ys,
               std::int32_t xe, std::int32_t ye, ColourIndex pen);

// Border flood fill: every pixel 4-connected to (x, y) through pixels not of the border colour
// takes the brush colour.
void RasterBorderFill(ClippedPixels& out, std::int32_t x, std::int32_t y, ColourIndex border,
                      ColourIndex brush);

}  // namespace vistrel
