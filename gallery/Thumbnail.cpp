#include "gallery/Thumbnail.h"

#include <cmath>

#include "images/CrispImage.h"
#include "scene/HalvedFrame.h"
#include "scene/SceneBitmap.h"

namespace vistrel {
namespace {

int DevicePixels(int logicalPixels, qreal devicePixelRatio) {
    return static_cast<int>(std::ceil(logicalPixels * devicePixelRatio));
}

using Halver = bool (*)(const SceneBitmap&, std::uint32_t*, std::ptrdiff_t);

QImage Halved(const SceneBitmap& picture, Halver halve) {
    if (!HoldsFrame(picture)) {
        return {};
    }
    QImage halved(ThumbnailSize, QImage::Format_RGB32);
    if (halved.isNull()) {
        return halved;
    }
    halve(picture, reinterpret_cast<std::uint32_t*>(halved.bits()),
          halved.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)));
    return halved;
}

}  // namespace

QImage HalvedPicturePlain(const SceneBitmap& picture) {
    return Halved(picture, HalveFramePlain);
}

QImage HalvedPicture(const SceneBitmap& picture) {
    return Halved(picture, HalveFrame);
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
