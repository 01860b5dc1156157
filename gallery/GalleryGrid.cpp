#include "gallery/GalleryGrid.h"

#include <algorithm>

namespace vistrel {

GalleryGrid::GalleryGrid(int count, int width, QSize cell, int gap)
    : count(std::max(0, count)),
      cell(cell),
      gap(gap),
      columns(std::max(1, (width - gap) / (cell.width() + gap))),
      left(std::max(gap, (width - columns * cell.width() - (columns - 1) * gap) / 2)) {}

QSize GalleryGrid::ContentSize() const {
    return QSize(left + columns * ColumnPitch(), gap + Rows() * RowPitch());
}

QRect GalleryGrid::CellRect(int index) const {
    return QRect(QPoint(left + index % columns * ColumnPitch(), gap + index / columns * RowPitch()),
                 cell);
}

int GalleryGrid::IndexAt(QPoint point) const {
    const int x = point.x() - left;
    const int y = point.y() - gap;
    if (x < 0 || y < 0 || x % ColumnPitch() >= cell.width() || y % RowPitch() >= cell.height()) {
        return -1;
    }
    const int column = x / ColumnPitch();
    const int index = y / RowPitch() * columns + column;
    return column < columns && index < count ? index : -1;
}

int GalleryGrid::FirstIndexFrom(int top) const {
    const int row = std::max(0, top - gap) / RowPitch();
    return std::min(count, row * columns);
}

int GalleryGrid::EndIndexBefore(int bottom) const {
    if (bottom <= gap) {
        return 0;
    }
    const int row = (bottom - gap - 1) / RowPitch();
    return std::min(count, (row + 1) * columns);
}

int GalleryGrid::RowsIn(int height) const {
    return std::max(1, height / RowPitch());
}

}  // namespace vistrel
