#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace vistrel {

// Hands the next visible top-level window of type Window to handle, once the event loop of the
// modal run that shows it has started. Nothing happens if no such window is showing then.
template <typename Window, typename Handle>
void HandleNextWindow(Handle handle) {
    QTimer::singleShot(0, [handle] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
                handle(window);
                return;
            }
        }
    });
}

}  // namespace vistrel
