#include <benchmark/benchmark.h>

#include <string>

#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneImage.h"
#include "scene/SceneRng.h"
#include "tools/vistrel-render/SeedSweep.h"

namespace {

constexpr vistrel::Rect Frame = vistrel::PictureFrame;
constexpr std::uint32_t SweepSeeds = 2048;

void BM_EncodePng570x190(benchmark::State& state) {
    vistrel::SceneRng rng;
    rng.Seed(1);
    const auto bitmap = vistrel::RenderSceneBitmap(Frame, rng);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = vistrel::EncodeImage(*bitmap, vistrel::ImageFormat::Png).size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodePng570x190)->Unit(benchmark::kMicrosecond);

// The digest sweep as the render tool runs it: every seed rendered and digested on all cores,
// the lines delivered in seed order.
void BM_DigestSweep(benchmark::State& state) {
    vistrel::KeepFreedMemoryForReuse();
    const vistrel::SeedSweep sweep;
    for (auto _ : state) {
        std::size_t printed = 0;
        sweep.Run(
            0, SweepSeeds - 1,
            [](std::uint32_t seed, std::string& text) {
                vistrel::SceneRng rng;
                rng.Seed(seed);
                text += std::to_string(seed) + ' ' +
                        vistrel::DigestHex(
                            vistrel::PixelDigest(*vistrel::RenderSceneBitmap(Frame, rng))) +
                        '\n';
            },
            [&](const std::string& text) { printed += text.size(); });
        benchmark::DoNotOptimize(printed);
    }
    state.SetItemsProcessed(state.iterations() * SweepSeeds);
}
BENCHMARK(BM_DigestSweep)->Unit(benchmark::kMillisecond)->UseRealTime();

// How many numbers a typical scene (seed 1) draws.
std::uint64_t TypicalDraws() {
    vistrel::SceneRng rng;
    rng.Seed(1);
    vistrel::RenderSceneBitmap(Frame, rng);
    return rng.Draws();
}

// The least a sweep can cost: the same loop, but each picture only draws a typical scene's
// numbers (with bounds that vary as the recipe's do), writes every pixel once and is digested.
void BM_DigestSweepFloor(benchmark::State& state) {
    const vistrel::SeedSweep sweep;
    const std::uint64_t draws = TypicalDraws();
    for (auto _ : state) {
        std::size_t printed = 0;
        sweep.Run(
            0, SweepSeeds - 1,
            [draws](std::uint32_t seed, std::string& text) {
                thread_local vistrel::SceneBitmap bitmap{
                    Frame.right, Frame.bottom,
                    std::vector<vistrel::ColourIndex>(std::size_t{vistrel::PictureWidth} *
                                                      vistrel::PictureHeight)};
                vistrel::SceneRng rng;
                rng.Seed(seed);
                std::int32_t sum = 0;
                for (std::uint64_t i = 0; i < draws; ++i) {
                    sum += vistrel::RandomBelow(rng, static_cast<std::int32_t>(i % 600) + 2);
                }
                for (std::size_t p = 0; p < bitmap.pixels.size(); ++p) {
                    bitmap.pixels[p] = static_cast<vistrel::ColourIndex>((sum + p) & 15);
                }
                text += std::to_string(seed) + ' ' +
                        vistrel::DigestHex(vistrel::PixelDigest(bitmap)) + '\n';
            },
            [&](const std::string& text) { printed += text.size(); });
        benchmark::DoNotOptimize(printed);
    }
    state.SetItemsProcessed(state.iterations() * SweepSeeds);
}
BENCHMARK(BM_DigestSweepFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
