#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// The ways to try, in order, on the desktop that XDG_CURRENT_DESKTOP names (a colon-separated
// list, most specific first): the portal, then the desktop's own settings if it is one of those
// known here.
std::vector<std::unique_ptr<BackgroundChannel>> BackgroundChannels(const QString& currentDesktop);

}  // namespace vistrel
