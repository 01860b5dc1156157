#include <algorithm>
#include <array>

#include "scene/ScenePainter.h"
#include "scene/WrapInt.h"

namespace vistrel {

template <typename Observer>
void BasicScenePainter<Observer>::DrawRidge(std::int32_t startX, std::int32_t startY,
                                            std::int32_t endX, std::int32_t endY,
                                            std::int32_t stepWidth, std::int32_t height,
                                            std::int32_t colour, std::int32_t fill) {
    UsePen(colour);

    std::int32_t x = startX;
    std::int32_t y = startY;
    std::int32_t previousRise = 0;
    const DrawsBelow dropAcross(stepWidth / 10);
    const DrawsBelow dropDown(height / 10);
    const DrawsBelow riseAcross(stepWidth);
    const DrawsBelow riseUp(height);
    for (int step = 0; step < 100; ++step) {
        std::int32_t nextX;
        std::int32_t nextY;
        const bool drop = previousRise > 0;
        if (drop) {
            const std::int32_t d1 = RandomBelow(dropAcross);
            const std::int32_t d2 = RandomBelow(dropDown);
            nextX = WrapAdd(WrapAdd(x, 3), d1);
            nextY = WrapAdd(y, d2);
        } else {
            const std::int32_t d1 = RandomBelow(riseAcross);
            const std::int32_t d2 = RandomBelow(riseUp);
            nextX = WrapAdd(x, d1);
            nextY = WrapSub(WrapSub(startY, height / 6), d2);
        }
        if (nextX >= endX) {
            Line(x, y, endX, endY);
            break;
        }
        Line(x, y, nextX, nextY);
        previousRise = drop ? 0 : WrapSub(y, nextY);
        x = nextX;
        y = nextY;
    }

    Line(startX, endY, endX, endY);

    if (fill > 0) {
        UseBrush(1, 1);
        FillFrom(WrapAdd(startX, stepWidth), WrapSub(startY, 3), 1);
    }

    // The strokes of the reflection hang from the start row every third pixel.
    for (std::int64_t sx = startX; sx < endX; sx += 3) {
        const std::int32_t a = RandomBelow(riseUp);
        const std::int32_t b = RandomBelow(4);
        const auto strokeX = static_cast<std::int32_t>(sx);
        Line(strokeX, WrapAdd(startY, b), strokeX, WrapAdd(WrapAdd(startY, 5), a));
    }
}

template <typename Observer>
void BasicScenePainter<Observer>::DrawStrokeBand(std::int32_t left, std::int32_t top,
                                                 std::int32_t leftFactor, std::int32_t right,
                                                 std::int32_t bottom, std::int32_t rightFactor,
                                                 std::int32_t colour, std::int32_t rowStep) {
    UsePen(colour);
    const std::int32_t w = WrapAbs(WrapSub(right, left));
    const std::int32_t h = WrapAbs(WrapSub(bottom, top));
    // A row step that does not advance would never finish the band.
    if (rowStep <= 0) {
        return;
    }
    const DrawsBelow across(w);
    for (std::int64_t s64 = 0; s64 < h; s64 += rowStep) {
        const auto s = static_cast<std::int32_t>(s64);
        const std::int32_t r1 = RandomBelow(across);
        const std::int32_t r2 = RandomBelow(across);
        const std::int32_t r3 = RandomBelow(across);
        const std::int32_t r4 = RandomBelow(across);
        const std::int32_t leftX = WrapSub(WrapAdd(WrapAdd(left, WrapMul(leftFactor, r3)), r4), s);
        const std::int32_t rightX =
            WrapAdd(WrapSub(WrapAdd(right, WrapMul(rightFactor, r1)), r2), s);
        const std::int32_t y = WrapAdd(top, s);
        Line(leftX, y, rightX, y);
    }
}

template <typename Observer>
void BasicScenePainter<Observer>::ScatterArcPairs(std::int32_t count) {
    UsePen(15);
    for (std::int32_t i = 1; i < count; ++i) {
        const std::int32_t x = RandomBelow(570);
        const std::int32_t y = RandomBelow(170) + 20;
        std::int32_t s = WrapAdd(i, RandomBelow(5));
        if (s > 10) {
            s = RandomBelow(5) + 5;
        }
        const std::int32_t a = RandomBelow(135);
        ArcDeg(x, y, 0, 45 + a, s, s);
        ArcDeg(WrapAdd(x, WrapMul(2, s)), y, 135 - a, 180, s, s);
    }
}

template <typename Observer>
void BasicScenePainter<Observer>::ScatterTufts(std::int32_t left, std::int32_t top,
                                               std::int32_t right, std::int32_t bottom,
                                               std::int32_t colour, std::int32_t size) {
    UsePen(colour);
    const std::int32_t dx = WrapSub(right, left);
    const std::int32_t dy = WrapSub(bottom, top);
    const std::int32_t n = WrapMul(WrapAdd(WrapAbs(dy), WrapAbs(dx)), size / 5) / 4;
    const DrawsBelow column(dx);
    const DrawsBelow row(WrapAdd(dy, 2));
    const DrawsBelow width(size / 2);
    const DrawsBelow height(size);
    for (std::int32_t i = 1; i < n; ++i) {
        const std::int32_t x = WrapAdd(left, RandomBelow(column));
        const std::int32_t y = WrapAdd(top, RandomBelow(row));
        const std::int32_t rx = RandomBelow(width);
        const std::int32_t ry = RandomBelow(height);
        const std::int32_t e = RandomBelow(45) + 90;
        ArcDeg(x, y, 0, e, rx, ry);
    }
}

template <typename Observer>
void BasicScenePainter<Observer>::SprinkleRows(std::int32_t left, std::int32_t top,
                                               std::int32_t right, std::int32_t bottom,
                                               std::int32_t colour) {
    const std::int32_t n = WrapSub(bottom, top) / 2;
    const std::int32_t width = WrapSub(right, left);
    // Row k's columns are drawn in batches of a buffer's length, then plotted.
    std::array<std::int32_t, 512> columns;
    for (std::int32_t k = 1; k < n; ++k) {
        const std::int32_t y = WrapAdd(top, WrapMul(2, k));
        for (std::int64_t remaining = std::int64_t{10} * k; remaining > 0;) {
            const auto count =
                static_cast<std::size_t>(std::min<std::int64_t>(remaining, columns.size()));
            RandomsBelow(width, columns.data(), count);
            PlotRow(y, columns.data(), count, colour);
            remaining -= static_cast<std::int64_t>(count);
        }
    }
}

// Both painters' generators, for the recipe in its own file.
template void BasicScenePainter<Unobserved>::DrawRidge(std::int32_t, std::int32_t, std::int32_t,
                                                       std::int32_t, std::int32_t, std::int32_t,
                                                       std::int32_t, std::int32_t);
template void BasicScenePainter<Unobserved>::DrawStrokeBand(std::int32_t, std::int32_t,
                                                            std::int32_t, std::int32_t,
                                                            std::int32_t, std::int32_t,
                                                            std::int32_t, std::int32_t);
template void BasicScenePainter<Unobserved>::ScatterArcPairs(std::int32_t);
template void BasicScenePainter<Unobserved>::ScatterTufts(std::int32_t, std::int32_t, std::int32_t,
                                                          std::int32_t, std::int32_t, std::int32_t);
template void BasicScenePainter<Unobserved>::SprinkleRows(std::int32_t, std::int32_t, std::int32_t,
                                                          std::int32_t, std::int32_t);
template void BasicScenePainter<Observed>::DrawRidge(std::int32_t, std::int32_t, std::int32_t,
                                                     std::int32_t, std::int32_t, std::int32_t,
                                                     std::int32_t, std::int32_t);
template void BasicScenePainter<Observed>::DrawStrokeBand(std::int32_t, std::int32_t, std::int32_t,
                                                          std::int32_t, std::int32_t, std::int32_t,
                                                          std::int32_t, std::int32_t);
template void BasicScenePainter<Observed>::ScatterArcPairs(std::int32_t);
template void BasicScenePainter<Observed>::ScatterTufts(std::int32_t, std::int32_t, std::int32_t,
                                                        std::int32_t, std::int32_t, std::int32_t);
template void BasicScenePainter<Observed>::SprinkleRows(std::int32_t, std::int32_t, std::int32_t,
                                                        std::int32_t, std::int32_t);

}  // namespace vistrel
