#include <algorithm>
#include <cmath>
#include <vector>

#include "Raster.h"

namespace vistrel {

namespace {

__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UWide;

// An ellipse inscribed in a box of w x h pixels, in doubled coordinates about the box centre so
// that every pixel centre has integer coordinates: pixel column x has X = 2x - (left + right - 1).
class InscribedEllipse {
  public:
    explicit InscribedEllipse(const Rect& box)
        : left(box.left),
          top(box.top),
          w(std::int64_t{box.right} - box.left),
          h(std::int64_t{box.bottom} - box.top) {}

    bool Paints() const { return w > 0 && h > 0; }
    std::int64_t FirstRow() const { return top; }
    std::int64_t EndRow() const { return top + h; }
    std::int64_t CentreX2() const { return 2 * left + w - 1; }
    std::int64_t CentreY2() const { return 2 * top + h - 1; }

    // The columns x0..x1 that row y covers; false when it covers none.
    bool RowSpan(std::int64_t y, std::int64_t& x0, std::int64_t& x1) const {
        if (y < top || y >= top + h) {
            return false;
        }
        const std::int64_t yy = 2 * y - CentreY2();
        const std::int64_t half = HalfWidth(yy < 0 ? -yy : yy);
        // X = 2x - centre must be within +-half and have the parity of w - 1.
        const std::int64_t parity = (w - 1) & 1;
        const std::int64_t reach = (half & 1) == parity ? half : half - 1;
        if (reach < 0) {
            return false;
        }
        x0 = (CentreX2() - reach) / 2;
        x1 = (CentreX2() + reach) / 2;
        return true;
    }

  private:
    // Largest X >= 0 with X^2 h^2 <= w^2 (h^2 - Y^2), for 0 <= Y < h.
    std::int64_t HalfWidth(std::int64_t yy) const {
        const UWide uw = static_cast<UWide>(w);
        const UWide uh = static_cast<UWide>(h);
        const UWide rest = uh * uh - static_cast<UWide>(yy) * static_cast<UWide>(yy);
        const UWide bound = uw * uw * rest;
        auto fits = [&](std::int64_t x) {
            const UWide ux = static_cast<UWide>(x);
            return ux * ux * uh * uh <= bound;
        };
        auto guess = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(w) * w * rest) /
                                               static_cast<long double>(h));
        guess = std::clamp<std::int64_t>(guess, 0, w);
        while (guess > 0 && !fits(guess)) {
            --guess;
        }
        while (guess < w && fits(guess + 1)) {
            ++guess;
        }
        return guess;
    }

    std::int64_t left;
    std::int64_t top;
    std::int64_t w;
    std::int64_t h;
};

// The outline pixels of one row: the row's span x0..x1 less the inner run in0..in1 (empty when
// in0 > in1) of columns that also lie inside the rows above and below.
struct RowOutline {
    std::int64_t x0, x1, in0, in1;
};

// The outlines of the ellipse's rows inside the clip, each span computed once.
class VisibleOutline {
  public:
    VisibleOutline(const InscribedEllipse& e, const Rect& clip)
        : first(std::max<std::int64_t>(e.FirstRow(), clip.top)),
          end(std::min<std::int64_t>(e.EndRow(), clip.bottom)) {
        if (first >= end) {
            return;
        }
        spans.resize(static_cast<std::size_t>(end - first + 2));
        for (std::int64_t y = first - 1; y <= end; ++y) {
            Span& s = spans[static_cast<std::size_t>(y - first + 1)];
            s.covered = e.RowSpan(y, s.x0, s.x1);
        }
    }

    std::int64_t First() const { return first; }
    std::int64_t End() const { return end; }

    bool Outline(std::int64_t y, RowOutline& row) const {
        const Span& here = At(y);
        if (!here.covered) {
            return false;
        }
        row = {here.x0, here.x1, here.x1 + 1, here.x1};
        const Span& above = At(y - 1);
        const Span& below = At(y + 1);
        if (above.covered && below.covered) {
            const std::int64_t in0 = std::max({here.x0 + 1, above.x0, below.x0});
            const std::int64_t in1 = std::min({here.x1 - 1, above.x1, below.x1});
            if (in0 <= in1) {
                row.in0 = in0;
                row.in1 = in1;
            }
        }
        return true;
    }

  private:
    struct Span {
        bool covered = false;
        std::int64_t x0 = 0, x1 = -1;
    };
    const Span& At(std::int64_t y) const { return spans[static_cast<std::size_t>(y - first + 1)]; }

    std::int64_t first;
    std::int64_t end;
    std::vector<Span> spans;
};

// Whether the direction p lies on the counter-clockwise sweep (on screen) from s to e. Vectors
// are in doubled pixel units with y pointing down, so counter-clockwise on screen is clockwise
// in these coordinates.
struct Sweep {
    std::int64_t sx, sy, ex, ey;
    bool whole;

    static Wide Cross(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
        return Wide{ax} * by - Wide{ay} * bx;
    }

    bool Contains(std::int64_t px, std::int64_t py) const {
        if (whole) {
            return true;
        }
        // Screen counter-clockwise from s to p means cross(s, p) <= 0 with y down.
        const bool afterStart = Cross(sx, sy, px, py) <= 0;
        const bool beforeEnd = Cross(px, py, ex, ey) <= 0;
        if (Cross(sx, sy, ex, ey) < 0) {
            return afterStart && beforeEnd;
        }
        return afterStart || beforeEnd;
    }
};

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
    const InscribedEllipse e(box);
    if (!e.Paints()) {
        return;
    }
    const VisibleOutline rows(e, out.Clip());
    for (std::int64_t y = rows.First(); y < rows.End(); ++y) {
        RowOutline row{};
        if (!rows.Outline(y, row)) {
            continue;
        }
        out.Span(y, row.x0, row.in0 - 1, pen);
        out.Span(y, row.in0, row.in1, brush);
        out.Span(y, row.in1 + 1, row.x1, pen);
    }
}

void RasterArc(ClippedPixels& out, const Rect& box, std::int32_t xs, std::int32_t ys,
               std::int32_t xe, std::int32_t ye, ColourIndex pen) {
    const InscribedEllipse e(box);
    if (!e.Paints()) {
        return;
    }
    const std::int64_t cx = e.CentreX2();
    const std::int64_t cy = e.CentreY2();
    Sweep sweep{2 * std::int64_t{xs} - cx, 2 * std::int64_t{ys} - cy, 2 * std::int64_t{xe} - cx,
                2 * std::int64_t{ye} - cy, false};
    sweep.whole = Sweep::Cross(sweep.sx, sweep.sy, sweep.ex, sweep.ey) == 0 &&
                  Wide{sweep.sx} * sweep.ex + Wide{sweep.sy} * sweep.ey >= 0;

    const Rect& clip = out.Clip();
    const VisibleOutline rows(e, clip);
    for (std::int64_t y = rows.First(); y < rows.End(); ++y) {
        RowOutline row{};
        if (!rows.Outline(y, row)) {
            continue;
        }
        const std::int64_t py = 2 * y - cy;
        auto paintRun = [&](std::int64_t x0, std::int64_t x1) {
            x0 = std::max<std::int64_t>(x0, clip.left);
            x1 = std::min<std::int64_t>(x1, std::int64_t{clip.right} - 1);
            for (std::int64_t x = x0; x <= x1; ++x) {
                if (sweep.Contains(2 * x - cx, py)) {
                    out.Set(x, y, pen);
                }
            }
        };
        paintRun(row.x0, row.in0 - 1);
        paintRun(row.in1 + 1, row.x1);
    }
}

}  // namespace vistrel
