#include "raster/EllipseOutline.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "raster/Bisect.h"
#include "raster/WideInt.h"

namespace vistrel {

namespace {

// The quarter walk of a box over 2 on each side, answered row by row in closed form. The walk
// steps from (a, h / 2) over the diameters a = w - 1 and b = h - 1, left, down or both, as its
// error term says. After it has reached column x of quarter row j, that error is
//   E(x, j) = 4b^2 (a - x + 1)(1 - x) + 4a^2 (j + 1)(1 + bOdd + j) + a^2 bOdd
// and it steps left when 2E >= 4b^2 (1 + a - 2x), down when 2E <= 4a^2 (1 + bOdd + 2j). Along a
// row E only falls, so the columns where each test holds form one run, found by bisection.
template <typename N>
class QuarterRows {
  public:
    QuarterRows(std::int64_t w, std::int64_t h)
        : a(w - 1),
          bOdd((h - 1) & 1),
          middle(w / 2),
          b2x4(N(4) * N(Int128{h - 1} * (h - 1))),
          a2x4(N(4) * N(Int128{a} * a)),
          a2bOdd(N(Int128{a} * a * bOdd)),
          lastRow(FindLastRow(h)) {}

    std::int64_t LastRow() const { return lastRow; }

    // The outline of quarter row j covers columns Exit(j)..Enter(j).
    std::int64_t Enter(std::int64_t j) const {
        if (j == 0) {
            return a;
        }
        const std::int64_t x = Exit(j - 1);
        return StepsLeft(x, j - 1) ? x - 1 : x;
    }

    std::int64_t Exit(std::int64_t j) const {
        for (const Cached& c : cache) {
            if (c.row == j) {
                return c.x;
            }
        }
        const std::int64_t x = ComputeExit(j);
        cache[nextSlot] = {j, x};
        nextSlot ^= 1;
        return x;
    }

  private:
    N Error(std::int64_t x, std::int64_t j) const {
        return b2x4 * N(Int128{a - x + 1} * (1 - x)) + a2x4 * N(Int128{j + 1} * (1 + bOdd + j)) +
               a2bOdd;
    }
    bool StepsLeft(std::int64_t x, std::int64_t j) const {
        const N e = Error(x, j);
        return e + e >= b2x4 * N(Int128{1 + a - 2 * x});
    }
    bool StepsDown(std::int64_t x, std::int64_t j) const {
        const N e = Error(x, j);
        return e + e <= a2x4 * N(Int128{1 + bOdd + 2 * j});
    }

    // Largest x in [lo, hi] with pred(x), for a predicate true up to some x (lo if only there).
    template <typename Pred>
    static std::int64_t LastTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
        return FirstTrue(lo + 1, hi + 1, [&](std::int64_t x) { return !pred(x); }) - 1;
    }

    // The row ends at the nearer of the last column where the walk would step down and the
    // last column where, one row up, it would not have stepped left.
    std::int64_t ComputeExit(std::int64_t j) const {
        std::int64_t down;
        if (StepsDown(middle + 1, j)) {
            down = LastTrue(middle + 1, a, [&](std::int64_t x) { return StepsDown(x, j); });
        } else if (StepsDown(middle, j)) {
            down = middle;
        } else {
            return middle;
        }
        std::int64_t stay = a;
        if (j > 0) {
            if (StepsLeft(middle, j - 1)) {
                return middle;
            }
            stay = LastTrue(middle, a, [&](std::int64_t x) { return !StepsLeft(x, j - 1); });
        }
        return std::max(middle, std::min(down, stay));
    }

    // The walk ends in the first row it leaves from the middle column with a step left; thin
    // tall boxes get there before their bottom row, so their tips stay empty.
    std::int64_t FindLastRow(std::int64_t h) const {
        const std::int64_t bottom = (h - 1) - h / 2;
        auto ends = [&](std::int64_t j) { return Exit(j) == middle && StepsLeft(middle, j); };
        if (!ends(bottom)) {
            return bottom;
        }
        return FirstTrue(0, bottom, ends);
    }

    struct Cached {
        std::int64_t row = -1;
        std::int64_t x = 0;
    };

    std::int64_t a;
    std::int64_t bOdd;
    std::int64_t middle;
    N b2x4;
    N a2x4;
    N a2bOdd;
    // Neighbouring rows ask for the same exits.
    mutable Cached cache[2];
    mutable int nextSlot = 0;
    std::int64_t lastRow;
};

template <typename N>
void ForEachCurvedRow(const EllipseBox& box, const QuarterRows<N>& quarter, std::int64_t yFrom,
                      std::int64_t yTo,
                      const std::function<void(std::int64_t, const EllipseRow&)>& paint) {
    const std::int64_t w = box.width;
    const std::int64_t h = box.height;
    for (std::int64_t y = yFrom; y < yTo; ++y) {
        const std::int64_t fromTop = y - box.top;
        // The top half mirrors the bottom half.
        const std::int64_t j = fromTop >= h / 2 ? fromTop - h / 2 : (h - 1 - fromTop) - h / 2;
        if (j > quarter.LastRow()) {
            continue;
        }
        const std::int64_t first = quarter.Exit(j);
        const std::int64_t last = quarter.Enter(j);
        const std::int64_t mirroredFirst = w - 1 - last;
        const std::int64_t mirroredLast = w - 1 - first;
        EllipseRow row{};
        row.left0 = box.left + mirroredFirst;
        if (mirroredLast + 1 >= first) {
            row.left1 = box.left + last;
            row.split = false;
        } else {
            row.left1 = box.left + mirroredLast;
            row.split = true;
            row.right0 = box.left + first;
            row.right1 = box.left + last;
        }
        paint(y, row);
    }
}

// Calls f with the quarter rows of a box over 2 on each side, in the narrowest integers that
// hold the walk's terms: 128 bits while both sides are below 2^31, 256 above.
template <typename F>
void WithQuarterRows(std::int64_t w, std::int64_t h, F&& f) {
    constexpr std::int64_t Limit128 = std::int64_t{1} << 31;
    if (w >= Limit128 || h >= Limit128) {
        f(QuarterRows<Int256>(w, h));
    } else {
        f(QuarterRows<Int128>(w, h));
    }
}

}  // namespace

std::vector<OutlinePoint> QuarterWalk(std::int64_t w, std::int64_t h) {
    std::vector<OutlinePoint> points;
    if (w <= 0 || h <= 0) {
        return points;
    }
    // Too thin to curve: a box up to two wide has the one point, a box up to two high walks
    // straight along its middle row.
    if (w <= 2) {
        points.push_back({w - 1, h / 2});
        return points;
    }
    if (h <= 2) {
        for (std::int64_t x = w - 1; x >= w / 2; --x) {
            points.push_back({x, h / 2});
        }
        return points;
    }
    WithQuarterRows(w, h, [&](const auto& rows) {
        for (std::int64_t j = 0; j <= rows.LastRow(); ++j) {
            for (std::int64_t x = rows.Enter(j); x >= rows.Exit(j); --x) {
                points.push_back({x, h / 2 + j});
            }
        }
    });
    return points;
}

void ForEachEllipseRow(const EllipseBox& box, std::int64_t yFrom, std::int64_t yTo,
                       const std::function<void(std::int64_t, const EllipseRow&)>& paint) {
    yFrom = std::max(yFrom, box.top);
    yTo = std::min(yTo, box.top + box.height);
    if (box.width == 0 || box.height == 0 || (box.width == 1 && box.height == 1) || yFrom >= yTo) {
        return;
    }
    if (box.width <= 2 || box.height <= 2) {
        // Too thin for a curve: the whole box is outline.
        const EllipseRow row{box.left, box.left + box.width - 1, false, 0, 0};
        for (std::int64_t y = yFrom; y < yTo; ++y) {
            paint(y, row);
        }
        return;
    }
    WithQuarterRows(box.width, box.height,
                    [&](const auto& rows) { ForEachCurvedRow(box, rows, yFrom, yTo, paint); });
}

namespace {

// A point of the outline loop: its quarter counted over two laps (so an arc that passes the
// start of the loop still runs forward), its quarter row j and its walk column x.
struct LoopPosition {
    int quarter;
    std::int64_t j;
    std::int64_t x;

    int Physical() const { return ((quarter % 4) + 4) % 4; }
    // Counter-clockwise runs with the walk in quarters 0 and 2, against it in 1 and 3.
    bool WithWalk() const { return Physical() % 2 == 0; }
    friend bool operator==(const LoopPosition&, const LoopPosition&) = default;
};

// An arc of a box too large to walk, painted row by row within the clip: the ends of the arc
// are found in the outline loop by bisection, and each visible outline pixel is placed in the
// loop by its quarter, row and column, so the pixels are those of the walked loop.
template <typename N>
class ArcByRows {
  public:
    ArcByRows(const EllipseBox& box, const QuarterRows<N>& rows)
        : box(box), rows(rows), lastRow(rows.LastRow()) {}

    void Paint(ClippedPixels& out, Int128 startX, Int128 startY, Int128 endX, Int128 endY,
               ColourIndex pen) const {
        LoopPosition start = RayPosition(startX, startY);
        if (start.quarter == 4) {
            start = First(0);
        }
        LoopPosition end = RayPosition(endX, endY);
        if (!Before(start, end)) {
            end.quarter += 4;
        }
        // The polyline leaves out its last point, the one before the end ray's point.
        const LoopPosition last = Previous(Previous(end));
        if (Before(last, start)) {
            return;
        }
        const Rect& clip = out.Clip();
        const std::int64_t yFrom = std::max<std::int64_t>(clip.top, box.top) - box.top;
        const std::int64_t yTo =
            std::min<std::int64_t>(clip.bottom, box.top + box.height) - box.top;
        const std::int64_t xFrom = std::max<std::int64_t>(clip.left, box.left) - box.left;
        const std::int64_t xTo =
            std::min<std::int64_t>(clip.right, box.left + box.width) - box.left;
        // A segment between two copies of a pixel paints nothing: the copy that ends a quarter
        // leaves the pixel to the one that starts the next. Found once, not per pixel.
        std::optional<LoopPosition> leftToNext[4];
        for (int q = 0; q < 4; ++q) {
            const LoopPosition end = Last(q);
            if (BoxPixel(end) == BoxPixel(First(q + 1))) {
                leftToNext[q] = end;
            }
        }
        for (std::int64_t y = yFrom; y < yTo; ++y) {
            for (int q = 0; q < 4; ++q) {
                const std::int64_t walkY = q < 2 ? box.height - 1 - y : y;
                const std::int64_t j = walkY - box.height / 2;
                if (j < 0 || j > lastRow) {
                    continue;
                }
                const bool mirrored = q == 1 || q == 2;
                const std::int64_t x0 = rows.Exit(j);
                const std::int64_t x1 = rows.Enter(j);
                const std::int64_t boxX0 = std::max(xFrom, mirrored ? box.width - 1 - x1 : x0);
                const std::int64_t boxX1 = std::min(xTo - 1, mirrored ? box.width - 1 - x0 : x1);
                for (std::int64_t bx = boxX0; bx <= boxX1; ++bx) {
                    const LoopPosition p{q, j, mirrored ? box.width - 1 - bx : bx};
                    if (leftToNext[q] == p) {
                        continue;
                    }
                    for (const int lap : {0, 4}) {
                        const LoopPosition lapped{q + lap, p.j, p.x};
                        if (!Before(lapped, start) && !Before(last, lapped)) {
                            out.Set(box.left + bx, box.top + y, pen);
                            break;
                        }
                    }
                }
            }
        }
    }

  private:
    static bool Before(const LoopPosition& a, const LoopPosition& b) {
        if (a.quarter != b.quarter) {
            return a.quarter < b.quarter;
        }
        if (a.j != b.j) {
            return a.WithWalk() ? a.j < b.j : a.j > b.j;
        }
        return a.WithWalk() ? a.x > b.x : a.x < b.x;
    }

    LoopPosition First(int quarter) const {
        const LoopPosition start{quarter, 0, rows.Enter(0)};
        const LoopPosition end{quarter, lastRow, rows.Exit(lastRow)};
        return start.WithWalk() ? start : end;
    }

    LoopPosition Last(int quarter) const {
        const LoopPosition start{quarter, 0, rows.Enter(0)};
        const LoopPosition end{quarter, lastRow, rows.Exit(lastRow)};
        return start.WithWalk() ? end : start;
    }

    LoopPosition Previous(const LoopPosition& p) const {
        if (p == First(p.quarter)) {
            return Last(p.quarter - 1);
        }
        if (p.WithWalk()) {
            return p.x < rows.Enter(p.j) ? LoopPosition{p.quarter, p.j, p.x + 1}
                                         : LoopPosition{p.quarter, p.j - 1, rows.Exit(p.j - 1)};
        }
        return p.x > rows.Exit(p.j) ? LoopPosition{p.quarter, p.j, p.x - 1}
                                    : LoopPosition{p.quarter, p.j + 1, rows.Enter(p.j + 1)};
    }

    OutlinePoint BoxPixel(const LoopPosition& p) const {
        const std::int64_t walkY = box.height / 2 + p.j;
        switch (p.Physical()) {
            case 0:
                return {p.x, box.height - 1 - walkY};
            case 1:
                return {box.width - 1 - p.x, box.height - 1 - walkY};
            case 2:
                return {box.width - 1 - p.x, walkY};
            default:
                return {p.x, walkY};
        }
    }

    LoopPosition RayPosition(Int128 rayX, Int128 rayY) const {
        const RayCrossing<Int128> ray(rayX, rayY, box.width, box.height);
        const int q = ray.Quarter();
        auto hits = [&](std::int64_t j, std::int64_t x) {
            return ray.Reached(x, box.height / 2 + j);
        };
        // Along the quarter in counter-clockwise order the test turns true once; the last point
        // of each row in that order is the first of the row to turn.
        const bool withWalk = ray.WithWalk();
        auto rowAt = [&](std::int64_t r) { return withWalk ? r : lastRow - r; };
        auto rowEnd = [&](std::int64_t j) { return withWalk ? rows.Exit(j) : rows.Enter(j); };
        const std::int64_t r = FirstTrue(
            0, lastRow + 1, [&](std::int64_t k) { return hits(rowAt(k), rowEnd(rowAt(k))); });
        if (r > lastRow) {
            return First(q + 1);
        }
        const std::int64_t j = rowAt(r);
        const std::int64_t from = withWalk ? rows.Enter(j) : rows.Exit(j);
        const std::int64_t length = rows.Enter(j) - rows.Exit(j) + 1;
        const int step = withWalk ? -1 : 1;
        const std::int64_t t =
            FirstTrue(0, length, [&](std::int64_t k) { return hits(j, from + step * k); });
        return {q, j, from + step * t};
    }

    EllipseBox box;
    const QuarterRows<N>& rows;
    std::int64_t lastRow;
};

}  // namespace

void PaintArcByRows(ClippedPixels& out, const EllipseBox& box, Int128 startX, Int128 startY,
                    Int128 endX, Int128 endY, ColourIndex pen) {
    WithQuarterRows(box.width, box.height, [&](const auto& rows) {
        ArcByRows(box, rows).Paint(out, startX, startY, endX, endY, pen);
    });
}

}  // namespace vistrel
