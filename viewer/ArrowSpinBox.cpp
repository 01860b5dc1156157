#include "ArrowSpinBox.h"

#include <QLineEdit>
#include <QWheelEvent>

namespace vistrel {

ArrowSpinBox::ArrowSpinBox(QWidget* parent) : QSpinBox(parent) {
    // Not setReadOnly() on the spin box itself: that would disable the arrows as well.
    lineEdit()->setReadOnly(true);
}

void ArrowSpinBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

}  // namespace vistrel
