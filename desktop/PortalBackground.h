#pragma once

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// The XDG desktop portal's Wallpaper interface on the session bus, which every sandbox-aware
// desktop offers: the file goes as a descriptor, for the background only, without a preview.
// Unavailable when there is no session bus or the portal has no Wallpaper interface (it
// answers no version).
class PortalBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(const UserFolder& image, QDeadlineTimer replyBy) override;

  private:
    void SetWallpaperFile(const QString& file, QDeadlineTimer replyBy);
};

}  // namespace vistrel
