#include <QTest>
#include <cmath>

#include "gallery/GalleryGrid.h"
#include "gallery/Thumbnail.h"
#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "tests/support/ScreenImages.h"

using vistrel::GalleryGrid;
using vistrel::SceneBitmap;
using namespace vistrel::test;

namespace {

constexpr QSize Frame(vistrel::PictureWidth, vistrel::PictureHeight);
constexpr QSize Cell(285, 115);
constexpr int Gap = 8;
constexpr int AllSeeds = vistrel::SceneSeedCount;

// The source pixel under the centre of device pixel d of `count` covering `length` pixels.
int Under(int d, int length, int count) {
    return static_cast<int>((2 * std::int64_t{d} + 1) * length / (2 * std::int64_t{count}));
}

// The mean of the 2 x 2 block of the picture at half-size position (x, y), worked out channel by
// channel from the palette.
QRgb BlockMean(const SceneBitmap& picture, int x, int y) {
    int red = 2;
    int green = 2;
    int blue = 2;
    for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
        const QRgb c = ScreenColour(picture.At(2 * x + dx, 2 * y + dy));
        red += qRed(c);
        green += qGreen(c);
        blue += qBlue(c);
    }
    return qRgb(red / 4, green / 4, blue / 4);
}

QImage ExpectedThumbnail(const SceneBitmap& picture, qreal ratio) {
    const QSize device(static_cast<int>(std::ceil(285 * ratio)),
                       static_cast<int>(std::ceil(95 * ratio)));
    const QSize source = ratio >= 2 ? Frame : Frame / 2;
    QImage expected(device, QImage::Format_RGB32);
    for (int y = 0; y < device.height(); ++y) {
        const int sy = Under(y, source.height(), device.height());
        for (int x = 0; x < device.width(); ++x) {
            const int sx = Under(x, source.width(), device.width());
            expected.setPixel(
                x, y, ratio >= 2 ? ScreenColour(picture.At(sx, sy)) : BlockMean(picture, sx, sy));
        }
    }
    return expected;
}

}  // namespace

class GalleryLogicTest : public QObject {
    Q_OBJECT

  private slots:
    void aThumbnailIsTheHalvedPictureOrItsOwnPixels_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<qreal>("ratio");
        // Seed 20 has a white sky and paints colour 16, out of the palette, on the water.
        for (const quint32 seed : {0u, 20u, 20877u, 32767u}) {
            for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0, 4.0}) {
                QTest::addRow("seed %u at %g", seed, ratio) << seed << ratio;
            }
        }
    }

    void aThumbnailIsTheHalvedPictureOrItsOwnPixels() {
        QFETCH(quint32, seed);
        QFETCH(qreal, ratio);
        const auto picture = vistrel::PictureOfSeed(seed);
        const QImage thumbnail = vistrel::ThumbnailImage(*picture, ratio);
        QCOMPARE(thumbnail.devicePixelRatio(), ratio);
        const QImage expected = ExpectedThumbnail(*picture, ratio);
        const QString difference = FirstDifference(thumbnail, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        if (ratio == 1) {
            const QString plain = FirstDifference(vistrel::HalvedPicturePlain(*picture), expected);
            QVERIFY2(plain.isEmpty(), qPrintable(plain));
        }
    }

    void aPictureWithoutTheWholeFrameHasNoThumbnail() {
        vistrel::SceneRng rng;
        const auto narrow = vistrel::RenderSceneBitmap({0, 0, 569, 190}, rng);
        SceneBitmap damaged = *vistrel::PictureOfSeed(1);
        damaged.pixels.pop_back();
        for (const SceneBitmap* picture : {narrow.get(), &damaged}) {
            QVERIFY(vistrel::HalvedPicture(*picture).isNull());
            QVERIFY(vistrel::ThumbnailImage(*picture, 1).isNull());
        }
        QVERIFY(vistrel::ThumbnailImage(*vistrel::PictureOfSeed(1), 0).isNull());
    }

    void theCellAtAPoint_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("index");
        // One thumbnail wide: exactly, and narrower than a thumbnail.
        QTest::newRow("one wide, first") << AllSeeds << 301 << QPoint(8, 8) << 0;
        QTest::newRow("one wide, first's last pixel") << AllSeeds << 301 << QPoint(292, 122) << 0;
        QTest::newRow("one wide, right of it") << AllSeeds << 301 << QPoint(293, 8) << -1;
        QTest::newRow("one wide, gap below") << AllSeeds << 301 << QPoint(8, 130) << -1;
        QTest::newRow("one wide, second") << AllSeeds << 301 << QPoint(8, 131) << 1;
        QTest::newRow("one wide, last") << AllSeeds << 301 << QPoint(8, 8 + 123 * 32767) << 32767;
        QTest::newRow("one wide, past the last")
            << AllSeeds << 301 << QPoint(8, 8 + 123 * 32768) << -1;
        QTest::newRow("a sliver") << AllSeeds << 200 << QPoint(100, 8 + 123 * 5) << 5;
        QTest::newRow("a sliver, left margin") << AllSeeds << 200 << QPoint(7, 8) << -1;
        // Two columns, centred: 16 pixels left.
        QTest::newRow("two wide, fourth") << AllSeeds << 610 << QPoint(16 + 293, 8 + 123) << 3;
        QTest::newRow("two wide, left margin") << AllSeeds << 610 << QPoint(15, 8) << -1;
        // Four columns, centred: 58 pixels left.
        QTest::newRow("1280, first") << AllSeeds << 1280 << QPoint(58, 8) << 0;
        QTest::newRow("1280, left margin") << AllSeeds << 1280 << QPoint(57, 8) << -1;
        QTest::newRow("1280, fourth") << AllSeeds << 1280 << QPoint(58 + 293 * 3, 8) << 3;
        QTest::newRow("1280, twelfth's corner")
            << AllSeeds << 1280 << QPoint(58 + 293 * 3 + 284, 8 + 123 * 2 + 114) << 11;
        QTest::newRow("1280, right of the rows")
            << AllSeeds << 1280 << QPoint(58 + 293 * 4, 8) << -1;
        QTest::newRow("1280, a far row")
            << AllSeeds << 1280 << QPoint(58 + 293, 8 + 123 * 8000) << 32001;
        QTest::newRow("five favourites, fifth") << 5 << 1280 << QPoint(58, 8 + 123) << 4;
        QTest::newRow("five favourites, past them") << 5 << 1280 << QPoint(58 + 293, 8 + 123) << -1;
        QTest::newRow("no favourites") << 0 << 1280 << QPoint(58, 8) << -1;
    }

    void theCellAtAPoint() {
        QFETCH(int, count);
        QFETCH(int, width);
        QFETCH(QPoint, point);
        QFETCH(int, index);
        const GalleryGrid grid(count, width, Cell, Gap);
        QCOMPARE(grid.IndexAt(point), index);
        if (index >= 0) {
            QVERIFY(grid.CellRect(index).contains(point));
        }
    }

    // Every cell's corners map back to it, and the cells that meet any band of rows are exactly
    // the ones the band's index range names.
    void cellsAndBandsAgree_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("width");
        QTest::newRow("a sliver") << 40 << 120;
        QTest::newRow("one wide") << 40 << 301;
        QTest::newRow("three wide, a short last row") << 40 << 900;
        QTest::newRow("4K") << 200 << 3840;
    }

    void cellsAndBandsAgree() {
        QFETCH(int, count);
        QFETCH(int, width);
        const GalleryGrid grid(count, width, Cell, Gap);
        for (int index = 0; index < count; ++index) {
            const QRect cell = grid.CellRect(index);
            QCOMPARE(grid.IndexAt(cell.topLeft()), index);
            QCOMPARE(grid.IndexAt(cell.bottomRight()), index);
            QVERIFY(QRect(QPoint(0, 0), grid.ContentSize()).contains(cell));
        }
        for (int top = 0; top < grid.ContentSize().height(); top += 37) {
            for (const int height : {1, 122, 123, 500}) {
                const int first = grid.FirstIndexFrom(top);
                const int end = grid.EndIndexBefore(top + height);
                for (int index = 0; index < count; ++index) {
                    const QRect cell = grid.CellRect(index);
                    if (cell.bottom() >= top && cell.top() < top + height) {
                        QVERIFY2(index >= first && index < end,
                                 qPrintable(QStringLiteral("cell %1, band %2 + %3")
                                                .arg(index)
                                                .arg(top)
                                                .arg(height)));
                    }
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(GalleryLogicTest)
#include "GalleryLogicTest.moc"
