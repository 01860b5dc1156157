#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundRequest.h"

namespace vistrel {

// The ways to try, in order, on the desktop that XDG_CURRENT_DESKTOP names (a colon-separated
// list, most specific first), for that place and that many monitors. The portal takes one image
// for all monitors, so with several the desktop's own settings, exact on each, go first where
// they are known here; with one, the portal goes first (but for sway, whose own way always
// goes first).
std::vector<std::unique_ptr<BackgroundChannel>> BackgroundChannels(const QString& currentDesktop,
                                                                   BackgroundPlace place,
                                                                   std::size_t monitorCount);

// Whether that desktop's lock screen shows the desktop background rather than one of its own.
bool LockScreenShowsDesktopBackground(const QString& currentDesktop);

}  // namespace vistrel
