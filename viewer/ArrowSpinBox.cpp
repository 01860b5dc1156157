#include "viewer/ArrowSpinBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace vistrel {

ArrowSpinBox::ArrowSpinBox(QWidget* parent) : QSpinBox(parent) {
    // Not setReadOnly() on the spin box itself: that would disable the arrows as well.
    lineEdit()->setReadOnly(true);
}

bool ArrowSpinBox::event(QEvent* event) {
    // A read-only line edit would claim the copy keys for its one or two digits.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->ignore();
        return false;
    }
    return QSpinBox::event(event);
}

void ArrowSpinBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

}  // namespace vistrel
