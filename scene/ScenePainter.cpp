#include "scene/ScenePainter.h"

#include <array>
#include <cmath>
#include <limits>

#include "scene/WrapInt.h"

namespace vistrel {

namespace {

// 3.1415926535 / 180 as the pictures have always used it: a little short of pi / 180.
constexpr double DegreeFactor = 0.017453292519444445;

// Truncation toward zero; a value with no 32-bit integer (or NaN) gives INT32_MIN, as the
// processor's own conversion does.
std::int32_t TruncToInt32(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(v);
}

// The cosine and sine of an angle in whole degrees, as cos(degrees * DegreeFactor) and
// sin(degrees * DegreeFactor) give them; the whole degrees of one turn are worked out once,
// since every arc of a picture needs two pairs.
struct DegreeRay {
    double cos;
    double sin;
};

// Out of line, like the table below: built into RayOf, their calls would make every lookup save
// and restore registers.
[[gnu::noinline]] DegreeRay ComputeRay(std::int32_t degrees) {
    const double angle = degrees * DegreeFactor;
    return {std::cos(angle), std::sin(angle)};
}

using OneTurnRays = std::array<DegreeRay, 361>;

[[gnu::noinline]] OneTurnRays ComputeOneTurn() {
    OneTurnRays rays{};
    for (std::int32_t d = 0; d <= 360; ++d) {
        rays[static_cast<std::size_t>(d)] = ComputeRay(d);
    }
    return rays;
}

DegreeRay RayOf(std::int32_t degrees) {
    static const OneTurnRays OneTurn = ComputeOneTurn();
    if (degrees >= 0 && degrees <= 360) {
        return OneTurn[static_cast<std::size_t>(degrees)];
    }
    return ComputeRay(degrees);
}

}  // namespace

template <typename Observer>
BasicScenePainter<Observer>::~BasicScenePainter() {
    ReleasePen();
    ReleaseBrush();
}

template <typename Observer>
void BasicScenePainter<Observer>::PaintOn(Surface& target) {
    ReleasePen();
    ReleaseBrush();
    surface = &target;
    PaintScene();
}

template <typename Observer>
void BasicScenePainter<Observer>::ReleasePen() {
    if (!pen) {
        return;
    }
    surface->SelectPen(previousPen);
    pen.reset();
}

template <typename Observer>
void BasicScenePainter<Observer>::ReleaseBrush() {
    if (!brush) {
        return;
    }
    surface->SelectBrush(previousBrush);
    brush.reset();
}

template <typename Observer>
void BasicScenePainter<Observer>::ClipScene(std::int32_t left, std::int32_t top, std::int32_t right,
                                            std::int32_t bottom, std::int32_t) {
    surface->IntersectClipRect(0, 0, WrapSub(right, left), WrapSub(bottom, top));
}

template <typename Observer>
void BasicScenePainter<Observer>::UsePen(std::int32_t colour) {
    ReleasePen();
    pen.emplace(Pen{ToColourIndex(colour)});
    previousPen = surface->SelectPen(&*pen);
}

template <typename Observer>
void BasicScenePainter<Observer>::UseBrush(std::int32_t, std::int32_t colour) {
    ReleaseBrush();
    brush.emplace(Brush{ToColourIndex(colour)});
    previousBrush = surface->SelectBrush(&*brush);
}

template <typename Observer>
void BasicScenePainter<Observer>::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                       std::int32_t y2) {
    if (!observer.Painting()) {
        return;
    }
    surface->MoveTo(x1, y1);
    surface->LineTo(x2, y2);
}

template <typename Observer>
void BasicScenePainter<Observer>::Circle(std::int32_t cx, std::int32_t cy, std::int32_t,
                                         std::int32_t, std::int32_t r) {
    if (!observer.Painting()) {
        return;
    }
    surface->Ellipse(WrapSub(cx, r), WrapSub(cy, r), WrapAdd(cx, r), WrapAdd(cy, r));
}

template <typename Observer>
void BasicScenePainter<Observer>::ArcDeg(std::int32_t cx, std::int32_t cy, std::int32_t startDeg,
                                         std::int32_t endDeg, std::int32_t rx, std::int32_t ry) {
    if (!observer.Painting()) {
        return;
    }
    const DegreeRay start = RayOf(startDeg);
    const DegreeRay end = RayOf(endDeg);
    const std::int32_t xs = TruncToInt32(start.cos * rx + cx);
    const std::int32_t ys = TruncToInt32(cy - start.sin * ry);
    const std::int32_t xe = TruncToInt32(end.cos * rx + cx);
    const std::int32_t ye = TruncToInt32(cy - end.sin * ry);
    surface->Arc(WrapSub(cx, rx), WrapSub(cy, ry), WrapAdd(cx, rx), WrapAdd(cy, ry), xs, ys, xe,
                 ye);
}

template <typename Observer>
void BasicScenePainter<Observer>::FillFrom(std::int32_t x, std::int32_t y,
                                           std::int32_t borderColour) {
    if (!observer.Painting()) {
        return;
    }
    surface->FloodFill(x, y, ToColourIndex(borderColour));
}

template class BasicScenePainter<Unobserved>;
template class BasicScenePainter<Observed>;

}  // namespace vistrel
