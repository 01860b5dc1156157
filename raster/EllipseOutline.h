#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "raster/Primitives.h"
#include "raster/WideInt.h"

namespace vistrel {

// The box of an ellipse with its corners in order and its size.
struct EllipseBox {
    std::int64_t left, top, width, height;

    // Inline: every arc of a picture starts here.
    static EllipseBox From(const Rect& r) {
        // A box given with its corners swapped is the same box.
        const std::int64_t l = std::min(r.left, r.right);
        const std::int64_t t = std::min(r.top, r.bottom);
        return {l, t, std::max<std::int64_t>(r.left, r.right) - l,
                std::max<std::int64_t>(r.top, r.bottom) - t};
    }
};

// The pixels of one row of an ellipse: its outline runs (one, or a left and a right one with
// the inside between them), columns inclusive.
struct EllipseRow {
    std::int64_t left0, left1;
    bool split;
    std::int64_t right0, right1;
};

// Calls paint for each row from yFrom up to yTo that has pixels. Each row costs a few
// bisections, so a huge ellipse costs no more per visible row than a small one.
void ForEachEllipseRow(const EllipseBox& box, std::int64_t yFrom, std::int64_t yTo,
                       const std::function<void(std::int64_t, const EllipseRow&)>& paint);

// One quarter of the outline, box-relative: the walk from the right end of the middle row
// (w - 1, h / 2) down to the bottom, each step left, down or both.
struct OutlinePoint {
    std::int64_t x, y;
    friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};
std::vector<OutlinePoint> QuarterWalk(std::int64_t width, std::int64_t height);

// Where a ray from the box centre (rounded down), y pointing up, meets the outline: a point
// (x, y) of the quarter walk, box-relative, has reached the ray once
// c = (y - h/2) |rayX| - (x - w/2) |rayY| is at least 0 in the ray's quarter 0, at most 0 in
// quarter 1, above 0 in quarter 2 and below 0 in quarter 3. Counter-clockwise runs with the walk
// in quarters 0 and 2 and against it in 1 and 3, where c is tested negated; strictly past the
// ray is at least 1 in whole numbers. N holds the products: 64 bits for boxes that are walked.
template <typename N>
class RayCrossing {
  public:
    RayCrossing(N rayX, N rayY, std::int64_t width, std::int64_t height)
        : quarter(rayY >= 0 ? (rayX >= 0 ? 0 : 1) : (rayX < 0 ? 2 : 3)) {
        const N sign = WithWalk() ? 1 : -1;
        yFactor = sign * (rayX < 0 ? -rayX : rayX);
        xFactor = sign * (rayY < 0 ? -rayY : rayY);
        threshold = N(height / 2) * yFactor - N(width / 2) * xFactor + (quarter < 2 ? 0 : 1);
    }

    int Quarter() const { return quarter; }
    bool WithWalk() const { return quarter % 2 == 0; }
    bool Reached(std::int64_t x, std::int64_t y) const {
        return N(y) * yFactor - N(x) * xFactor >= threshold;
    }
    // The terms of Reached: y YFactor() - x XFactor() >= Threshold().
    N YFactor() const { return yFactor; }
    N XFactor() const { return xFactor; }
    N Threshold() const { return threshold; }

  private:
    int quarter;
    N yFactor = 0;
    N xFactor = 0;
    N threshold = 0;
};

// The arc of a box too large to walk, painted row by row within the clip, from the ray
// (startX, startY) to the ray (endX, endY) taken from the box centre rounded down, y up.
void PaintArcByRows(ClippedPixels& out, const EllipseBox& box, Int128 startX, Int128 startY,
                    Int128 endX, Int128 endY, ColourIndex pen);

}  // namespace vistrel
