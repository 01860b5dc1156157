#include <array>
#include <cstdint>

#include "scene/SceneChoices.h"
#include "scene/ScenePainter.h"

namespace vistrel {

namespace {

// The eight arguments of one DrawRidge call of the recipe.
struct RidgeRow {
    std::int32_t startX, startY, endX, endY, stepWidth, height, colour, fill;
};

constexpr std::array<RidgeRow, 3> RidgeTable = {{
    {330, 135, 640, 135, 45, 110, 1, 1},  // near range, right
    {-10, 110, 190, 110, 40, 80, 1, 1},   // range on the left
    {210, 90, 600, 90, 25, 30, 1, -1},    // far range, middle, outline only
}};

}  // namespace

template <typename Observer>
void BasicScenePainter<Observer>::PaintScene() {
    const RidgeRow& near = RidgeTable[0];
    const RidgeRow& left = RidgeTable[1];

    ClipScene(30, 0, 600, 190, 1);

    BeginStep(SceneStep::SkyColour, SceneElement::Sky);
    const std::int32_t sky = RandomBelow(3) == 2 ? 1 : RandomBelow(16);

    BeginStep(SceneStep::SkyFill, SceneElement::Sky);
    UseBrush(1, sky);
    FillFrom(10, 20, 1);

    constexpr SceneStep RangeSteps[] = {SceneStep::Range1, SceneStep::Range2, SceneStep::Range3};
    for (int i = 0; i < 3; ++i) {
        BeginStep(RangeSteps[i], SceneElement::Ranges);
        const RidgeRow& r = RidgeTable[static_cast<std::size_t>(i)];
        DrawRidge(r.startX, r.startY, r.endX, r.endY, r.stepWidth, r.height, r.colour, r.fill);
    }

    BeginStep(SceneStep::Band1, SceneElement::Bands);
    DrawStrokeBand(near.endX - 120, near.startY + 5, -1, near.endX + 200, 190, 1, 1, 1);
    BeginStep(SceneStep::Band2, SceneElement::Bands);
    DrawStrokeBand(left.endX - 50, left.endY + 10, -1, near.startX + 10, 190, 1, sky + 1, 2);

    BeginStep(SceneStep::Accent, SceneElement::Glints);
    const std::int32_t accent = RandomBelow(16);
    UsePen(accent);

    BeginStep(SceneStep::Haze, SceneElement::Haze);
    SprinkleRows(31, 50, 600, 189, accent);

    BeginStep(SceneStep::Disc, SceneElement::Disc);
    if (DiscShows(sky, accent)) {
        UseBrush(1, accent);
        Circle(205, 90 - accent, 0, 360, 2 * accent);
    }

    BeginStep(SceneStep::Glints, SceneElement::Glints);
    for (std::int32_t i = 1; i <= 54; ++i) {
        const std::int32_t f = RandomBelow(20);
        const std::int32_t g = RandomBelow(200);
        const std::int32_t h = RandomBelow(330);
        // A double product truncated: i * 1.4 in exact decimals would differ at i = 45.
        const auto y = 120 + static_cast<std::int32_t>(i * 1.4);
        Line(h, y, i * f + g, y);
    }

    BeginStep(SceneStep::Tufts, SceneElement::Tufts);
    if (TuftsShow(sky, accent)) {
        ScatterTufts(near.startX - 5, near.startY - 2, 640, near.startY, 2, 22);
        ScatterTufts(left.startX, left.startY - 3, left.startX + 6, left.startY + 10, 2, 20);
        ScatterTufts(240, 180, 570, 185, 2, 20);
        ScatterTufts(left.startX, left.startY, left.endX - 15, left.startY, 3, 14);
    }

    BeginStep(SceneStep::Birds, SceneElement::Birds);
    ScatterArcPairs(30);

    BeginStep(SceneStep::End, SceneElement::Birds);
}

template void BasicScenePainter<Unobserved>::PaintScene();
template void BasicScenePainter<Observed>::PaintScene();

}  // namespace vistrel
