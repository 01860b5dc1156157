#pragma once

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// KDE Plasma's screen locker keeps an image wallpaper of its own in kscreenlockerrc, read each
// time the screen locks; Debian's kwriteconfig5 writes it. One image shows on every monitor,
// centred: the window's monitor's fit.
class PlasmaLockScreen final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;
};

}  // namespace vistrel
