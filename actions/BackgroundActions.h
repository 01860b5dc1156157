#pragma once

#include <QCoreApplication>
#include <QList>
#include <cstdint>
#include <functional>
#include <optional>

#include "desktop/BackgroundRequest.h"

class QAction;
class QWidget;

namespace vistrel {

class DesktopBackground;

// A window's ways of making a picture the background: Set as Desktop Background, each monitor
// its own fit; Set Across All Screens, one picture over them all; Set as Lock Screen Background,
// where the desktop's lock screen has one of its own (elsewhere the action is disabled and its
// tooltip says why); and Change Background Automatically…, the agent's schedule. The answers are
// shown over the window.
class BackgroundActions {
    Q_DECLARE_TR_FUNCTIONS(BackgroundActions)

  public:
    // The seed the window's actions are for, none while nothing is chosen.
    using ChosenSeed = std::function<std::optional<std::uint32_t>()>;
    // The window the actions' messages belong to, and whose monitor a one-image desktop fits.
    using MessageOwner = std::function<QWidget*()>;

    // Adds the actions to `window`.
    BackgroundActions(QWidget* window, ChosenSeed chosen, MessageOwner owner);
    BackgroundActions(const BackgroundActions&) = delete;
    BackgroundActions& operator=(const BackgroundActions&) = delete;

    const QList<QAction*>& Actions() const { return actions; }

  private:
    void Set(BackgroundPlace place, Spread spread);

    ChosenSeed chosen;
    MessageOwner owner;
    DesktopBackground* background;
    QList<QAction*> actions;
};

}  // namespace vistrel
