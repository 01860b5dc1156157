#include "about/ClickableLabel.h"

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
    pressed = true;
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (!bound || event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const bool clicked = pressed && rect().contains(event->position().toPoint());
    pressed = false;
    if (clicked) {
        Click();
    }
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!bound || event->button() != Qt::LeftButton) {
        QLabel::mouseDoubleClickEvent(event);
        return;
    }
    // Taken, so that it does not count as a press: its release ends no click.
    event->accept();
}

void LoadHandCursor([[maybe_unused]] QWidget& widget) {
#if QT_CONFIG(cursor)
    widget.setCursor(Qt::PointingHandCursor);
#endif
}

}  // namespace vistrel
