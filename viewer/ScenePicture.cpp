#include "viewer/ScenePicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <cmath>

#include "images/CrispImage.h"
#include "scene/SceneBitmap.h"

namespace vistrel {
namespace {

bool FillsItsSize(const SceneBitmap& bitmap) {
    return bitmap.width > 0 && bitmap.height > 0 &&
           bitmap.pixels.size() ==
               static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height);
}

// Rounded up, so that a fractional device pixel ratio never leaves a part-covered column or row
// black at the picture's edge.
int DevicePixels(int logicalPixels, qreal devicePixelRatio) {
    return static_cast<int>(std::ceil(logicalPixels * devicePixelRatio));
}

}  // namespace

ScenePicture::ScenePicture(QWidget* parent) : QWidget(parent) {
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

ScenePicture::~ScenePicture() = default;

bool ScenePicture::SetBitmap(std::unique_ptr<SceneBitmap> newBitmap) {
    if (!newBitmap || !FillsItsSize(*newBitmap)) {
        return false;
    }
    bitmap = std::move(newBitmap);
    BuildScreenImage();
    repaint();
    return true;
}

void ScenePicture::BuildScreenImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(DevicePixels(bitmap->width, ratio), DevicePixels(bitmap->height, ratio));
    screenImage = CrispImage(*bitmap, QRect(0, 0, bitmap->width, bitmap->height), deviceSize);
    screenImage.setDevicePixelRatio(ratio);
}

void ScenePicture::paintEvent(QPaintEvent*) {
    if (!bitmap) {
        return;
    }
    // Only a move to a screen of another pixel ratio makes the image stale.
    if (screenImage.devicePixelRatio() != devicePixelRatioF()) {
        BuildScreenImage();
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), screenImage);
}

void ScenePicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked();
    }
}

}  // namespace vistrel
