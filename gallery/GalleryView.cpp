#include "gallery/GalleryView.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "gallery/Thumbnail.h"
#include "userfiles/Favourites.h"

namespace vistrel {
namespace {

constexpr int Gap = 10;
constexpr int CaptionPadding = 6;
constexpr int FrameWidth = 3;
constexpr QColor Placeholder(32, 32, 32);
// Three screens of a 1920 x 1200 display, at a ratio of 1 or of 2, and small enough that the
// whole program stays under 100 MB. A larger view keeps what it shows and a row more even
// beyond it.
constexpr qint64 CacheBytes = 24 * 1024 * 1024;
// Screens of thumbnails kept: the one in view, and one each way to scroll into.
constexpr int ScreensCached = 3;

}  // namespace

GalleryView::GalleryView(const Favourites& favourites, QWidget* parent)
    : QAbstractScrollArea(parent), favourites(favourites) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(&painter, &ThumbnailPainter::Painted, this, &GalleryView::Take);
    connect(&favourites, &Favourites::Changed, this, [this] {
        if (const auto seed = SelectedSeed()) {
            setAccessibleName(SeedName(*seed, this->favourites.Contains(*seed)));
        }
        viewport()->update();
    });
}

GalleryView::~GalleryView() = default;

QString GalleryView::SeedName(std::uint32_t seed, bool favourite) {
    const QString name = tr("Seed %1").arg(seed);
    return favourite ? name + QStringLiteral(" \u2605") : name;
}

QSize GalleryView::CellSize() const {
    return QSize(ThumbnailSize.width(),
                 ThumbnailSize.height() + fontMetrics().height() + CaptionPadding);
}

GalleryGrid GalleryView::Grid() const {
    return GalleryGrid(static_cast<int>(seeds.size()), viewport()->width(), CellSize(), Gap);
}

QPoint GalleryView::ScrollOffset() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

int GalleryView::IndexOf(std::uint32_t seed) const {
    const auto found = std::lower_bound(seeds.begin(), seeds.end(), seed);
    return found != seeds.end() && *found == seed ? static_cast<int>(found - seeds.begin()) : -1;
}

int GalleryView::IndexAt(QPoint viewportPoint) const {
    return Grid().IndexAt(viewportPoint + ScrollOffset());
}

std::optional<std::uint32_t> GalleryView::SeedAt(QPoint viewportPoint) const {
    const int index = IndexAt(viewportPoint);
    if (index < 0) {
        return std::nullopt;
    }
    return seeds[static_cast<std::size_t>(index)];
}

std::optional<std::uint32_t> GalleryView::SelectedSeed() const {
    if (selected < 0) {
        return std::nullopt;
    }
    return seeds[static_cast<std::size_t>(selected)];
}

void GalleryView::SetSeeds(std::vector<std::uint32_t> newSeeds) {
    const std::optional<std::uint32_t> kept = SelectedSeed();
    seeds = std::move(newSeeds);
    selected = -1;
    UpdateScrollBars();
    if (!seeds.empty()) {
        const std::uint32_t wanted = kept.value_or(seeds.front());
        const auto nearest = std::lower_bound(seeds.begin(), seeds.end(), wanted);
        SetSelection(static_cast<int>(std::min<std::ptrdiff_t>(
            nearest - seeds.begin(), static_cast<std::ptrdiff_t>(seeds.size()) - 1)));
    } else {
        setAccessibleName(QString());
        emit SelectionChanged();
    }
    viewport()->update();
}

bool GalleryView::Select(std::uint32_t seed) {
    const int index = IndexOf(seed);
    if (index < 0) {
        return false;
    }
    SetSelection(index);
    return true;
}

void GalleryView::SetSelection(int index) {
    if (seeds.empty()) {
        return;
    }
    const int clamped = std::clamp(index, 0, static_cast<int>(seeds.size()) - 1);
    ScrollIntoView(clamped);
    const std::uint32_t seed = seeds[static_cast<std::size_t>(clamped)];
    setAccessibleName(SeedName(seed, favourites.Contains(seed)));
    if (clamped != selected) {
        selected = clamped;
        viewport()->update();
        emit SelectionChanged();
    }
}

void GalleryView::ScrollIntoView(int index) {
    const QRect cell = Grid().CellRect(index).adjusted(-Gap, -Gap, Gap, Gap);
    const QRect shown(ScrollOffset(), viewport()->size());
    // A jump lands in the middle of the view; a step scrolls no further than it must.
    if (!cell.intersects(shown)) {
        verticalScrollBar()->setValue(cell.center().y() - shown.height() / 2);
        horizontalScrollBar()->setValue(cell.center().x() - shown.width() / 2);
        return;
    }
    QScrollBar* vertical = verticalScrollBar();
    if (cell.top() < shown.top() || cell.height() > shown.height()) {
        vertical->setValue(cell.top());
    } else if (cell.bottom() > shown.bottom()) {
        vertical->setValue(cell.bottom() + 1 - shown.height());
    }
    QScrollBar* horizontal = horizontalScrollBar();
    if (cell.left() < shown.left() || cell.width() > shown.width()) {
        horizontal->setValue(cell.left());
    } else if (cell.right() > shown.right()) {
        horizontal->setValue(cell.right() + 1 - shown.width());
    }
}

bool GalleryView::ViewComplete() const {
    const GalleryGrid grid = Grid();
    const int top = verticalScrollBar()->value();
    const int end = grid.EndIndexBefore(top + viewport()->height());
    for (int index = grid.FirstIndexFrom(top); index < end; ++index) {
        if (!thumbnails.contains(seeds[static_cast<std::size_t>(index)])) {
            return false;
        }
    }
    return true;
}

void GalleryView::UpdateScrollBars() {
    const QSize content = Grid().ContentSize();
    const QSize shown = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, content.height() - shown.height()));
    verticalScrollBar()->setPageStep(shown.height());
    verticalScrollBar()->setSingleStep(CellSize().height() / 4);
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - shown.width()));
    horizontalScrollBar()->setPageStep(shown.width());
    horizontalScrollBar()->setSingleStep(CellSize().width() / 8);
}

void GalleryView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    if (selected >= 0) {
        ScrollIntoView(selected);
    }
}

// The captions' font sets the cells' height.
void GalleryView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateScrollBars();
        viewport()->update();
    }
}

void GalleryView::scrollContentsBy(int, int) {
    viewport()->update();
}

void GalleryView::hideEvent(QHideEvent* event) {
    // A closed gallery keeps nothing: the memory goes back as soon as it is out of sight.
    painter.Paint({}, thumbnailRatio);
    thumbnails.clear();
    QAbstractScrollArea::hideEvent(event);
}

void GalleryView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    if (seeds.empty()) {
        painter.drawText(
            viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap,
            tr("No favourites yet. Ctrl+D marks a picture as one, here or in the viewer."));
        return;
    }
    const GalleryGrid grid = Grid();
    const int top = verticalScrollBar()->value();
    const int first = grid.FirstIndexFrom(top);
    const int end = grid.EndIndexBefore(top + viewport()->height());
    for (int index = first; index < end; ++index) {
        PaintCell(painter, grid, index);
    }
    RequestThumbnails(first, end);
}

void GalleryView::PaintCell(QPainter& painter, const GalleryGrid& grid, int index) {
    const QRect cell = grid.CellRect(index).translated(-ScrollOffset());
    const QRect picture(cell.topLeft(), ThumbnailSize);
    const std::uint32_t seed = seeds[static_cast<std::size_t>(index)];
    if (const QImage* thumbnail = thumbnails.object(seed)) {
        // On a whole device pixel, so that the thumbnail's pixels are copied, not resampled.
        const qreal ratio = thumbnail->devicePixelRatio();
        const QPointF device = QPointF(picture.topLeft()) * ratio;
        painter.drawImage(QPointF(std::round(device.x()), std::round(device.y())) / ratio,
                          *thumbnail);
    } else {
        painter.fillRect(picture, Placeholder);
    }
    const QRect caption(cell.left(), picture.bottom() + 1, cell.width(),
                        cell.bottom() - picture.bottom());
    QString text = QString::number(seed);
    if (favourites.Contains(seed)) {
        text += QStringLiteral(" \u2605");
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, text);
    if (index == selected) {
        const QColor highlight = palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                                 QPalette::Highlight);
        painter.setPen(QPen(highlight, FrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cell.adjusted(-FrameWidth, -FrameWidth, FrameWidth, FrameWidth));
    }
}

void GalleryView::RequestThumbnails(int first, int end) {
    const qreal ratio = viewport()->devicePixelRatioF();
    if (ratio != thumbnailRatio) {
        thumbnails.clear();
        thumbnailRatio = ratio;
    }
    const GalleryGrid grid = Grid();
    const int count = static_cast<int>(seeds.size());
    const int inView = end - first;
    // Whole rows more than the view shows, so that a scroll by part of a row finds them too.
    const int screen = (grid.RowsIn(viewport()->height()) + 2) * grid.Columns();
    const qint64 bytes =
        std::max<qint64>(1, static_cast<qint64>(std::ceil(ThumbnailSize.width() * ratio)) *
                                static_cast<qint64>(std::ceil(ThumbnailSize.height() * ratio)) * 4);
    const int affordable = static_cast<int>(std::min<qint64>(CacheBytes / bytes, count));
    const int capacity =
        std::max(screen + grid.Columns(), std::min(ScreensCached * screen, affordable));
    thumbnails.setMaxCost(capacity);

    std::vector<std::uint32_t> wanted;
    const auto want = [&](int index) {
        const std::uint32_t seed = seeds[static_cast<std::size_t>(index)];
        if (!thumbnails.contains(seed)) {
            wanted.push_back(seed);
        }
    };
    for (int index = first; index < end; ++index) {
        want(index);
    }
    const int around = std::max(0, capacity - inView) / 2;
    for (int step = 0; step < around; ++step) {
        if (end + step < count) {
            want(end + step);
        }
        if (first - 1 - step >= 0) {
            want(first - 1 - step);
        }
    }
    painter.Paint(wanted, ratio);
}

void GalleryView::Take(std::uint32_t seed, const QImage& thumbnail) {
    if (thumbnail.devicePixelRatio() != thumbnailRatio || !isVisible()) {
        return;
    }
    thumbnails.insert(seed, new QImage(thumbnail));
    const int index = IndexOf(seed);
    if (index < 0) {
        return;
    }
    const QRect cell = Grid().CellRect(index).translated(-ScrollOffset());
    if (cell.intersects(viewport()->rect())) {
        viewport()->update(cell);
    }
}

void GalleryView::keyPressEvent(QKeyEvent* event) {
    const GalleryGrid grid = Grid();
    const int columns = grid.Columns();
    const int page = columns * grid.RowsIn(viewport()->height());
    const int last = static_cast<int>(seeds.size()) - 1;
    const int from = selected >= 0 ? selected : grid.FirstIndexFrom(verticalScrollBar()->value());
    switch (event->key()) {
        case Qt::Key_Left:
            SetSelection(from - 1);
            break;
        case Qt::Key_Right:
            SetSelection(from + 1);
            break;
        case Qt::Key_Up:
            SetSelection(from - columns >= 0 ? from - columns : from);
            break;
        case Qt::Key_Down:
            SetSelection(std::min(from + columns, last));
            break;
        case Qt::Key_PageUp:
            SetSelection(from - page);
            break;
        case Qt::Key_PageDown:
            SetSelection(from + page);
            break;
        case Qt::Key_Home:
            SetSelection(0);
            break;
        case Qt::Key_End:
            SetSelection(last);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    event->accept();
}

void GalleryView::mousePressEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (index >= 0) {
        SetSelection(index);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void GalleryView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0) {
        SetSelection(index);
        emit Activated(seeds[static_cast<std::size_t>(index)]);
    }
}

void GalleryView::contextMenuEvent(QContextMenuEvent* event) {
    const int index = IndexAt(event->pos());
    if (index >= 0) {
        SetSelection(index);
    }
    if (!actions().isEmpty()) {
        QMenu::exec(actions(), event->globalPos(), nullptr, this);
    }
}

bool GalleryView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = IndexAt(help->pos());
        if (index < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const std::uint32_t seed = seeds[static_cast<std::size_t>(index)];
        const QRect cell = Grid().CellRect(index).translated(-ScrollOffset());
        QToolTip::showText(help->globalPos(), SeedName(seed, favourites.Contains(seed)), viewport(),
                           cell);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace vistrel
