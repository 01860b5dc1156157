#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// The part of a handler's command line that comes before its first target placeholder: "%1" (the
// classic form) or one of the desktop-entry field codes %u, %U, %f and %F. A placeholder enclosed
// in double quotes is cut together with its opening quote. "%%" stands for one percent sign; other
// field codes stand for nothing we pass and are dropped. A command without a placeholder is kept
// whole.
std::string CommandBeforeTarget(std::string_view command);

// The argument vector that runs a handler on target: the words of the command before its
// placeholder, split and unquoted the way GLib reads desktop entries' Exec lines, and then target
// as one argument of its own, exactly as given. Whatever followed the placeholder is dropped. Empty
// when the command names no program or its quoting is broken.
std::vector<std::string> HandlerArguments(std::string_view command, const std::string& target);

}  // namespace vistrel
