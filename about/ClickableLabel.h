#pragma once

#include <QLabel>

namespace vistrel {

// A label that, once bound, shows the desktop's pointing hand and reacts to clicks: a left
// button pressed and released over it. The second press of a double click is no click of its
// own, so a double click counts once.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr);

  protected:
    // Gives the label the hand cursor and makes it take clicks.
    void BindClicks();
    bool IsBound() const { return bound; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    virtual void Click() = 0;

    bool bound = false;
    bool pressed = false;
};

// Gives the widget the cursor theme's pointing hand. A build without cursor support leaves the
// widget with no cursor of its own.
void LoadHandCursor(QWidget& widget);

}  // namespace vistrel
