#include "tools/common/CommandLine.h"

#include <cstddef>

namespace vistrel {

namespace {

// The length of the well-formed UTF-8 sequence text begins with, 0 if it begins with none.
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    const bool valid = !(lead == 0xE0 && byte(1) < 0xA0) && !(lead == 0xED && byte(1) >= 0xA0) &&
                       !(lead == 0xF0 && byte(1) < 0x90) && !(lead == 0xF4 && byte(1) >= 0x90);
    return valid ? length : 0;
}

std::string Escaped(unsigned value) {
    constexpr char Hex[] = "0123456789abcdef";
    return {'\\', 'x', Hex[value >> 4], Hex[value & 0xF]};
}

}  // namespace

std::string Sanitised(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8Length(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (length == 0) {
            clean += Escaped(lead);
            text.remove_prefix(1);
            continue;
        }
        if (lead < 0x20 || lead == 0x7F) {
            clean += '?';
        } else if (lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            // U+0080..U+009F: controls some terminals obey (U+009B starts a command).
            clean += Escaped(static_cast<unsigned char>(text[1]));
        } else {
            clean.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return clean;
}

std::string Quoted(std::string_view text) {
    return "'" + Sanitised(text) + "'";
}

}  // namespace vistrel
