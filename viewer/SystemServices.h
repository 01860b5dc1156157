#pragma once

#include "viewer/ViewerServices.h"

namespace vistrel {

// The desktop's own beep and the system clock.
class SystemServices final : public ViewerServices {
  public:
    void Beep() override;
    std::int64_t ClockSeconds() override;
};

}  // namespace vistrel
