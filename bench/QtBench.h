#pragma once

#include <QWidget>

namespace vistrel::bench {

// Shows the widget and waits until it is exposed: before that, a repaint paints nothing.
void ShowExposed(QWidget& widget);

}  // namespace vistrel::bench
