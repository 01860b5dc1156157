#pragma once

#include <QSpinBox>

namespace vistrel {

// A spin box whose number changes only through its arrows and the arrow keys: its text can be
// read and selected but not typed into, and the mouse wheel passes over it. It leaves Ctrl+C to
// the window, which copies its picture. (Page Up and Page Down never reach it: they are the
// window's shortcuts for Previous and Next.)
class ArrowSpinBox : public QSpinBox {
    Q_OBJECT

  public:
    explicit ArrowSpinBox(QWidget* parent = nullptr);

  protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace vistrel
