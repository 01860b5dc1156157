#include <algorithm>
#include <cstring>
#include <vector>

#include "Raster.h"

namespace vistrel {

Rect Rect::Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    if (r.Empty()) {
        return Rect{};
    }
    return r;
}

namespace {

// A scanline border fill over the clip rectangle. Region membership is decided by the colours
// before the fill, so a pixel that already has the brush colour still belongs to the region;
// `seen` keeps the scan from visiting a pixel twice.
class BorderFill {
  public:
    BorderFill(ClippedPixels& out, ColourIndex border, ColourIndex brush)
        : out(out),
          clip(out.Clip()),
          width(static_cast<std::size_t>(clip.right - clip.left)),
          seen(width * static_cast<std::size_t>(clip.bottom - clip.top), 0),
          border(border),
          brush(brush) {}

    void From(std::int32_t x, std::int32_t y) {
        pending.push_back({x, y, y, x, x - 1});
        while (!pending.empty()) {
            const Seed s = pending.back();
            pending.pop_back();
            FillRunAt(s);
        }
    }

  private:
    // An open pixel to fill from, found next to the filled run parent0..parent1 of row parentY.
    struct Seed {
        std::int32_t x, y;
        std::int32_t parentY, parent0, parent1;
    };

    std::uint8_t* SeenRow(std::int32_t y) {
        return seen.data() + static_cast<std::size_t>(y - clip.top) * width;
    }

    // Fills the run of open pixels through the seed and queues the open runs next to it. The
    // parent row needs scanning only where the new run reaches past the parent's run.
    void FillRunAt(const Seed& seed) {
        const std::int32_t x = seed.x;
        const std::int32_t y = seed.y;
        const ColourIndex* row = out.Row(y);
        std::uint8_t* seenRow = SeenRow(y);
        auto open = [&](std::int32_t px) {
            return seenRow[px - clip.left] == 0 && row[px] != border;
        };
        if (!open(x)) {
            return;
        }
        std::int32_t x0 = x;
        std::int32_t x1 = x;
        while (x0 > clip.left && open(x0 - 1)) {
            --x0;
        }
        while (x1 + 1 < clip.right && open(x1 + 1)) {
            ++x1;
        }
        std::memset(seenRow + (x0 - clip.left), 1, static_cast<std::size_t>(x1 - x0 + 1));
        out.Span(y, x0, x1, brush);
        for (const std::int32_t ny : {y - 1, y + 1}) {
            if (ny < clip.top || ny >= clip.bottom) {
                continue;
            }
            if (ny == seed.parentY) {
                QueueRuns(x0, std::min(x1, seed.parent0 - 1), ny, y, x0, x1);
                QueueRuns(std::max(x0, seed.parent1 + 1), x1, ny, y, x0, x1);
            } else {
                QueueRuns(x0, x1, ny, y, x0, x1);
            }
        }
    }

    void QueueRuns(std::int32_t x0, std::int32_t x1, std::int32_t y, std::int32_t parentY,
                   std::int32_t parent0, std::int32_t parent1) {
        const ColourIndex* row = out.Row(y);
        const std::uint8_t* seenRow = SeenRow(y);
        bool inRun = false;
        for (std::int32_t px = x0; px <= x1; ++px) {
            const bool o = seenRow[px - clip.left] == 0 && row[px] != border;
            if (o && !inRun) {
                pending.push_back({px, y, parentY, parent0, parent1});
            }
            inRun = o;
        }
    }

    ClippedPixels& out;
    Rect clip;
    std::size_t width;
    std::vector<std::uint8_t> seen;
    std::vector<Seed> pending;
    ColourIndex border;
    ColourIndex brush;
};

}  // namespace

void RasterBorderFill(ClippedPixels& out, std::int32_t x, std::int32_t y, ColourIndex border,
                      ColourIndex brush) {
    if (!out.Clip().Contains(x, y) || out.At(x, y) == border) {
        return;
    }
    BorderFill(out, border, brush).From(x, y);
}

}  // namespace vistrel
