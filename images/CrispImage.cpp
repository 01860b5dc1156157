#include "images/CrispImage.h"

#include <algorithm>
#include <array>
#include <vector>

#include "raster/Palette.h"
#include "scene/SceneBitmap.h"

namespace vistrel {
namespace {

std::array<QRgb, StoredColourCount> ScreenColours() {
    std::array<QRgb, StoredColourCount> colours{};
    for (int index = 0; index < StoredColourCount; ++index) {
        const ColorRef c = StoredColor(static_cast<ColourIndex>(index));
        colours[static_cast<std::size_t>(index)] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
    return colours;
}

// For each of `count` device pixels, the source pixel of `first .. first + length - 1` under
// its centre: source = first + floor((d + 1/2) * length / count).
std::vector<int> NearestSources(int first, int length, int count) {
    std::vector<int> sources(static_cast<std::size_t>(count));
    for (int d = 0; d < count; ++d) {
        const std::int64_t offset = (2 * std::int64_t{d} + 1) * length / (2 * std::int64_t{count});
        sources[static_cast<std::size_t>(d)] = first + static_cast<int>(offset);
    }
    return sources;
}

}  // namespace

QRect FrameArea(const SceneBitmap& bitmap) {
    return QRect(0, 0, std::min(bitmap.width, SceneFrame.width()),
                 std::min(bitmap.height, SceneFrame.height()));
}

QImage CrispImage(const SceneBitmap& bitmap, const QRect& area, const QSize& size) {
    static const std::array<QRgb, StoredColourCount> colours = ScreenColours();
    if (area.isEmpty() || size.isEmpty()) {
        return {};
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    const std::vector<int> columns = NearestSources(area.x(), area.width(), size.width());
    const std::vector<int> rows = NearestSources(area.y(), area.height(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        const ColourIndex* source =
            bitmap.pixels.data() + static_cast<std::size_t>(rows[static_cast<std::size_t>(y)]) *
                                       static_cast<std::size_t>(bitmap.width);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            target[x] = colours[source[columns[static_cast<std::size_t>(x)]]];
        }
    }
    return image;
}

QImage CrispStretch(const QImage& image, const QSize& size) {
    if (image.isNull() || size.isEmpty()) {
        return {};
    }
    if (image.size() == size) {
        return image;
    }
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage stretched(size, QImage::Format_RGB32);
    if (stretched.isNull()) {
        return stretched;
    }
    const std::vector<int> columns = NearestSources(0, source.width(), size.width());
    const std::vector<int> rows = NearestSources(0, source.height(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(source.constScanLine(rows[static_cast<std::size_t>(y)]));
        auto* target = reinterpret_cast<QRgb*>(stretched.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            target[x] = from[columns[static_cast<std::size_t>(x)]];
        }
    }
    return stretched;
}

}  // namespace vistrel
