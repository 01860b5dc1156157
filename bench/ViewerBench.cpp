#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QWindow>

#include "scene/RenderSceneBitmap.h"
#include "viewer/ScenePicture.h"
#include "viewer/SystemServices.h"
#include "viewer/ViewerDialog.h"

namespace {

constexpr int PictureWidth = 570;
constexpr int PictureHeight = 206;

// Shows the widget and waits until it is exposed: before that, a repaint paints nothing.
void ShowExposed(QWidget& widget) {
    widget.show();
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

std::unique_ptr<vistrel::SceneBitmap> RenderSeed(std::uint32_t seed) {
    vistrel::SceneRng rng;
    rng.Seed(seed);
    return vistrel::RenderSceneBitmap({0, 0, PictureWidth, PictureHeight}, rng);
}

// One paint of the picture on show: what every expose of the window costs.
void BM_PicturePaint(benchmark::State& state) {
    vistrel::ScenePicture picture;
    picture.setFixedSize(PictureWidth, PictureHeight);
    ShowExposed(picture);
    picture.SetBitmap(RenderSeed(1));
    for (auto _ : state) {
        picture.repaint();
    }
}
BENCHMARK(BM_PicturePaint)->Unit(benchmark::kMicrosecond);

// A bitmap handed to the picture until it is on screen: conversion and one paint.
void BM_PictureSetBitmap(benchmark::State& state) {
    vistrel::ScenePicture picture;
    picture.setFixedSize(PictureWidth, PictureHeight);
    ShowExposed(picture);
    const auto bitmap = RenderSeed(1);
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<vistrel::SceneBitmap>(*bitmap);
        state.ResumeTiming();
        picture.SetBitmap(std::move(copy));
    }
}
BENCHMARK(BM_PictureSetBitmap)->Unit(benchmark::kMicrosecond);

// A press of Next until the new scene is painted: seeding, rendering, conversion and paint.
void BM_NextToPainted(benchmark::State& state) {
    vistrel::SystemServices services;
    vistrel::ViewerDialog viewer(services);
    ShowExposed(viewer);
    QCoreApplication::sendPostedEvents();
    auto* next = viewer.findChild<QPushButton*>(QStringLiteral("nextButton"));
    for (auto _ : state) {
        next->click();
    }
    state.counters["scenes"] = static_cast<double>(viewer.SceneIndex());
}
BENCHMARK(BM_NextToPainted)->Unit(benchmark::kMicrosecond);

// A new window until its first scene is painted, as at start-up, and its closing.
void BM_WindowToFirstPicture(benchmark::State& state) {
    vistrel::SystemServices services;
    for (auto _ : state) {
        vistrel::ViewerDialog viewer(services);
        ShowExposed(viewer);
        QCoreApplication::sendPostedEvents();
        benchmark::DoNotOptimize(viewer.SceneIndex());
    }
}
BENCHMARK(BM_WindowToFirstPicture)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The figures are those of the offscreen platform, free of any display server's costs.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
