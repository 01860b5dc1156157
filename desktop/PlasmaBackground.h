#pragma once

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// Plasma's image wallpaper shows an image unscaled in the middle at this fill mode.
inline constexpr int PlasmaCentredFill = 6;

// KDE Plasma takes a script on the session bus: every desktop (one a screen) gets the image
// wallpaper with the file made for its screen, centred.
class PlasmaBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;

  private:
    void Evaluate(const QString& script);
};

}  // namespace vistrel
