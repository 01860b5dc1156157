#include "scene/SceneRng.h"

#include <algorithm>

#include "raster/WideVectors.h"

namespace vistrel {

std::uint32_t AdvanceState(std::uint32_t state, std::uint64_t steps) {
    // Compose the affine map s -> a*s + c with itself by repeated squaring.
    std::uint32_t mul = 1;
    std::uint32_t add = 0;
    std::uint32_t stepMul = SceneRng::Multiplier;
    std::uint32_t stepAdd = SceneRng::Increment;
    while (steps != 0) {
        if ((steps & 1u) != 0) {
            mul = mul * stepMul;
            add = add * stepMul + stepAdd;
        }
        stepAdd = stepAdd * stepMul + stepAdd;
        stepMul = stepMul * stepMul;
        steps >>= 1;
    }
    return state * mul + add;
}

VISTREL_WIDE_VECTORS void RandomsBelow(SceneRng& rng, std::int32_t n, std::int32_t* values,
                                       std::size_t count) {
    if (n == 0) {
        std::fill(values, values + count, 0);
        return;
    }
    rng.NextMany(values, count);
    const DrawsBelow below(n);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = below.Reduce(values[i]);
    }
}

void SceneSeed(SceneRng& rng, std::uint32_t runSeed, std::uint32_t k) {
    const std::uint64_t draws = k == 0 ? (std::uint64_t{1} << 32) : k;
    // Jump to the state before the last draw instead of making k - 1 draws: same value, O(log k).
    rng.Seed(AdvanceState(runSeed, draws - 1));
    const std::int32_t seed = rng.Next();
    rng.Seed(static_cast<std::uint32_t>(seed));
}

}  // namespace vistrel
