#include "about/ClickableLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace vistrel {

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::Activate() {
    if (bound) {
        Click();
    }
}

void ClickableLabel::BindClicks() {
    bound = true;
    LoadHandCursor(*this);
    // Tab only: a click keeps the focus where it was, as before.
    setFocusPolicy(Qt::TabFocus);
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

void ClickableLabel::keyPressEvent(QKeyEvent* event) {
    const bool activates = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                           event->key() == Qt::Key_Enter;
    if (!bound || !activates || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    // Taken, so that Enter does not also press the dialog's default button.
    event->accept();
    if (!event->isAutoRepeat()) {
        Click();
    }
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(backgroundRole());
    // Styles that draw focus only after keyboard use would hide it from a label that gets the
    // focus only by Tab anyway.
    frame.state |= QStyle::State_KeyboardFocusChange;
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void LoadHandCursor([[maybe_unused]] QWidget& widget) {
#if QT_CONFIG(cursor)
    widget.setCursor(Qt::PointingHandCursor);
#endif
}

}  // namespace vistrel
