#pragma once

#include <string>

namespace vistrel {

// Opens a link target (a URL, UTF-8) with the desktop's handler for it.
class LinkOpener {
  public:
    virtual ~LinkOpener() = default;

    // Returns a LaunchResult: above LastLaunchError when a handler was started.
    virtual int OpenLink(const std::string& target) = 0;
};

// The opener that the program's links use: GIO with the HTML handler as fallback.
LinkOpener& DesktopLinkOpener();

}  // namespace vistrel
