#pragma once

#include <string>
#include <vector>

namespace vistrel::test {

using Args = std::vector<std::string>;

// A command line as one line, for test traces.
inline std::string Joined(const Args& args) {
    std::string text;
    for (const std::string& a : args) {
        text += (text.empty() ? "" : " ") + a;
    }
    return text;
}

}  // namespace vistrel::test
