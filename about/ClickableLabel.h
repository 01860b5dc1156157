#pragma once

#include <QLabel>

namespace vistrel {

// A label that, once bound, shows the desktop's pointing hand and reacts to clicks: a left
// button pressed and released over it. The second press of a double click is no click of its
// own, so a double click counts once. A bound label is also in the tab order: it shows a focus
// frame, and Space or Enter on it counts as a click.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr);

    // Does what a click does, for the keyboard and for screen readers; nothing while unbound.
    void Activate();
    bool IsBound() const { return bound; }

  protected:
    // Gives the label the hand cursor, makes it take clicks and puts it in the tab order.
    void BindClicks();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    virtual void Click() = 0;

    bool bound = false;
    bool pressed = false;
};

// Gives the widget the cursor theme's pointing hand. A build without cursor support leaves the
// widget with no cursor of its own.
void LoadHandCursor(QWidget& widget);

}  // namespace vistrel
