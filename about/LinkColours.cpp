#include "about/LinkColours.h"

namespace vistrel {

QColor LinkColours::For(const LinkState& state) const {
    if (state.hovering) {
        return hoverColor;
    }
    return state.visited ? visitedColor : linkColor;
}

}  // namespace vistrel
