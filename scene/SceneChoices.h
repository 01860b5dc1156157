#pragma once

#include <cstdint>

// Which of the optional elements a picture shows, decided by its sky and accent colours; the
// recipe's rules, shared with the tests that check the pictures follow them.

namespace vistrel {

// Accent colours that show as a sun or moon under a dark blue sky.
constexpr bool DiscShows(std::int32_t sky, std::int32_t accent) {
    if (sky != 1) {
        return false;
    }
    switch (accent) {
        case 4:
        case 5:
        case 6:
        case 12:
        case 13:
        case 14:
        case 15:
            return true;
        default:
            return false;
    }
}

// Bright or warm skies take no grass, unless the accent is dark blue.
constexpr bool TuftsShow(std::int32_t sky, std::int32_t accent) {
    if (accent == 1) {
        return true;
    }
    return !(sky >= 4 && sky <= 6) && !(sky >= 10 && sky <= 14);
}

}  // namespace vistrel
