#pragma once

#include <QtCore/qnamespace.h>
#include <QRect>
#include <QSize>

namespace vistrel {

// The rectangle of a label fitted to a text of the given extent. Horizontally a centred label
// shrinks (or grows) equally on both sides, truncating the half difference toward zero, so it may
// end one pixel wider than its text; a right-aligned one keeps its right edge, any other its left
// edge. Vertically a centred label does the same with its height; any other keeps its top edge.
// The alignment must be visual (left and right resolved, not leading and trailing).
QRect FitRectToText(const QRect& rect, const QSize& text, Qt::Alignment alignment);

}  // namespace vistrel
