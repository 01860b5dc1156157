#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>

namespace vistrel {

// Adds to `window` an action that calls `handler` (a member function of the window, or any
// function) on the shortcut, or when chosen from a context menu, which shows the shortcut beside
// the text.
template <typename Window, typename Handler>
QAction* AddShortcutAction(Window* window, const QString& text, const QKeySequence& shortcut,
                           Handler handler) {
    auto* action = new QAction(text, window);
    action->setShortcut(shortcut);
    action->setShortcutVisibleInContextMenu(true);
    QObject::connect(action, &QAction::triggered, window, handler);
    window->addAction(action);
    return action;
}

}  // namespace vistrel
