#include "about/LinkGeometry.h"

namespace vistrel {

QRect FitRectToText(const QRect& rect, const QSize& text, Qt::Alignment alignment) {
    int left = rect.x();
    int top = rect.y();
    int width = rect.width();
    int height = rect.height();

    if (alignment & Qt::AlignVCenter) {
        const int shrink = (height - text.height()) / 2;
        top += shrink;
        height -= 2 * shrink;
    } else {
        height = text.height();
    }

    if (alignment & Qt::AlignHCenter) {
        const int shrink = (width - text.width()) / 2;
        left += shrink;
        width -= 2 * shrink;
    } else {
        if (alignment & Qt::AlignRight) {
            left += width - text.width();
        }
        width = text.width();
    }
    return {left, top, width, height};
}

}  // namespace vistrel
