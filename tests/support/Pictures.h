#pragma once

#include <cstdint>
#include <memory>

#include "scene/PaintObserver.h"
#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneElements.h"
#include "scene/SceneRng.h"

namespace vistrel::test {

// The picture of a scene seed at the frame's size, watched by the observer and recorded by the
// recorder if there is one: what a picture is compared with when it is painted another way.
inline std::unique_ptr<SceneBitmap> RenderSeed(std::uint32_t seed, PaintObserver& observer,
                                               SurfaceRecorder* recorder = nullptr) {
    SceneRng rng;
    rng.Seed(seed);
    return RenderSceneBitmap(PictureFrame, rng, observer, recorder);
}

// The picture of a scene seed with the elements left out.
inline std::unique_ptr<SceneBitmap> RenderWithout(std::uint32_t seed, const SceneElements& omitted,
                                                  SurfaceRecorder* recorder = nullptr) {
    ElementOmitter omitter(omitted);
    return RenderSeed(seed, omitter, recorder);
}

}  // namespace vistrel::test
