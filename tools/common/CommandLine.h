#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace vistrel {

// The text with every control character below 0x80 shown as '?', and the C1 controls and bytes
// that are not UTF-8 as \xHH, so that a message quoting it is valid UTF-8, stays on one line and
// cannot steer the terminal.
std::string Sanitised(std::string_view text);

// The text sanitised and in single quotes, as messages quote what the user typed.
std::string Quoted(std::string_view text);

// The whole number the text spells in `base` and nothing else; none for anything more, less or
// out of the type's range.
template <typename Number>
std::optional<Number> ParseWhole(std::string_view text, int base = 10) {
    Number value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vistrel
