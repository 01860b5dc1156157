#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "raster/Surface.h"
#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/ScenePainter.h"
#include "tests/raster/SurfaceTestSupport.h"
#include "tests/support/Pictures.h"

namespace vistrel::test {

// A painter bound to a black surface as the recipe leaves it: clipped to the picture's frame
// (or less, on a smaller surface), wiped, and with a log of every primitive drawn from then on.
// Binding paints a picture, which is the only way to bind; the wipe hides it.
struct BoundPainter {
    explicit BoundPainter(std::int32_t width = 600, std::int32_t height = 206)
        : surface(BlankSurface(width, height)) {
        painter.PaintOn(*surface);
        surface->ClearOpaque(0);
        surface->SetRecorder(&log);
    }

    // The number of values `draw` takes from the random source.
    template <typename Draw>
    std::uint64_t DrawsOf(Draw&& draw) {
        const std::uint64_t before = rng.Draws();
        draw(painter);
        return rng.Draws() - before;
    }

    SceneRng rng;
    std::unique_ptr<Surface> surface;
    CallLog log;
    ScenePainter painter{rng};
};

// The picture of a scene seed, as the viewer paints it.
inline std::unique_ptr<SceneBitmap> RenderSeed(std::uint32_t seed) {
    auto bitmap = PictureOfSeed(seed);
    EXPECT_NE(bitmap, nullptr);
    return bitmap;
}

using vistrel::test::RenderSeed;

// The picture of a scene seed without one of its elements.
inline std::unique_ptr<SceneBitmap> RenderWithout(std::uint32_t seed, SceneElement element) {
    SceneElements omitted;
    omitted.Add(element);
    auto bitmap = vistrel::test::RenderWithout(seed, omitted);
    EXPECT_NE(bitmap, nullptr);
    return bitmap;
}

// The pixels in which two pictures of one size differ.
inline PointSet DifferingPixels(const SceneBitmap& a, const SceneBitmap& b) {
    PointSet points;
    for (std::int32_t y = 0; y < a.height; ++y) {
        for (std::int32_t x = 0; x < a.width; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                points.insert({x, y});
            }
        }
    }
    return points;
}

}  // namespace vistrel::test
