#pragma once

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// KDE Plasma takes a script on the session bus: every desktop gets the image wallpaper with the
// file, centred.
class PlasmaBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(const UserFolder& image, QDeadlineTimer replyBy) override;
};

}  // namespace vistrel
