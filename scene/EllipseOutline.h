#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Raster.h"

namespace vistrel {

// The box of an ellipse with its corners in order and its size.
struct EllipseBox {
    std::int64_t left, top, width, height;

    static EllipseBox From(const Rect& r);
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

}  // namespace vistrel
