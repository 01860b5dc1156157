#include "scene/ScreenFit.h"

#include <algorithm>
#include <new>

namespace vistrel {
namespace {

struct AxisFit {
    std::int32_t source = 0;
    std::int32_t length = 0;
    std::int32_t screen = 0;
};

// One axis: the shown part of `picture` pixels, each `scale` wide, centred in `screen` pixels.
// Only at scale 1 can the picture be wider than the screen; then its middle shows.
AxisFit FitAxis(std::int32_t picture, std::int32_t screen, std::int32_t scale) {
    const std::int64_t scaled = std::int64_t{picture} * scale;
    if (scaled <= screen) {
        return {0, picture, static_cast<std::int32_t>((screen - scaled) / 2)};
    }
    return {(picture - screen) / 2, screen, 0};
}

}  // namespace

ScreenFit FitOnScreen(std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t screenWidth, std::int32_t screenHeight) {
    if (pictureWidth < 1 || pictureHeight < 1 || screenWidth < 1 || screenHeight < 1) {
        return {};
    }
    const std::int32_t scale =
        std::max(1, std::min(screenWidth / pictureWidth, screenHeight / pictureHeight));
    const AxisFit x = FitAxis(pictureWidth, screenWidth, scale);
    const AxisFit y = FitAxis(pictureHeight, screenHeight, scale);
    return {scale, x.source, y.source, x.length, y.length, x.screen, y.screen};
}

SceneBitmap BlackScreen(std::int64_t width, std::int64_t height) {
    SceneBitmap image;
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) {
        return image;
    }
    try {
        image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                            ColourIndex{0});
    } catch (const std::bad_alloc&) {
        return image;
    }
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    return image;
}

SceneBitmap ShowOnScreen(const SceneBitmap& picture, std::int32_t screenWidth,
                         std::int32_t screenHeight) {
    const ScreenFit fit = FitOnScreen(picture.width, picture.height, screenWidth, screenHeight);
    if (fit.sourceWidth == 0) {
        return {};
    }
    SceneBitmap screen = BlackScreen(screenWidth, screenHeight);
    if (screen.pixels.empty()) {
        return screen;
    }
    for (std::int32_t y = 0; y < fit.sourceHeight * fit.scale; ++y) {
        const std::int32_t sourceY = fit.sourceY + y / fit.scale;
        ColourIndex* row =
            screen.pixels.data() +
            static_cast<std::size_t>(fit.screenY + y) * static_cast<std::size_t>(screenWidth) +
            static_cast<std::size_t>(fit.screenX);
        for (std::int32_t x = 0; x < fit.sourceWidth * fit.scale; ++x) {
            row[x] = picture.At(fit.sourceX + x / fit.scale, sourceY);
        }
    }
    return screen;
}

}  // namespace vistrel
