#include "scene/Picture.h"

#include "scene/RenderSceneBitmap.h"
#include "scene/SceneRng.h"

namespace vistrel {

std::unique_ptr<SceneBitmap> PictureOfSeed(std::uint32_t seed, const Rect& area) {
    SceneRng rng;
    rng.Seed(seed);
    return RenderSceneBitmap(area, rng);
}

std::uint32_t SeedOfScene(std::uint32_t runSeed, std::uint32_t k) {
    SceneRng rng;
    SceneSeed(rng, runSeed, k);
    return rng.State();
}

}  // namespace vistrel
