#pragma once

#include <vector>

#include "desktop/BackgroundRequest.h"

class QScreen;

namespace vistrel {

// The application's screens as monitors: their logical geometry and their device pixel ratio
// as a whole scale (a fractional one rounded, at least 1).
std::vector<NamedMonitor> ScreenMonitors();

// Where `screen` is in ScreenMonitors(), or 0 when it is none of them.
std::size_t ScreenIndex(const QScreen* screen);

}  // namespace vistrel
