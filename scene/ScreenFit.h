#pragma once

#include <cstdint>

#include "scene/SceneBitmap.h"

namespace vistrel {

// How a picture is shown on a screen (or window) of a given size in device pixels: enlarged by
// the largest whole scale that fits, at least 1, and centred; a screen smaller than the picture
// shows its middle. The full-screen view, a desktop background and the screensaver all use it,
// so they show the same pixels in the same place.
struct ScreenFit {
    // Every picture pixel shown is a scale × scale block of screen pixels.
    std::int32_t scale = 1;
    // The picture's pixels that show: sourceWidth × sourceHeight from (sourceX, sourceY).
    std::int32_t sourceX = 0;
    std::int32_t sourceY = 0;
    std::int32_t sourceWidth = 0;
    std::int32_t sourceHeight = 0;
    // Where the first of them lands on the screen; the rest of the screen is black.
    std::int32_t screenX = 0;
    std::int32_t screenY = 0;
};

// The fit of a picture on a screen. Sizes below 1 show nothing (an empty source).
ScreenFit FitOnScreen(std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t screenWidth, std::int32_t screenHeight);

// A black bitmap of the size; empty when either side is below 1 or beyond 32-bit, or the memory
// cannot be had.
SceneBitmap BlackScreen(std::int64_t width, std::int64_t height);

// The screen's image: the picture placed by FitOnScreen on a black bitmap of the screen's size.
// Empty when either size is below 1 or the memory cannot be had.
SceneBitmap ShowOnScreen(const SceneBitmap& picture, std::int32_t screenWidth,
                         std::int32_t screenHeight);

}  // namespace vistrel
