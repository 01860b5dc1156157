#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include <unistd.h>

#include "scene/MonitorLayout.h"
#include "scene/PaintObserver.h"
#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneElements.h"
#include "scene/SceneRng.h"

namespace {

constexpr vistrel::Rect BenchRect{0, 0, 600, 206};

// The bounds of every RandomBelow call that the picture of scene seed 1 makes, in order.
const std::vector<std::int32_t>& SeedOneBounds() {
    static const std::vector<std::int32_t> bounds = [] {
        vistrel::DrawBounds recorded;
        vistrel::SceneRng rng;
        rng.Seed(1);
        vistrel::RenderSceneBitmap(BenchRect, rng, recorded);
        return recorded.bounds;
    }();
    return bounds;
}

// The least a picture can cost: its random numbers, each reduced with a 32-bit remainder, and
// one write of every pixel.
class Floor {
  public:
    Floor()
        : bounds(SeedOneBounds()),
          pixels(static_cast<std::size_t>(BenchRect.right * BenchRect.bottom)) {}

    void Draw() {
        rng.Seed(1);
        std::int32_t sum = 0;
        for (const std::int32_t n : bounds) {
            if (n != 0) {
                sum += rng.Next() % n;
            }
        }
        std::fill(pixels.begin(), pixels.end(), static_cast<std::uint8_t>(sum));
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }

    std::size_t Draws() const { return bounds.size(); }

  private:
    const std::vector<std::int32_t>& bounds;
    std::vector<std::uint8_t> pixels;
    vistrel::SceneRng rng;
};

void BM_Floor(benchmark::State& state) {
    Floor floor;
    for (auto _ : state) {
        floor.Draw();
    }
    state.counters["draws"] = static_cast<double>(floor.Draws());
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond)->Repetitions(7)->DisplayAggregatesOnly(true);

// Renders scene seeds 0, 1, 2, ... in turn, with whatever render takes a rectangle and a source.
template <typename Render>
void RenderSeeds(benchmark::State& state, Render render) {
    vistrel::SceneRng rng;
    std::uint32_t seed = 0;
    for (auto _ : state) {
        rng.Seed(seed++ & 0x7FFF);
        auto bitmap = render(BenchRect, rng);
        benchmark::DoNotOptimize(bitmap);
    }
}

void BM_RenderScene600x206(benchmark::State& state) {
    RenderSeeds(state, [](const vistrel::Rect& r, vistrel::SceneRng& rng) {
        return vistrel::RenderSceneBitmap(r, rng);
    });
}
BENCHMARK(BM_RenderScene600x206)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The floor and a picture in turns, so that both meet the same load on a shared machine; the
// counter is the pictures' time over the floors'.
void BM_RenderOverFloor(benchmark::State& state) {
    Floor floor;
    vistrel::SceneRng rng;
    std::uint32_t seed = 0;
    double floorSeconds = 0;
    double renderSeconds = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        floor.Draw();
        const double t1 = ThreadSeconds();
        rng.Seed(seed++ & 0x7FFF);
        auto bitmap = vistrel::RenderSceneBitmap(BenchRect, rng);
        benchmark::DoNotOptimize(bitmap);
        const double t2 = ThreadSeconds();
        floorSeconds += t1 - t0;
        renderSeconds += t2 - t1;
    }
    state.counters["render/floor"] = renderSeconds / floorSeconds;
}
BENCHMARK(BM_RenderOverFloor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);

// A picture with one element painted and the others left out (all their numbers still drawn);
// the argument is the element's place in ElementNames, or none painted past the end. Less the
// time with none painted, it is what that element's painting costs.
void BM_RenderOnly(benchmark::State& state) {
    const auto only = static_cast<std::size_t>(state.range(0));
    vistrel::SceneElements omitted;
    for (std::size_t i = 0; i < vistrel::ElementNames.size(); ++i) {
        if (i != only) {
            omitted.Add(vistrel::ElementNames[i].element);
        }
    }
    vistrel::ElementOmitter omitter(omitted);
    state.SetLabel(only < vistrel::ElementNames.size()
                       ? std::string(vistrel::ElementNames[only].name)
                       : std::string("none"));
    RenderSeeds(state, [&](const vistrel::Rect& r, vistrel::SceneRng& rng) {
        return vistrel::RenderSceneBitmap(r, rng, omitter);
    });
}
BENCHMARK(BM_RenderOnly)
    ->DenseRange(0, static_cast<int>(vistrel::ElementNames.size()))
    ->Unit(benchmark::kMicrosecond);

void BM_SceneSeed(benchmark::State& state) {
    vistrel::SceneRng rng;
    const auto k = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        vistrel::SceneSeed(rng, 1765432109u, k);
        benchmark::DoNotOptimize(rng.State());
    }
}
BENCHMARK(BM_SceneSeed)->Arg(1)->Arg(1000)->Arg(4000000000);

// The images for three 4K monitors side by side, one of them at 200 %: each monitor's own
// (Arg 0), its part of one picture across all (Arg 1), and the spanned image of the first kind.
void BM_ThreeMonitors4K(benchmark::State& state) {
    const std::vector<vistrel::Monitor> monitors = {
        {0, 0, 3840, 2160, 1}, {3840, 0, 1920, 1080, 2}, {5760, 0, 3840, 2160, 1}};
    const auto spread =
        state.range(0) == 0 ? vistrel::Spread::EachMonitor : vistrel::Spread::AcrossAll;
    const auto picture = vistrel::PictureOfSeed(20877);
    for (auto _ : state) {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            benchmark::DoNotOptimize(
                vistrel::MonitorImage(*picture, monitors, i, spread).pixels.data());
        }
    }
}
BENCHMARK(BM_ThreeMonitors4K)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SpannedThreeMonitors4K(benchmark::State& state) {
    const std::vector<vistrel::Monitor> monitors = {
        {0, 0, 3840, 2160, 1}, {3840, 0, 1920, 1080, 2}, {5760, 0, 3840, 2160, 1}};
    const auto picture = vistrel::PictureOfSeed(20877);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vistrel::SpannedImage(*picture, monitors, vistrel::Spread::EachMonitor).pixels.data());
    }
}
BENCHMARK(BM_SpannedThreeMonitors4K)->Unit(benchmark::kMillisecond);

// Shows the runs as usual and closes with the median render time over the median floor. CPU
// times, since the machine is shared and wall time counts the waits for a core.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name != "median") {
                continue;
            }
            const std::string name = run.run_name.function_name;
            if (name == "BM_Floor") {
                floor = run.GetAdjustedCPUTime();
            } else if (name == "BM_RenderScene600x206") {
                render = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        if (floor > 0 && render > 0) {
            std::printf("render/floor %.2f (median %.1f us over %.1f us)\n", render / floor, render,
                        floor);
        }
    }

  private:
    double floor = 0;
    double render = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
