#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// The text with every control character below 0x80 shown as '?', and the C1 controls and bytes
// that are not UTF-8 as \xHH, so that a message quoting it is valid UTF-8, stays on one line and
// cannot steer the terminal.
std::string Sanitised(std::string_view text);

}  // namespace vistrel
