#include "viewer/Thumbnail.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "scene/Palette.h"
#include "scene/SceneBitmap.h"
#include "viewer/CrispImage.h"

namespace vistrel {
namespace {

constexpr int ChannelBits = 10;
constexpr std::uint32_t ChannelMask = 0xFF;

// Two colours' channels summed, each in its own 10-bit field (red lowest), plus 1 in each: two
// pair sums make a + b + c + d + 2 per channel, at most 1022, so the fields never carry into one
// another and the whole block costs two look-ups and one addition.
using PairSums = std::array<std::uint32_t, StoredColourCount * StoredColourCount>;

PairSums MakePairSums() {
    PairSums sums{};
    for (int a = 0; a < StoredColourCount; ++a) {
        for (int b = 0; b < StoredColourCount; ++b) {
            const ColorRef ca = StoredColor(static_cast<ColourIndex>(a));
            const ColorRef cb = StoredColor(static_cast<ColourIndex>(b));
            const std::uint32_t red = RedOf(ca) + RedOf(cb) + 1u;
            const std::uint32_t green = GreenOf(ca) + GreenOf(cb) + 1u;
            const std::uint32_t blue = BlueOf(ca) + BlueOf(cb) + 1u;
            sums[static_cast<std::size_t>(a * StoredColourCount + b)] =
                red | (green << ChannelBits) | (blue << (2 * ChannelBits));
        }
    }
    return sums;
}

QRgb MeanOf(std::uint32_t blockSum) {
    const std::uint32_t red = (blockSum >> 2) & ChannelMask;
    const std::uint32_t green = (blockSum >> (ChannelBits + 2)) & ChannelMask;
    const std::uint32_t blue = (blockSum >> (2 * ChannelBits + 2)) & ChannelMask;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

bool HoldsFrame(const SceneBitmap& picture) {
    return picture.width >= SceneFrame.width() && picture.height >= SceneFrame.height() &&
           picture.pixels.size() ==
               static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

int DevicePixels(int logicalPixels, qreal devicePixelRatio) {
    return static_cast<int>(std::ceil(logicalPixels * devicePixelRatio));
}

}  // namespace

QImage HalvedPicture(const SceneBitmap& picture) {
    static const PairSums pairSums = MakePairSums();
    if (!HoldsFrame(picture)) {
        return {};
    }
    QImage halved(ThumbnailSize, QImage::Format_RGB32);
    if (halved.isNull()) {
        return halved;
    }
    const auto stride = static_cast<std::size_t>(picture.width);
    for (int y = 0; y < ThumbnailSize.height(); ++y) {
        const ColourIndex* upper = picture.pixels.data() + 2 * static_cast<std::size_t>(y) * stride;
        const ColourIndex* lower = upper + stride;
        auto* target = reinterpret_cast<QRgb*>(halved.scanLine(y));
        for (int x = 0; x < ThumbnailSize.width(); ++x) {
            const std::size_t left = 2 * static_cast<std::size_t>(x);
            const std::uint32_t sum = pairSums[upper[left] * StoredColourCount + upper[left + 1]] +
                                      pairSums[lower[left] * StoredColourCount + lower[left + 1]];
            target[x] = MeanOf(sum);
        }
    }
    return halved;
}

QImage ThumbnailImage(const SceneBitmap& picture, qreal devicePixelRatio) {
    if (!HoldsFrame(picture) || !(devicePixelRatio > 0)) {
        return {};
    }
    const QSize deviceSize(DevicePixels(ThumbnailSize.width(), devicePixelRatio),
                           DevicePixels(ThumbnailSize.height(), devicePixelRatio));
    QImage image = devicePixelRatio >= 2
                       ? CrispImage(picture, QRect(QPoint(0, 0), SceneFrame), deviceSize)
                       : CrispStretch(HalvedPicture(picture), deviceSize);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

}  // namespace vistrel
