#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <algorithm>
#include <cmath>

#include "raster/Palette.h"
#include "scene/SceneBitmap.h"

namespace vistrel::test {

inline QRgb ScreenColour(ColourIndex index) {
    const ColorRef c = StoredColor(index);
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The device pixels a picture control of `size` logical pixels must show for `bitmap` (or none)
// at a device pixel ratio: the bitmap stretched from the top-left corner over the device pixels
// its logical size touches, each taking the bitmap pixel under its centre; black everywhere else.
// A whole ratio makes every bitmap pixel a solid ratio x ratio block.
inline QImage ExpectedPicture(const SceneBitmap* bitmap, QSize size, qreal devicePixelRatio) {
    QImage expected((size * devicePixelRatio), QImage::Format_RGB32);
    expected.fill(Qt::black);
    if (!bitmap) {
        return expected;
    }
    const auto covered = [devicePixelRatio](int pixels) {
        return static_cast<int>(std::ceil(pixels * devicePixelRatio));
    };
    const int coveredWidth = covered(bitmap->width);
    const int coveredHeight = covered(bitmap->height);
    for (int y = 0; y < std::min(expected.height(), coveredHeight); ++y) {
        const int sourceY = static_cast<int>((y + 0.5) * bitmap->height / coveredHeight);
        for (int x = 0; x < std::min(expected.width(), coveredWidth); ++x) {
            const int sourceX = static_cast<int>((x + 0.5) * bitmap->width / coveredWidth);
            expected.setPixel(x, y, ScreenColour(bitmap->At(sourceX, sourceY)));
        }
    }
    return expected;
}

// The bitmap as the screen shows it, pixel for pixel.
inline QImage ScreenImage(const SceneBitmap& bitmap) {
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            image.setPixel(x, y, ScreenColour(bitmap.At(x, y)));
        }
    }
    return image;
}

// Empty when the images agree pixel for pixel, else where and how they first differ.
inline QString FirstDifference(const QImage& actualImage, const QImage& expectedImage) {
    const QImage actual = actualImage.convertToFormat(QImage::Format_RGB32);
    const QImage expected = expectedImage.convertToFormat(QImage::Format_RGB32);
    if (actual.size() != expected.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'))
                    .arg(expected.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'));
            }
        }
    }
    return {};
}

}  // namespace vistrel::test
