#include <benchmark/benchmark.h>

#include "SceneBitmap.h"
#include "SceneRng.h"

namespace {

void BM_RenderScene600x206(benchmark::State& state) {
    vistrel::SceneRng rng;
    std::uint32_t seed = 0;
    for (auto _ : state) {
        rng.Seed(seed++ & 0x7FFF);
        auto bitmap = vistrel::RenderSceneBitmap({0, 0, 600, 206}, rng);
        benchmark::DoNotOptimize(bitmap);
    }
}
BENCHMARK(BM_RenderScene600x206)->Unit(benchmark::kMicrosecond);

void BM_SceneSeed(benchmark::State& state) {
    vistrel::SceneRng rng;
    const auto k = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        vistrel::SceneSeed(rng, 1765432109u, k);
        benchmark::DoNotOptimize(rng.State());
    }
}
BENCHMARK(BM_SceneSeed)->Arg(1)->Arg(1000)->Arg(4000000000);

}  // namespace
