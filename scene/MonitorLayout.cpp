#include "scene/MonitorLayout.h"

#include <algorithm>
#include <numeric>

#include "scene/ScreenFit.h"

namespace vistrel {
namespace {

struct Box {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

bool HasPixels(const Monitor& m) {
    return m.width > 0 && m.height > 0 && m.scale > 0;
}

Box BoundingBox(const std::vector<Monitor>& monitors) {
    Box box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
    for (const Monitor& m : monitors) {
        if (HasPixels(m)) {
            box.left = std::min<std::int64_t>(box.left, m.x);
            box.top = std::min<std::int64_t>(box.top, m.y);
            box.right = std::max<std::int64_t>(box.right, std::int64_t{m.x} + m.width);
            box.bottom = std::max<std::int64_t>(box.bottom, std::int64_t{m.y} + m.height);
        }
    }
    return box.left < box.right ? box : Box{};
}

// The picture column (or row) under each device pixel of one axis, -1 where it is black: the
// picture placed by `fit` in units that take `scale` device pixels each, seen from device pixel
// `origin` of that placement on.
struct AxisPlacement {
    std::int32_t source;
    std::int32_t length;
    std::int32_t screen;
    std::int32_t fitScale;
};

std::vector<std::int32_t> SourceIndices(const AxisPlacement& axis, std::int64_t scale,
                                        std::int64_t origin, std::int32_t count) {
    std::vector<std::int32_t> indices(static_cast<std::size_t>(count), -1);
    const std::int64_t step = std::int64_t{axis.fitScale} * scale;
    const std::int64_t start = std::int64_t{axis.screen} * scale;
    for (std::int32_t d = 0; d < count; ++d) {
        const std::int64_t offset = origin + d - start;
        if (offset >= 0 && offset < std::int64_t{axis.length} * step) {
            indices[static_cast<std::size_t>(d)] =
                axis.source + static_cast<std::int32_t>(offset / step);
        }
    }
    return indices;
}

// The placement seen through one monitor: its device pixels from (originX, originY), each
// placement unit `scale` device pixels.
SceneBitmap Sample(const SceneBitmap& picture, const ScreenFit& fit, std::int64_t scale,
                   std::int64_t originX, std::int64_t originY, std::int64_t width,
                   std::int64_t height) {
    SceneBitmap image = BlackScreen(width, height);
    if (image.pixels.empty() || fit.sourceWidth == 0) {
        return image;
    }
    const auto columns = SourceIndices({fit.sourceX, fit.sourceWidth, fit.screenX, fit.scale},
                                       scale, originX, image.width);
    const auto rows = SourceIndices({fit.sourceY, fit.sourceHeight, fit.screenY, fit.scale}, scale,
                                    originY, image.height);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::int32_t sourceY = rows[static_cast<std::size_t>(y)];
        if (sourceY < 0) {
            continue;
        }
        ColourIndex* row = image.pixels.data() +
                           static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
        for (std::int32_t x = 0; x < image.width; ++x) {
            const std::int32_t sourceX = columns[static_cast<std::size_t>(x)];
            if (sourceX >= 0) {
                row[x] = picture.At(sourceX, sourceY);
            }
        }
    }
    return image;
}

}  // namespace

SceneBitmap MonitorImage(const SceneBitmap& picture, const std::vector<Monitor>& monitors,
                         std::size_t index, Spread spread) {
    if (index >= monitors.size() || !HasPixels(monitors[index])) {
        return {};
    }
    const Monitor& m = monitors[index];
    const std::int64_t width = std::int64_t{m.width} * m.scale;
    const std::int64_t height = std::int64_t{m.height} * m.scale;
    if (width > INT32_MAX || height > INT32_MAX) {
        return {};
    }
    if (spread == Spread::EachMonitor) {
        return ShowOnScreen(picture, static_cast<std::int32_t>(width),
                            static_cast<std::int32_t>(height));
    }
    const Box box = BoundingBox(monitors);
    const std::int64_t boxWidth = box.right - box.left;
    const std::int64_t boxHeight = box.bottom - box.top;
    if (boxWidth > INT32_MAX || boxHeight > INT32_MAX) {
        return {};
    }
    const ScreenFit fit =
        FitOnScreen(picture.width, picture.height, static_cast<std::int32_t>(boxWidth),
                    static_cast<std::int32_t>(boxHeight));
    return Sample(picture, fit, m.scale, (m.x - box.left) * m.scale, (m.y - box.top) * m.scale,
                  width, height);
}

std::int32_t SpanScale(const std::vector<Monitor>& monitors) {
    std::int32_t scale = 1;
    for (const Monitor& m : monitors) {
        if (HasPixels(m)) {
            scale = std::lcm(scale, m.scale);
        }
    }
    return scale;
}

SceneBitmap SpannedImage(const SceneBitmap& picture, const std::vector<Monitor>& monitors,
                         Spread spread) {
    const Box box = BoundingBox(monitors);
    const std::int64_t span = SpanScale(monitors);
    SceneBitmap image = BlackScreen((box.right - box.left) * span, (box.bottom - box.top) * span);
    if (image.pixels.empty()) {
        return image;
    }
    // Monitors of one size show the same image of their own: it is made once for them all.
    SceneBitmap shown;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        const bool sameAsLast = spread == Spread::EachMonitor && i > 0 && !shown.pixels.empty() &&
                                std::int64_t{m.width} * m.scale == shown.width &&
                                std::int64_t{m.height} * m.scale == shown.height;
        if (!sameAsLast) {
            shown = MonitorImage(picture, monitors, i, spread);
        }
        if (shown.pixels.empty()) {
            continue;
        }
        const std::int64_t block = span / m.scale;
        const std::int64_t left = (m.x - box.left) * span;
        const std::int64_t top = (m.y - box.top) * span;
        const auto rowLength =
            static_cast<std::size_t>(shown.width) * static_cast<std::size_t>(block);
        for (std::int32_t y = 0; y < shown.height; ++y) {
            // The row widened once, then laid down `block` times.
            ColourIndex* first = image.pixels.data() +
                                 static_cast<std::size_t>(top + std::int64_t{y} * block) *
                                     static_cast<std::size_t>(image.width) +
                                 static_cast<std::size_t>(left);
            const ColourIndex* source =
                shown.pixels.data() +
                static_cast<std::size_t>(y) * static_cast<std::size_t>(shown.width);
            // Run by run of one colour, which the enlarged picture and the black around it
            // are made of, rather than pixel by pixel.
            for (std::int32_t x = 0; x < shown.width;) {
                std::int32_t end = x + 1;
                while (end < shown.width && source[end] == source[x]) {
                    ++end;
                }
                std::fill_n(first + static_cast<std::size_t>(x) * static_cast<std::size_t>(block),
                            static_cast<std::size_t>(end - x) * static_cast<std::size_t>(block),
                            source[x]);
                x = end;
            }
            for (std::int64_t copy = 1; copy < block; ++copy) {
                std::copy_n(
                    first, rowLength,
                    first + static_cast<std::size_t>(copy) * static_cast<std::size_t>(image.width));
            }
        }
    }
    return image;
}

}  // namespace vistrel
