#pragma once

#include <vector>

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundRequest.h"

namespace vistrel {

// sway (and the wlroots desktops that take its commands) draws each output's background with
// swaybg, from `output NAME bg FILE center`. The outputs come from sway itself, as sway lays
// them out and scales them, so every output gets the file made for its own device pixels, all in
// one command. Its command line expands a path as a shell would, so a path holding characters
// that would change it is a failure, as is one that is not UTF-8.
class SwayBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;

    // The active outputs in sway's answer to `swaymsg -t get_outputs -r`, each at the whole
    // scale its background is drawn at (sway's scale rounded up).
    static std::vector<NamedMonitor> Outputs(const QByteArray& answer);

  private:
    void SetOutputs(const std::vector<NamedMonitor>& outputs, const std::vector<UserFolder>& files);
};

}  // namespace vistrel
