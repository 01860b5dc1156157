#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

#include "gallery/GalleryGrid.h"
#include "gallery/ThumbnailPainter.h"

namespace vistrel {

class Favourites;

// A scrolled grid of thumbnails, each captioned with its seed, one of them selected. Only the
// cells in view are painted, from a bounded cache of thumbnails that workers fill; a thumbnail
// not painted yet shows as a dark placeholder. The cache holds a few screens, the view's and
// the ones around it, so memory stays the same however far the view is scrolled.
class GalleryView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit GalleryView(const Favourites& favourites, QWidget* parent = nullptr);
    ~GalleryView() override;

    // The seeds to show, in ascending order. The selection stays on its seed if that is still
    // shown, else it moves to the nearest seed shown.
    void SetSeeds(std::vector<std::uint32_t> seeds);
    const std::vector<std::uint32_t>& Seeds() const { return seeds; }
    // Selects the seed and scrolls it into view; false when it is not shown.
    bool Select(std::uint32_t seed);
    std::optional<std::uint32_t> SelectedSeed() const;
    // The seed whose cell lies under a point of the viewport.
    std::optional<std::uint32_t> SeedAt(QPoint viewportPoint) const;
    // Whether every thumbnail in view has been painted.
    bool ViewComplete() const;
    // Where the cells lie, in content coordinates, at the viewport's width.
    GalleryGrid Grid() const;
    // The scroll bars' positions: content coordinates of the viewport's top-left corner.
    QPoint ScrollOffset() const;
    // The tooltip and accessible name of a seed's thumbnail: "Seed 12345", with a star for a
    // favourite.
    static QString SeedName(std::uint32_t seed, bool favourite);

  signals:
    void Activated(std::uint32_t seed);
    void SelectionChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QSize CellSize() const;
    int IndexOf(std::uint32_t seed) const;
    int IndexAt(QPoint viewportPoint) const;
    void UpdateScrollBars();
    void SetSelection(int index);
    void ScrollIntoView(int index);
    void PaintCell(QPainter& painter, const GalleryGrid& grid, int index);
    // Asks the workers for the missing thumbnails in view, then for those around it.
    void RequestThumbnails(int first, int end);
    void Take(std::uint32_t seed, const QImage& thumbnail);

    const Favourites& favourites;
    std::vector<std::uint32_t> seeds;
    int selected = -1;
    QCache<std::uint32_t, QImage> thumbnails;
    qreal thumbnailRatio = 0;
    ThumbnailPainter painter;
};

}  // namespace vistrel
