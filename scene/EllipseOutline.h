#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Raster.h"
#include "WideInt.h"

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

// The quarter walk answered row by row: quarter row j (0..LastRow(), walk row h / 2 + j)
// covers walk columns Exit(j)..Enter(j), in O(log size) per row. Boxes over 2 on each side.
class QuarterOutline {
  public:
    QuarterOutline(std::int64_t width, std::int64_t height);
    ~QuarterOutline();
    QuarterOutline(const QuarterOutline&) = delete;
    QuarterOutline& operator=(const QuarterOutline&) = delete;

    std::int64_t LastRow() const;
    std::int64_t Exit(std::int64_t j) const;
    std::int64_t Enter(std::int64_t j) const;

    // The walk's terms in 128 or 256 bits, by the box's size.
    class Rows;

  private:
    std::unique_ptr<const Rows> rows;
};

struct LoopPosition;

// An arc of a box too large to walk, painted row by row within the clip: the ends of the arc
// are found in the outline loop by bisection, and each visible outline pixel is placed in the
// loop by its quarter, row and column, so the pixels are those of the walked loop.
class ArcByRows {
  public:
    explicit ArcByRows(const EllipseBox& box);

    void Paint(ClippedPixels& out, Int128 startX, Int128 startY, Int128 endX, Int128 endY,
               ColourIndex pen) const;

  private:
    static bool Before(const LoopPosition& a, const LoopPosition& b);
    LoopPosition First(int quarter) const;
    LoopPosition Last(int quarter) const;
    LoopPosition Previous(const LoopPosition& p) const;
    OutlinePoint BoxPixel(const LoopPosition& p) const;
    LoopPosition RayPosition(Int128 rayX, Int128 rayY) const;

    EllipseBox box;
    QuarterOutline rows;
    std::int64_t lastRow;
};

}  // namespace vistrel
