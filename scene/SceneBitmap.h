#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Palette.h"
#include "Raster.h"
#include "SceneElements.h"
#include "SceneRng.h"

namespace vistrel {

// A finished picture: colour indices row by row, with the size it was rendered at.
struct SceneBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<ColourIndex> pixels;

    ColourIndex At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

class SurfaceRecorder;

// What a render may leave out or report besides the bitmap, for diagnostics.
struct RenderOptions {
    SceneElements omitted;
    SurfaceRecorder* recorder = nullptr;
    // Receives the bound of every RandomBelow call of the painting, in order.
    std::vector<std::int32_t>* drawBounds = nullptr;
};

// Paints the scene that rng is seeded for into a new bitmap of the rectangle's size. None when
// the size is not 1..Surface::MaxSide on each side or the memory cannot be had; the painting
// itself never fails.
std::unique_ptr<SceneBitmap> RenderSceneBitmap(const Rect& rectangle, SceneRng& rng,
                                               const RenderOptions& options = {});

}  // namespace vistrel
