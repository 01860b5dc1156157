#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Palette.h"
#include "Raster.h"
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

class PaintObserver;
class SurfaceRecorder;

// Paints the scene that rng is seeded for into a new bitmap of the rectangle's size. None when
// the size is not 1..Surface::MaxSide on each side or the memory cannot be had; the painting
// itself never fails.
std::unique_ptr<SceneBitmap> RenderSceneBitmap(const Rect& rectangle, SceneRng& rng);

// The same, with the painting watched by the observer, and every primitive reported to the
// recorder if there is one.
std::unique_ptr<SceneBitmap> RenderSceneBitmap(const Rect& rectangle, SceneRng& rng,
                                               PaintObserver& observer,
                                               SurfaceRecorder* recorder = nullptr);

}  // namespace vistrel
