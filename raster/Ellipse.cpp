#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "raster/Bisect.h"
#include "raster/EllipseOutline.h"
#include "raster/Primitives.h"
#include "raster/WideInt.h"

namespace vistrel {

namespace {

// Boxes up to this size are walked point by point; larger ones are painted row by row within
// the clip, finding the arc's ends in the loop by bisection instead of walking to them.
constexpr std::int64_t WalkedArcLimit = 1 << 16;

// A point of the outline loop, box-relative, and whether the loop's segment from it paints it:
// one between two copies of a pixel paints nothing.
struct LoopPoint {
    std::uint32_t x, y;
    bool painted;
};

// The outline as the arc walks it: the quarter walk mirrored into four quarters, counter-
// clockwise on screen from the right end of the middle row (on an axis of an odd-sized box the
// same pixel ends one quarter and starts the next), and the quarter walk itself, by which the
// rays find their points. A kept box has its walk's coordinates in doubles instead, padded to
// whole pairs with a point (NaN) that no test counts.
struct OutlineLoop {
    const OutlinePoint* quarter;
    const double* quarterX;
    const double* quarterY;
    const LoopPoint* points;
    std::int64_t quarterSize;

    std::int64_t Size() const { return 4 * quarterSize; }

    // Where the ray meets the loop: the first point counter-clockwise that has reached it, or
    // the start of the next quarter when there is none. Along the quarter the test turns true
    // once, with the walk or against it, so how many points of the walk have not reached the ray
    // is how far into its quarter the ray meets the loop.
    std::int64_t RayIndex(const RayCrossing<std::int64_t>& ray) const {
        const std::int64_t m = quarterSize;
        if (quarterX != nullptr) {
            return ray.Quarter() * m + CountUnreached(ray);
        }
        const OutlinePoint* first = ray.WithWalk() ? quarter : quarter + m - 1;
        const std::int64_t step = ray.WithWalk() ? 1 : -1;
        const std::int64_t k = FirstTrue(0, m, [&](std::int64_t k) {
            const OutlinePoint& p = first[step * k];
            return ray.Reached(p.x, p.y);
        });
        return ray.Quarter() * m + k;
    }

  private:
    // Every point of a kept box's short walk tested, two at a time, instead of a bisection whose
    // steps wait for each other. With sides up to 64 and rays within 2^33, every term is a whole
    // number below 2^53, which doubles hold exactly.
    std::int64_t CountUnreached(const RayCrossing<std::int64_t>& ray) const {
        typedef double Doubles __attribute__((vector_size(16)));
        typedef std::int64_t Counts __attribute__((vector_size(16)));
        const auto yFactor = static_cast<double>(ray.YFactor());
        const auto xFactor = static_cast<double>(ray.XFactor());
        const auto threshold = static_cast<double>(ray.Threshold());
        Counts unreached = {0, 0};
        for (std::int64_t k = 0; k < quarterSize; k += 2) {
            Doubles x;
            Doubles y;
            std::memcpy(&x, quarterX + k, sizeof x);
            std::memcpy(&y, quarterY + k, sizeof y);
            // Lanes hold -1 where true, never for the padding.
            unreached += y * yFactor - x * xFactor < threshold;
        }
        return -(unreached[0] + unreached[1]);
    }
};

// Builds the loop of a box from its quarter walk.
void BuildLoop(std::int64_t w, std::int64_t h, const std::vector<OutlinePoint>& quarter,
               LoopPoint* loop) {
    const auto m = static_cast<std::int64_t>(quarter.size());
    auto at = [&](std::int64_t i) { return quarter[static_cast<std::size_t>(i)]; };
    auto point = [](std::int64_t x, std::int64_t y) {
        return LoopPoint{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), true};
    };
    for (std::int64_t k = 0; k < m; ++k) {
        loop[k] = point(at(k).x, h - 1 - at(k).y);
        loop[m + k] = point(w - 1 - at(m - 1 - k).x, h - 1 - at(m - 1 - k).y);
        loop[2 * m + k] = point(w - 1 - at(k).x, at(k).y);
        loop[3 * m + k] = point(at(m - 1 - k).x, at(m - 1 - k).y);
    }
    const std::int64_t n = 4 * m;
    for (std::int64_t k = 0; k < n; ++k) {
        const LoopPoint& next = loop[k + 1 < n ? k + 1 : 0];
        loop[k].painted = loop[k].x != next.x || loop[k].y != next.y;
    }
}

// The loops of the boxes this thread has drawn arcs in, kept for the next arc of the same size:
// a picture draws some eight hundred arcs in a few hundred sizes. Boxes of up to CachedSide on
// each side are kept; a larger one is built anew in scratch space.
class OutlineLoops {
  public:
    OutlineLoops() : entries(CachedSide * CachedSide) {}

    OutlineLoop For(std::int64_t w, std::int64_t h) {
        if (w > CachedSide || h > CachedSide) {
            Build(w, h, scratchQuarter, scratchLoop);
            return {scratchQuarter.data(), nullptr, nullptr, scratchLoop.data(),
                    static_cast<std::int64_t>(scratchQuarter.size())};
        }
        Entry& e = entries[static_cast<std::size_t>((w - 1) * CachedSide + (h - 1))];
        if (e.quarterSize == 0) {
            Build(w, h, scratchQuarter, scratchLoop);
            e = {static_cast<std::uint32_t>(quarterX.size()),
                 static_cast<std::uint32_t>(loops.size()),
                 static_cast<std::uint32_t>(scratchQuarter.size())};
            const std::size_t padded = (scratchQuarter.size() + 1) / 2 * 2;
            quarterX.resize(quarterX.size() + padded, std::numeric_limits<double>::quiet_NaN());
            quarterY.resize(quarterY.size() + padded, std::numeric_limits<double>::quiet_NaN());
            for (std::size_t k = 0; k < scratchQuarter.size(); ++k) {
                quarterX[e.quarterAt + k] = static_cast<double>(scratchQuarter[k].x);
                quarterY[e.quarterAt + k] = static_cast<double>(scratchQuarter[k].y);
            }
            loops.insert(loops.end(), scratchLoop.begin(), scratchLoop.end());
        }
        return {nullptr, quarterX.data() + e.quarterAt, quarterY.data() + e.quarterAt,
                loops.data() + e.loopAt, e.quarterSize};
    }

  private:
    static constexpr std::int64_t CachedSide = 64;

    // Where a box's quarter walk and loop start among the kept ones, and how long the walk is
    // (its loop is four times as long). A walk has a point at least, so a size of 0 marks a box
    // not built yet.
    struct Entry {
        std::uint32_t quarterAt = 0;
        std::uint32_t loopAt = 0;
        std::uint32_t quarterSize = 0;
    };

    static void Build(std::int64_t w, std::int64_t h, std::vector<OutlinePoint>& quarter,
                      std::vector<LoopPoint>& loop) {
        quarter = QuarterWalk(w, h);
        loop.resize(4 * quarter.size());
        BuildLoop(w, h, quarter, loop.data());
    }

    std::vector<Entry> entries;
    std::vector<double> quarterX;
    std::vector<double> quarterY;
    std::vector<LoopPoint> loops;
    std::vector<OutlinePoint> scratchQuarter;
    std::vector<LoopPoint> scratchLoop;
};

// Paints the points of a stretch of a box's outline loop; a box inside the clip needs no test
// per pixel.
void PaintLoopPoints(ClippedPixels& out, const EllipseBox& box, const LoopPoint* points,
                     std::int64_t count, bool inside, ColourIndex pen) {
    if (inside) {
        ColourIndex* const origin = out.Row(static_cast<std::int32_t>(box.top)) + box.left;
        const std::size_t stride = out.Stride();
        for (std::int64_t i = 0; i < count; ++i) {
            origin[points[i].y * stride + points[i].x] = pen;
        }
        return;
    }
    for (std::int64_t i = 0; i < count; ++i) {
        out.Set(box.left + points[i].x, box.top + points[i].y, pen);
    }
}

}  // namespace

void RasterEllipse(ClippedPixels& out, const Rect& box, ColourIndex pen, ColourIndex brush) {
    const Rect& clip = out.Clip();
    // Sixteen bytes of captures fit in the function object itself, so painting allocates nothing.
    ForEachEllipseRow(EllipseBox::From(box), clip.top, clip.bottom,
                      [&out, pen, brush](std::int64_t y, const EllipseRow& row) {
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
    const std::int64_t startX = xs - cx;
    const std::int64_t startY = cy - ys;
    const std::int64_t endX = xe - cx;
    const std::int64_t endY = cy - ye;
    // A box two pixels wide or less has a one-point walk, however tall it is.
    if (box.width > 2 && (box.width > WalkedArcLimit || box.height > WalkedArcLimit)) {
        PaintArcByRows(out, box, startX, startY, endX, endY, pen);
        return;
    }
    // A box wholly outside the clip has nothing to paint.
    const Rect& clip = out.Clip();
    if (box.left >= clip.right || box.top >= clip.bottom || box.left + box.width <= clip.left ||
        box.top + box.height <= clip.top) {
        return;
    }

    thread_local OutlineLoops loops;
    const OutlineLoop loop = loops.For(box.width, box.height);
    const std::int64_t n = loop.Size();
    const std::int64_t start =
        loop.RayIndex(RayCrossing<std::int64_t>(startX, startY, box.width, box.height));
    std::int64_t end = loop.RayIndex(RayCrossing<std::int64_t>(endX, endY, box.width, box.height));
    if (end <= start) {
        end += n;
    }
    // The arc is a polyline through points start..end-1 that leaves out its last point; each
    // segment paints its first point unless it joins two copies of a pixel. Its points lie in at
    // most two stretches of the loop: from the start on, and from the loop's first point.
    const bool inside = box.left >= clip.left && box.top >= clip.top &&
                        box.left + box.width <= clip.right && box.top + box.height <= clip.bottom;
    const std::int64_t first = start < n ? start : start - n;
    auto at = [&](std::int64_t i) {
        return loop.points[first + i < n ? first + i : first + i - n];
    };
    // A point its segment leaves unpainted is a copy of the next painted one, so every point may
    // be painted once the arc ends on a painted one.
    std::int64_t count = end - 1 - start;
    while (count > 0 && !at(count - 1).painted) {
        --count;
    }
    const std::int64_t fromStart = std::min(count, n - first);
    PaintLoopPoints(out, box, loop.points + first, fromStart, inside, pen);
    PaintLoopPoints(out, box, loop.points, count - fromStart, inside, pen);
}

}  // namespace vistrel
