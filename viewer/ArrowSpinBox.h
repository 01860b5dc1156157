#pragma once

#include <QSpinBox>

namespace vistrel {

// A spin box whose number changes only through its arrows and the arrow keys: its text can be
// read and selected but not typed into.
class ArrowSpinBox : public QSpinBox {
    Q_OBJECT

  public:
    explicit ArrowSpinBox(QWidget* parent = nullptr);
};

}  // namespace vistrel
