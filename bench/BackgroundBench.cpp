#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundImages.h"
#include "desktop/DesktopBackground.h"
#include "tools/vistrel-background/BackgroundSetter.h"
#include "tools/vistrel-background/ChangeAgent.h"

namespace vistrel::bench {
namespace {

// Stands in for a desktop: asks for the images its kind takes, and the moment it has them is
// the moment a real one would be called.
class MeasuredDesktop final : public BackgroundChannel {
  public:
    explicit MeasuredDesktop(bool spanned) : spanned(spanned) {}

    void Hand(BackgroundImages& images, QDeadlineTimer) override {
        const auto called = [this](const std::vector<UserFolder>&) {
            emit Finished(Outcome::Set, {});
        };
        if (spanned) {
            images.WriteSpanned(this, called);
        } else {
            images.WriteEach(images.Request().monitors, this, called);
        }
    }

  private:
    const bool spanned;
};

// Kilobytes of this process's resident memory: now, or at its peak since the last reset.
long StatusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // Files in /proc tell no size, so they are read whole rather than to their end.
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<qsizetype>(qstrlen(field)))
                .trimmed()
                .split(' ')[0]
                .toLong();
        }
    }
    return -1;
}

// The resident memory before any background, which the peaks are measured from: freed memory
// the allocator keeps for later counts as taken.
long startKilobytes = 0;

void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// Three 4K monitors side by side, the middle one at 200 %.
std::vector<NamedMonitor> ThreeMonitors4K() {
    return {{QStringLiteral("A"), {0, 0, 3840, 2160, 1}},
            {QStringLiteral("B"), {3840, 0, 1920, 1080, 2}},
            {QStringLiteral("C"), {5760, 0, 3840, 2160, 1}}};
}

DesktopBackground::ChannelSource MeasuredDesktops(bool spanned) {
    return [spanned](const BackgroundRequest&) {
        DesktopBackground::Channels channels;
        channels.push_back(std::make_unique<MeasuredDesktop>(spanned));
        return channels;
    };
}

// From the key (Set) to the desktop's call: each monitor's own image for desktops that take one
// a monitor (Arg 0: each its own fit, Arg 1: across all screens), or the one spanned image
// (Arg 2).
void BM_ThreeMonitors4KBackground(benchmark::State& state) {
    const bool spanned = state.range(0) == 2;
    const Spread spread = state.range(0) == 1 ? Spread::AcrossAll : Spread::EachMonitor;
    const BackgroundRequest request{20877, spread, BackgroundPlace::Desktop, ThreeMonitors4K(), 0};
    DesktopBackground background(nullptr, MeasuredDesktops(spanned));
    long peakExtra = 0;
    for (auto _ : state) {
        std::optional<BackgroundResult> result;
        QObject::connect(&background, &DesktopBackground::Finished, &background,
                         [&result](BackgroundResult r, const QString&) { result = r; });
        ResetPeak();
        QElapsedTimer elapsed;
        elapsed.start();
        background.Set(request);
        while (!result) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        peakExtra = std::max(peakExtra, StatusKilobytes("VmHWM:") - startKilobytes);
        QObject::disconnect(&background, &DesktopBackground::Finished, nullptr, nullptr);
        if (*result != BackgroundResult::Set) {
            state.SkipWithError("the images were not written");
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["peak_extra_MB"] = static_cast<double>(peakExtra) / 1024.0;
}
BENCHMARK(BM_ThreeMonitors4KBackground)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The agent's own way to the same desktops, as its timer takes it: the state read and written
// under its lock, the next seed of its series drawn, then the images (Arg 0, 1, 2 as above).
class MeasuredSetter final : public BackgroundSetter {
  public:
    explicit MeasuredSetter(bool spanned) : background(nullptr, MeasuredDesktops(spanned)) {
        connect(&background, &DesktopBackground::Finished, this,
                [this](BackgroundResult result, const QString& message) {
                    emit Finished(result == BackgroundResult::Set, message);
                });
    }
    bool Set(std::uint32_t seed, Spread spread) override {
        return background.Set({seed, spread, BackgroundPlace::Desktop, ThreeMonitors4K(), 0});
    }

  private:
    DesktopBackground background;
};

void BM_AgentChangeThreeMonitors4K(benchmark::State& state) {
    const bool spanned = state.range(0) == 2;
    QTemporaryDir folder;
    ChangeAgent::Files files{
        SettingsFile(folder.filePath(QStringLiteral("background"))),
        StateFile(folder.filePath(QStringLiteral("background-state")), WallTime{}),
        folder.filePath(QStringLiteral("favourites"))};
    ChangerSettings settings;
    settings.spread = state.range(0) == 1 ? Spread::AcrossAll : Spread::EachMonitor;
    if (!files.settings.Save(settings).isEmpty()) {
        state.SkipWithError("the settings could not be written");
        return;
    }
    MeasuredSetter setter(spanned);
    std::uint32_t drawn = 0;
    ChangeAgent agent(
        setter, std::move(files),
        [] {
            return std::chrono::time_point_cast<std::chrono::seconds>(
                std::chrono::system_clock::now());
        },
        [&drawn](std::uint32_t n) { return drawn++ % n; });
    for (auto _ : state) {
        std::optional<QString> failure;
        QElapsedTimer elapsed;
        elapsed.start();
        agent.Next([&failure](const QString& why, const QString&) { failure = why; });
        while (!failure) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        if (!failure->isEmpty()) {
            state.SkipWithError(failure->toUtf8().constData());
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_AgentChangeThreeMonitors4K)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vistrel::bench

// The images go to a backgrounds folder that goes with the run.
int main(int argc, char** argv) {
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    vistrel::bench::startKilobytes = vistrel::bench::StatusKilobytes("VmRSS:");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
