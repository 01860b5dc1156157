#include "viewer/FullScreenPicture.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "scene/SceneBitmap.h"
#include "viewer/CrispImage.h"

namespace vistrel {

FullScreenPicture::FullScreenPicture(QWidget* parent) : QWidget(parent, Qt::Window) {
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

void FullScreenPicture::ShowOn(QScreen* screen, const SceneBitmap& bitmap) {
    setScreen(screen);
    setGeometry(screen->geometry());
    SetBitmap(bitmap);
    showFullScreen();
    activateWindow();
}

void FullScreenPicture::SetBitmap(const SceneBitmap& bitmap) {
    const QScreen* shownOn = screen();
    const QSize screenPixels = shownOn->size() * shownOn->devicePixelRatio();
    const QRect frame = FrameArea(bitmap);
    scale = WholeScaleToFit(frame.size(), screenPixels);
    screenImage = CrispImage(bitmap, frame, frame.size() * scale);
    screenImage.setDevicePixelRatio(shownOn->devicePixelRatio());
    update();
}

void FullScreenPicture::paintEvent(QPaintEvent*) {
    // Centred in whole device pixels; a picture larger than the screen loses its edges evenly.
    const qreal ratio = screenImage.devicePixelRatio();
    const QSize devicePixels = size() * ratio;
    const QPoint offset((devicePixels.width() - screenImage.width()) / 2,
                        (devicePixels.height() - screenImage.height()) / 2);
    QPainter painter(this);
    painter.drawImage(QPointF(offset) / ratio, screenImage);
}

void FullScreenPicture::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit LeaveRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FullScreenPicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit LeaveRequested();
    }
}

}  // namespace vistrel
