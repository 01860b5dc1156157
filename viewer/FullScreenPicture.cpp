#include "viewer/FullScreenPicture.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "images/CrispImage.h"
#include "images/ScreenPixels.h"
#include "scene/SceneBitmap.h"
#include "scene/ScreenFit.h"

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
    const QSize screenPixels = ScreenPixels(*shownOn);
    const QRect frame = FrameArea(bitmap);
    const ScreenFit fit =
        FitOnScreen(frame.width(), frame.height(), screenPixels.width(), screenPixels.height());
    scale = fit.scale;
    offset = QPoint(fit.screenX, fit.screenY);
    const QRect shown(fit.sourceX, fit.sourceY, fit.sourceWidth, fit.sourceHeight);
    screenImage = CrispImage(bitmap, shown, shown.size() * scale);
    screenImage.setDevicePixelRatio(shownOn->devicePixelRatio());
    update();
}

void FullScreenPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(offset) / screenImage.devicePixelRatio(), screenImage);
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
