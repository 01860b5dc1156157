#pragma once

#include <cstdint>
#include <optional>

#include "raster/Palette.h"
#include "raster/Surface.h"
#include "scene/PaintObserver.h"
#include "scene/SceneElements.h"
#include "scene/SceneRng.h"

namespace vistrel {

// How the viewer's painter is watched: not at all. Each hook is a constant that the compiler
// folds away, so that watching other painters costs the viewer's pictures nothing.
struct Unobserved {
    static constexpr void StepBegins(SceneStep, SceneElement, std::uint64_t) {}
    static constexpr bool Painting() { return true; }
    static constexpr void Drawing(std::int32_t, std::size_t) {}
};

// A painter watched by a PaintObserver, which may leave the elements of some steps out.
class Observed {
  public:
    // Implicit, so that a painter is constructed with the observer itself.
    Observed(PaintObserver& observer) : observer(observer) {}

    void StepBegins(SceneStep step, SceneElement element, std::uint64_t draws) {
        painting = observer.StepBegins(step, element, draws);
    }
    bool Painting() const { return painting; }
    void Drawing(std::int32_t bound, std::size_t count) { observer.Drawing(bound, count); }

  private:
    PaintObserver& observer;
    bool painting = true;
};

// Paints one picture onto a surface: the drawing primitives, the element generators and the
// recipe that calls them, all drawing their random numbers from one scene random source. The
// observer type says how the painting is watched (Unobserved or Observed).
template <typename Observer>
class BasicScenePainter {
  public:
    explicit BasicScenePainter(SceneRng& rng, Observer observer = Observer())
        : rng(rng), observer(observer) {}
    virtual ~BasicScenePainter();
    BasicScenePainter(const BasicScenePainter&) = delete;
    BasicScenePainter& operator=(const BasicScenePainter&) = delete;

    // Binds the surface and paints the picture on it.
    void PaintOn(Surface& target);

    std::int32_t RandomBelow(std::int32_t n) {
        observer.Drawing(n, 1);
        return vistrel::RandomBelow(rng, n);
    }
    // RandomBelow(below.Bound()), for a bound many draws share.
    std::int32_t RandomBelow(const DrawsBelow& below) {
        observer.Drawing(below.Bound(), 1);
        return below.From(rng);
    }
    // RandomBelow(n) count times into values[0..count).
    void RandomsBelow(std::int32_t n, std::int32_t* values, std::size_t count) {
        observer.Drawing(n, count);
        vistrel::RandomsBelow(rng, n, values, count);
    }

    // Primitives. Colours are colour numbers; ignored arguments are kept so that calls read as
    // the recipe writes them.
    void ClipScene(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t flag);
    void UsePen(std::int32_t colour);
    void UseBrush(std::int32_t ignored, std::int32_t colour);
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void Circle(std::int32_t cx, std::int32_t cy, std::int32_t startDeg, std::int32_t endDeg,
                std::int32_t r);
    void ArcDeg(std::int32_t cx, std::int32_t cy, std::int32_t startDeg, std::int32_t endDeg,
                std::int32_t rx, std::int32_t ry);
    void FillFrom(std::int32_t x, std::int32_t y, std::int32_t borderColour);
    // Inline: the haze plots tens of thousands of pixels a picture.
    void Plot(std::int32_t x, std::int32_t y, std::int32_t colour) {
        if (observer.Painting()) {
            surface->SetPixel(x, y, ToColourIndex(colour));
        }
    }
    // Plot(x, y, colour) for each x of columns[0..count).
    void PlotRow(std::int32_t y, const std::int32_t* columns, std::size_t count,
                 std::int32_t colour) {
        if (observer.Painting()) {
            surface->SetPixelsInRow(y, columns, count, ToColourIndex(colour));
        }
    }

    // Element generators.
    void DrawRidge(std::int32_t startX, std::int32_t startY, std::int32_t endX, std::int32_t endY,
                   std::int32_t stepWidth, std::int32_t height, std::int32_t colour,
                   std::int32_t fill);
    void DrawStrokeBand(std::int32_t left, std::int32_t top, std::int32_t leftFactor,
                        std::int32_t right, std::int32_t bottom, std::int32_t rightFactor,
                        std::int32_t colour, std::int32_t rowStep);
    void ScatterArcPairs(std::int32_t count);
    void ScatterTufts(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      std::int32_t colour, std::int32_t size);
    void SprinkleRows(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      std::int32_t colour);

    // The whole picture.
    void PaintScene();

  private:
    void ReleasePen();
    void ReleaseBrush();
    void BeginStep(SceneStep step, SceneElement element) {
        observer.StepBegins(step, element, rng.Draws());
    }

    Surface* surface = nullptr;
    std::optional<Pen> pen;
    const Pen* previousPen = nullptr;
    std::optional<Brush> brush;
    const Brush* previousBrush = nullptr;

    SceneRng& rng;
    Observer observer;
};

// The viewer's painter.
using ScenePainter = BasicScenePainter<Unobserved>;
// The painter of the render tool, the tests and the benchmarks.
using ObservedScenePainter = BasicScenePainter<Observed>;

extern template class BasicScenePainter<Unobserved>;
extern template class BasicScenePainter<Observed>;

}  // namespace vistrel
