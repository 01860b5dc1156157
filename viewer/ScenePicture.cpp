#include "ScenePicture.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "Palette.h"
#include "SceneBitmap.h"

namespace vistrel {
namespace {

const QList<QRgb>& StoredColourTable() {
    static const QList<QRgb> table = [] {
        QList<QRgb> colours;
        for (int index = 0; index < StoredColourCount; ++index) {
            const ColorRef c = StoredColor(static_cast<ColourIndex>(index));
            colours.append(qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
        }
        return colours;
    }();
    return table;
}

bool FillsItsSize(const SceneBitmap& bitmap) {
    return bitmap.width > 0 && bitmap.height > 0 &&
           bitmap.pixels.size() ==
               static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height);
}

// How many device pixels each scene pixel covers: the largest whole number the device pixel
// ratio allows, so that the picture is never blurred by a fractional stretch.
int WholeScale(qreal devicePixelRatio) {
    return std::max(1, static_cast<int>(std::floor(devicePixelRatio)));
}

}  // namespace

ScenePicture::ScenePicture(QWidget* parent) : QWidget(parent) {
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

ScenePicture::~ScenePicture() = default;

void ScenePicture::SetBitmap(std::unique_ptr<SceneBitmap> newBitmap) {
    if (!newBitmap || !FillsItsSize(*newBitmap)) {
        return;
    }
    bitmap = std::move(newBitmap);
    repaint();
}

void ScenePicture::paintEvent(QPaintEvent*) {
    if (!bitmap) {
        return;
    }
    // A view of the bitmap's own pixels, not a copy.
    QImage image(bitmap->pixels.data(), bitmap->width, bitmap->height, bitmap->width,
                 QImage::Format_Indexed8);
    image.setColorTable(StoredColourTable());

    const qreal ratio = devicePixelRatioF();
    const qreal logicalPerPixel = WholeScale(ratio) / ratio;
    const QRectF target(0, 0, bitmap->width * logicalPerPixel, bitmap->height * logicalPerPixel);

    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image);
}

}  // namespace vistrel
