#include "tools/vistrel-render/ToolError.h"

#include <cstring>

namespace vistrel {

ToolError SystemError(const std::string& what, int errnum) {
    return ToolError(what + ": " + std::strerror(errnum));
}

}  // namespace vistrel
