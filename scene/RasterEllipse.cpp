#include <algorithm>
#include <vector>

#include "EllipseOutline.h"
#include "Raster.h"
#include "WideInt.h"

namespace vistrel {

namespace {

// The outline as the arc walks it: the quarter walk mirrored into four quarters, counter-
// clockwise on screen from the right end of the middle row. On an axis of an odd-sized box the
// same pixel ends one quarter and starts the next.
class OutlineLoop {
  public:
    OutlineLoop(const EllipseBox& box) : box(box), quarter(QuarterWalk(box.width, box.height)) {}

    std::int64_t QuarterSize() const { return static_cast<std::int64_t>(quarter.size()); }
    std::int64_t Size() const { return 4 * QuarterSize(); }

    // Point k of the loop, box-relative.
    OutlinePoint At(std::int64_t k) const {
        const std::int64_t m = QuarterSize();
        const std::int64_t w = box.width;
        const std::int64_t h = box.height;
        switch (k / m) {
            case 0: {
                const OutlinePoint& p = Quarter(k);
                return {p.x, h - 1 - p.y};
            }
            case 1: {
                const OutlinePoint& p = Quarter(2 * m - 1 - k);
                return {w - 1 - p.x, h - 1 - p.y};
            }
            case 2: {
                const OutlinePoint& p = Quarter(k - 2 * m);
                return {w - 1 - p.x, p.y};
            }
            default:
                return Quarter(4 * m - 1 - k);
        }
    }

    // Where the ray (rayX, rayY) from the centre, y pointing up, meets the loop: the first
    // point counter-clockwise that is on or past the ray in the upper quarters and strictly
    // past it in the lower ones, or the start of the next quarter when there is none. Points
    // are compared with the ray by their offsets (u, v) from the quarter's corner.
    std::int64_t RayIndex(Int128 rayX, Int128 rayY) const {
        const int q = rayY >= 0 ? (rayX >= 0 ? 0 : 1) : (rayX < 0 ? 2 : 3);
        const Int128 ax = rayX < 0 ? -rayX : rayX;
        const Int128 ay = rayY < 0 ? -rayY : rayY;
        const std::int64_t m = QuarterSize();
        for (std::int64_t k = 0; k < m; ++k) {
            // Counter-clockwise runs with the walk in quarters 0 and 2, against it in 1 and 3.
            const OutlinePoint& p = Quarter(q == 0 || q == 2 ? k : m - 1 - k);
            const Int128 u = p.x - box.width / 2;
            const Int128 v = p.y - box.height / 2;
            const Int128 c = v * ax - u * ay;
            const bool hit = q == 0 ? c >= 0 : q == 1 ? c <= 0 : q == 2 ? c > 0 : c < 0;
            if (hit) {
                return q * m + k;
            }
        }
        return (q + 1) * m;
    }

  private:
    const OutlinePoint& Quarter(std::int64_t i) const {
        return quarter[static_cast<std::size_t>(i)];
    }

    EllipseBox box;
    std::vector<OutlinePoint> quarter;
};

// Boxes up to this size are walked point by point; larger ones are painted row by row within
// the clip, finding the arc's ends in the loop by bisection instead of walking to them.
constexpr std::int64_t WalkedArcLimit = 1 << 16;

}  // namespace

void ClippedPixels::Span(std::int64_t y, std::int64_t x0, std::int64_t x1, ColourIndex c) {
    if (y < clip.top || y >= clip.bottom) {
        return;
    }
    x0 = std::max<std::int64_t>(x0, clip.left);
    x1 = std::min<std::int64_t>(x1, std::int64_t{clip.right} - 1);
    if (x0 > x1) {
        return;
    }
    const std::size_t start = Index(x0, y);
    std::fill(
        pixels.begin() + static_cast<std::ptrdiff_t>(start),
        pixels.begin() + static_cast<std::ptrdiff_t>(start + static_cast<std::size_t>(x1 - x0 + 1)),
        c);
}

void RasterEllipse(ClippedPixels& out, const Rect& box, ColourIndex pen, ColourIndex brush) {
    const Rect& clip = out.Clip();
    ForEachEllipseRow(EllipseBox::From(box), clip.top, clip.bottom,
                      [&](std::int64_t y, const EllipseRow& row) {
                          out.Span(y, row.left0, row.left1, pen);
                          if (row.split) {
                              out.Span(y, row.left1 + 1, row.right0 - 1, brush);
                              out.Span(y, row.right0, row.right1, pen);
                          }
                      });
}

void RasterArc(ClippedPixels& out, const Rect& rect, std::int32_t xs, std::int32_t ys,
               std::int32_t xe, std::int32_t ye, ColourIndex pen) {
    const EllipseBox box = EllipseBox::From(rect);
    if (box.width == 0 || box.height == 0) {
        return;
    }
    // The rays start at the box centre rounded down.
    const std::int64_t cx = box.left + box.width / 2;
    const std::int64_t cy = box.top + box.height / 2;
    const Int128 startX = Int128{xs} - cx;
    const Int128 startY = Int128{cy} - ys;
    const Int128 endX = Int128{xe} - cx;
    const Int128 endY = Int128{cy} - ye;
    // A box two pixels wide or less has a one-point walk, however tall it is.
    if (box.width > 2 && (box.width > WalkedArcLimit || box.height > WalkedArcLimit)) {
        ArcByRows(box).Paint(out, startX, startY, endX, endY, pen);
        return;
    }

    const OutlineLoop loop(box);
    const std::int64_t n = loop.Size();
    const std::int64_t start = loop.RayIndex(startX, startY);
    std::int64_t end = loop.RayIndex(endX, endY);
    if (end <= start) {
        end += n;
    }
    // The arc is a polyline through points start..end-1 that leaves out its last point; each
    // segment paints its first point, and one between two copies of a pixel paints nothing.
    for (std::int64_t i = start; i < end - 1; ++i) {
        const OutlinePoint p = loop.At(i % n);
        if (p != loop.At((i + 1) % n)) {
            out.Set(box.left + p.x, box.top + p.y, pen);
        }
    }
}

}  // namespace vistrel
