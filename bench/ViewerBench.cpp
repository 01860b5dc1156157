#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QWindow>

#include "bench/QtBench.h"
#include "scene/Picture.h"
#include "userfiles/Favourites.h"
#include "viewer/ScenePicture.h"
#include "viewer/SystemServices.h"
#include "viewer/ViewerDialog.h"

namespace {

using vistrel::bench::ShowExposed;

// The picture control's size in the viewer's window: the frame and a strip of black below it.
constexpr int ControlWidth = vistrel::PictureWidth;
constexpr int ControlHeight = 206;

std::unique_ptr<vistrel::SceneBitmap> RenderSeed(std::uint32_t seed) {
    return vistrel::PictureOfSeed(seed, {0, 0, ControlWidth, ControlHeight});
}

// One paint of the picture on show: what every expose of the window costs.
void BM_PicturePaint(benchmark::State& state) {
    vistrel::ScenePicture picture;
    picture.setFixedSize(ControlWidth, ControlHeight);
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
    picture.setFixedSize(ControlWidth, ControlHeight);
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
    vistrel::Favourites favourites;
    vistrel::ViewerDialog viewer(services, favourites);
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
        vistrel::Favourites favourites;
        vistrel::ViewerDialog viewer(services, favourites);
        ShowExposed(viewer);
        QCoreApplication::sendPostedEvents();
        benchmark::DoNotOptimize(viewer.SceneIndex());
    }
}
BENCHMARK(BM_WindowToFirstPicture)->Unit(benchmark::kMillisecond);

}  // namespace
