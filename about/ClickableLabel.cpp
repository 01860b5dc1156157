#include "ClickableLabel.h"

#include <QMouseEvent>

namespace vistrel {

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::BindClicks() {
    bound = true;
    LoadHandCursor(*this);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (!bound || event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    // Taking the press makes the release come here as well.
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (!bound || event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (rect().contains(event->position().toPoint())) {
        Click();
    }
}

void LoadHandCursor([[maybe_unused]] QWidget& widget) {
#if QT_CONFIG(cursor)
    widget.setCursor(Qt::PointingHandCursor);
#endif
}

}  // namespace vistrel
