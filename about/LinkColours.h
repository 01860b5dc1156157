#pragma once

#include <QColor>

namespace vistrel {

struct LinkState {
    bool hovering = false;  // the pointer is over the link
    bool visited = false;   // the last open succeeded
};

// The three colours of a link's text.
struct LinkColours {
    QColor linkColor{0, 0, 238};
    QColor visitedColor{85, 26, 139};
    QColor hoverColor;

    // Hovering wins over visited, visited over the plain link colour.
    QColor For(const LinkState& state) const;
};

}  // namespace vistrel
