#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vistrel {

// Where the gallery's cells lie: `count` cells of one size in rows that fill the width, left to
// right and top to bottom, `gap` pixels around and between them, the rows centred when the
// width leaves room. Coordinates are the content's, y counted from its top. A width too narrow
// for one cell still gives one column.
class GalleryGrid {
  public:
    GalleryGrid(int count, int width, QSize cell, int gap);

    int Count() const { return count; }
    int Columns() const { return columns; }
    int Rows() const { return (count + columns - 1) / columns; }
    // The size the cells need, gaps included.
    QSize ContentSize() const;
    QRect CellRect(int index) const;
    // The cell at a point, or -1 for a gap or a point past the cells.
    int IndexAt(QPoint point) const;
    // The first and one past the last cell of the rows that meet top..bottom (exclusive).
    int FirstIndexFrom(int top) const;
    int EndIndexBefore(int bottom) const;
    // How many whole rows a height shows, at least 1.
    int RowsIn(int height) const;

  private:
    int RowPitch() const { return cell.height() + gap; }
    int ColumnPitch() const { return cell.width() + gap; }

    int count;
    QSize cell;
    int gap;
    int columns;
    int left;
};

}  // namespace vistrel
