#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "Palette.h"
#include "SceneElements.h"
#include "SceneRng.h"
#include "Surface.h"

namespace vistrel {

// The eight arguments of one DrawRidge call of the recipe.
struct RidgeRow {
    std::int32_t startX, startY, endX, endY, stepWidth, height, colour, fill;
};

inline constexpr std::array<RidgeRow, 3> RidgeTable = {{
    {330, 135, 640, 135, 45, 110, 1, 1},  // near range, right
    {-10, 110, 190, 110, 40, 80, 1, 1},   // range on the left
    {210, 90, 600, 90, 25, 30, 1, -1},    // far range, middle, outline only
}};

// 3.1415926535 / 180 as the pictures have always used it: a little short of pi / 180.
inline constexpr double DegreeFactor = 0.017453292519444445;

// Paints one picture onto a surface: the drawing primitives, the element generators and the
// recipe that calls them, all drawing their random numbers from one scene random source.
class ScenePainter {
  public:
    explicit ScenePainter(SceneRng& rng, SceneElements omitted = {});
    virtual ~ScenePainter();
    ScenePainter(const ScenePainter&) = delete;
    ScenePainter& operator=(const ScenePainter&) = delete;

    // Binds the surface and paints the picture on it.
    void PaintOn(Surface& target);
    const SceneReport& Report() const { return report; }

    std::int32_t RandomBelow(std::int32_t n) {
        if (drawBounds != nullptr) [[unlikely]] {
            RecordDrawBound(n);
        }
        return vistrel::RandomBelow(rng, n);
    }
    // RandomBelow(n) count times into values[0..count).
    void RandomsBelow(std::int32_t n, std::int32_t* values, std::size_t count) {
        if (drawBounds != nullptr) [[unlikely]] {
            drawBounds->insert(drawBounds->end(), count, n);
        }
        vistrel::RandomsBelow(rng, n, values, count);
    }
    // Every later RandomBelow call appends its bound to `bounds` (none to stop).
    void RecordDrawBounds(std::vector<std::int32_t>* bounds) { drawBounds = bounds; }

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
        if (painting) {
            surface->SetPixel(x, y, ToColourIndex(colour));
        }
    }
    // Plot(x, y, colour) for each x of columns[0..count).
    void PlotRow(std::int32_t y, const std::int32_t* columns, std::size_t count,
                 std::int32_t colour) {
        if (painting) {
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
    // Out of line, so that RandomBelow stays small enough to inline everywhere.
    void RecordDrawBound(std::int32_t n);
    // Marks the start of a recipe step; an omitted element still draws its numbers but paints
    // nothing.
    void BeginStep(SceneStep step, SceneElement element);

    Surface* surface = nullptr;
    std::optional<Pen> pen;
    const Pen* previousPen = nullptr;
    std::optional<Brush> brush;
    const Brush* previousBrush = nullptr;

    SceneRng& rng;
    SceneElements omitted;
    bool painting = true;
    SceneReport report;
    std::vector<std::int32_t>* drawBounds = nullptr;
};

}  // namespace vistrel
