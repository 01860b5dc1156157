#include "about/AboutIcon.h"

#include "about/AboutDialog.h"
#include "about/AboutTooltip.h"

namespace vistrel {

AboutIcon::AboutIcon(QWidget* parent) : ClickableLabel(parent) {}

void AboutIcon::Bind(Beeper& beeper) {
    aboutBeeper = &beeper;
    BindClicks();
    setToolTip(AboutTooltipText(window()->windowTitle()));
}

void AboutIcon::Click() {
    AboutDialog dialog(*aboutBeeper, window());
    dialog.exec();
}

}  // namespace vistrel
