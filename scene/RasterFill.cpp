#include <algorithm>
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

void RasterBorderFill(ClippedPixels& out, std::int32_t x, std::int32_t y, ColourIndex border,
                      ColourIndex brush) {
    const Rect& clip = out.Clip();
    if (!clip.Contains(x, y) || out.At(x, y) == border) {
        return;
    }
    // Region membership is decided by the colours before the fill, so a pixel that already has
    // the brush colour still belongs to the region; `seen` keeps the scan from revisiting it.
    const auto width = static_cast<std::size_t>(clip.right - clip.left);
    std::vector<bool> seen(width * static_cast<std::size_t>(clip.bottom - clip.top), false);
    auto open = [&](std::int32_t px, std::int32_t py) {
        const std::size_t i =
            static_cast<std::size_t>(py - clip.top) * width + static_cast<std::size_t>(px - clip.left);
        return !seen[i] && out.At(px, py) != border;
    };
    auto mark = [&](std::int32_t px, std::int32_t py) {
        seen[static_cast<std::size_t>(py - clip.top) * width +
             static_cast<std::size_t>(px - clip.left)] = true;
    };

    struct Seed {
        std::int32_t x, y;
    };
    std::vector<Seed> pending{{x, y}};
    while (!pending.empty()) {
        const Seed s = pending.back();
        pending.pop_back();
        if (!open(s.x, s.y)) {
            continue;
        }
        std::int32_t x0 = s.x;
        std::int32_t x1 = s.x;
        while (x0 > clip.left && open(x0 - 1, s.y)) {
            --x0;
        }
        while (x1 + 1 < clip.right && open(x1 + 1, s.y)) {
            ++x1;
        }
        for (std::int32_t px = x0; px <= x1; ++px) {
            mark(px, s.y);
        }
        out.Span(s.y, x0, x1, brush);
        for (const std::int32_t ny : {s.y - 1, s.y + 1}) {
            if (ny < clip.top || ny >= clip.bottom) {
                continue;
            }
            bool inRun = false;
            for (std::int32_t px = x0; px <= x1; ++px) {
                const bool o = open(px, ny);
                if (o && !inRun) {
                    pending.push_back({px, ny});
                }
                inRun = o;
            }
        }
    }
}

}  // namespace vistrel
