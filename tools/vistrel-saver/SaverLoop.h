#pragma once

#include <stdexcept>
#include <string>

#include "tools/vistrel-saver/SaverCommand.h"

namespace vistrel {

// A failure that ends the saver: the status it exits with and the one line it prints.
class SaverFailure : public std::runtime_error {
  public:
    SaverFailure(int status, const std::string& message)
        : std::runtime_error(message), status(status) {}
    int Status() const { return status; }

  private:
    int status;
};

inline constexpr int UsageError = 2;
inline constexpr int DisplayError = 1;

// Shows the series in the command's window until SIGTERM or SIGINT arrives or the window goes
// away, then returns 0. Throws SaverFailure when it cannot start or the display goes away, and
// gives the display up as gone when it still holds the saver a couple of seconds after a signal.
int RunSaver(const SaverCommand& command);

}  // namespace vistrel
