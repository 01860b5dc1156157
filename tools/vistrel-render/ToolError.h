#pragma once

#include <stdexcept>
#include <string>

namespace vistrel {

// A failure that ends the render tool with status 1; the message is the whole line it prints
// after the program's name.
class ToolError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "what: the system's reason for errnum", as a ToolError.
ToolError SystemError(const std::string& what, int errnum);

}  // namespace vistrel
