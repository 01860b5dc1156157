#pragma once

namespace vistrel {

// The desktop's beep. Windows take it from whoever creates them, so that tests can count it.
class Beeper {
  public:
    virtual ~Beeper() = default;

    virtual void Beep() = 0;
};

}  // namespace vistrel
