#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWindow>

#include "bench/QtBench.h"

namespace vistrel::bench {

void ShowExposed(QWidget& widget) {
    widget.show();
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace vistrel::bench

// The benchmarks of windows run on the offscreen platform, free of any display server's costs,
// with favourites read from and written to a folder that goes with the run.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
