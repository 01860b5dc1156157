#pragma once

#include <cstdint>

#include "about/Beeper.h"

namespace vistrel {

// What the viewer asks of the desktop beyond its own window: a beep and the calendar clock.
// Tests stand in for both.
class ViewerServices : public Beeper {
  public:
    // Whole seconds since 1970-01-01 00:00:00 UTC, as time(nullptr) reads them.
    virtual std::int64_t ClockSeconds() = 0;
};

}  // namespace vistrel
