#pragma once

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundRequest.h"

namespace vistrel {

// The XDG desktop portal's Wallpaper interface on the session bus, which every sandbox-aware
// desktop offers: the file goes as a descriptor, for the background or the lock screen, without
// a preview. It takes one image for all monitors, so it gets the fit of the window's monitor.
// Unavailable when there is no session bus or the portal has no Wallpaper interface (it
// answers no version).
class PortalBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    explicit PortalBackground(BackgroundPlace place, QObject* parent = nullptr);

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;

  private:
    void SetWallpaperFile(const QString& file, QDeadlineTimer replyBy);

    const BackgroundPlace place;
};

}  // namespace vistrel
