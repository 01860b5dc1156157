#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <ctime>

#include "bench/QtBench.h"
#include "gallery/GalleryView.h"
#include "gallery/GalleryWindow.h"
#include "gallery/Thumbnail.h"
#include "scene/Picture.h"
#include "userfiles/Favourites.h"

namespace {

constexpr QSize WindowSize(1280, 1024);
constexpr double MillisecondsPerNanosecond = 1e-6;
// One frame at 60 Hz.
constexpr qint64 FrameNanoseconds = 16'666'667;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
        }
    }
    return 0;
}

// A gallery window of 1280 x 1024 on screen, with favourites kept in a folder of its own.
class OpenGallery {
  public:
    OpenGallery() : window(favourites) {
        window.resize(WindowSize);
        vistrel::bench::ShowExposed(window);
    }

    vistrel::GalleryView& View() { return *window.View(); }

    // Lets the event loop run until every thumbnail in view is painted and on screen.
    void UntilComplete() {
        QCoreApplication::processEvents();
        while (!View().ViewComplete()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        View().viewport()->repaint();
    }

  private:
    vistrel::Favourites favourites;
    vistrel::GalleryWindow window;
};

// A picture and its reduction to a thumbnail in turns, so both meet the same load; the counter
// is the reduction's time over the picture's.
void BM_ReductionOverRender(benchmark::State& state) {
    std::uint32_t seed = 0;
    double renderSeconds = 0;
    double reduceSeconds = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        const auto picture = vistrel::PictureOfSeed(seed++ % vistrel::SceneSeedCount);
        const double t1 = ThreadSeconds();
        const QImage thumbnail = vistrel::HalvedPicture(*picture);
        benchmark::DoNotOptimize(thumbnail.constBits());
        const double t2 = ThreadSeconds();
        renderSeconds += t1 - t0;
        reduceSeconds += t2 - t1;
    }
    state.counters["reduction/render"] = reduceSeconds / renderSeconds;
    state.counters["reduction_us"] = reduceSeconds * 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReductionOverRender)->Unit(benchmark::kMicrosecond);

// A jump to a seed far from the last until the whole window shows finished thumbnails: the
// selection, the workers painting what is in view, and the paint that shows them. Wall time,
// since the work runs on every core.
void BM_GalleryJumpToFullWindow(benchmark::State& state) {
    OpenGallery gallery;
    std::uint32_t seed = 12345;
    for (auto _ : state) {
        seed = (seed * 214013u + 2531011u) >> 17;
        gallery.View().Select(seed);
        gallery.UntilComplete();
    }
    state.counters["thumbnails_in_view"] = static_cast<double>(
        gallery.View().Grid().EndIndexBefore(gallery.View().ScrollOffset().y() +
                                             gallery.View().viewport()->height()) -
        gallery.View().Grid().FirstIndexFrom(gallery.View().ScrollOffset().y()));
}
BENCHMARK(BM_GalleryJumpToFullWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// Page Down held through all 32768 seeds at the keyboard's repeat rate. Every key, paint and
// delivered thumbnail is one turn of the event loop; the counters are the longest turn, how
// many turns took longer than a frame, the share of pages that were complete before the next
// key came, and the memory held at the end.
void BM_GalleryPageDownThroughAll(benchmark::State& state) {
    OpenGallery gallery;
    const int repeatRate = std::max(1, QGuiApplication::styleHints()->keyboardAutoRepeatRate());
    const qint64 repeatNanoseconds = 1'000'000'000 / repeatRate;
    qint64 longestTurn = 0;
    double longestTurnCpu = 0;
    int longTurns = 0;
    int pages = 0;
    int completePages = 0;
    const auto turn = [&](auto&& work) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = ThreadSeconds();
        work();
        const qint64 elapsed = timer.nsecsElapsed();
        if (elapsed > longestTurn) {
            longestTurn = elapsed;
            longestTurnCpu = ThreadSeconds() - cpuStart;
        }
        longTurns += elapsed > FrameNanoseconds ? 1 : 0;
    };
    for (auto _ : state) {
        gallery.View().Select(0);
        gallery.UntilComplete();
        while (gallery.View().SelectedSeed() != 32767u) {
            QElapsedTimer sinceKey;
            sinceKey.start();
            turn([&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier, {}, true);
                QCoreApplication::sendEvent(&gallery.View(), &press);
                gallery.View().viewport()->repaint();
            });
            while (sinceKey.nsecsElapsed() < repeatNanoseconds) {
                turn([] { QCoreApplication::processEvents(); });
                QThread::usleep(200);
            }
            ++pages;
            completePages += gallery.View().ViewComplete() ? 1 : 0;
        }
    }
    state.counters["longest_turn_ms"] =
        static_cast<double>(longestTurn) * MillisecondsPerNanosecond;
    // The user-interface thread's own time in the longest turn: less than its length when the
    // scheduler gave the core to another process meanwhile.
    state.counters["longest_turn_cpu_ms"] = longestTurnCpu * 1000;
    state.counters["turns_over_a_frame"] = longTurns;
    state.counters["pages"] = pages;
    state.counters["complete_pages"] = static_cast<double>(completePages) / pages;
    state.counters["rss_mb"] = ResidentMegabytes();
}
BENCHMARK(BM_GalleryPageDownThroughAll)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
