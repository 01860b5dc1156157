#pragma once

#include <memory>

#include "raster/Rect.h"
#include "scene/SceneBitmap.h"
#include "scene/SceneRng.h"

namespace vistrel {

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
