#pragma once

#include "about/Beeper.h"
#include "about/ClickableLabel.h"

namespace vistrel {

// The program icon in the viewer's corner, working as a button: hand cursor, a tooltip that
// names the window, and a click that opens the About box over the window.
class AboutIcon : public ClickableLabel {
    Q_OBJECT
  public:
    explicit AboutIcon(QWidget* parent = nullptr);

    // Run once the window has its caption; the tooltip keeps the caption it has now. The About
    // box beeps through beeper.
    void Bind(Beeper& beeper);

  private:
    void Click() override;

    Beeper* aboutBeeper = nullptr;
};

}  // namespace vistrel
