#include <QScreen>
#include <QTest>

#include "tests/support/Limits.h"
#include "tests/viewer/ViewerTestSupport.h"
#include "viewer/FullScreenPicture.h"
#include "viewer/ScenePicture.h"

using vistrel::FullScreenPicture;
using vistrel::SceneBitmap;
using vistrel::ScenePicture;
using namespace vistrel::test;

namespace {

// A bitmap whose every pixel says where it is, running through all stored colours.
std::unique_ptr<SceneBitmap> PatternBitmap(int width, int height) {
    auto bitmap = std::make_unique<SceneBitmap>();
    bitmap->width = width;
    bitmap->height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap->pixels.push_back(
                static_cast<vistrel::ColourIndex>((x * 7 + y * 3) % vistrel::StoredColourCount));
        }
    }
    return bitmap;
}

std::unique_ptr<SceneBitmap> ShortBitmap() {
    auto bitmap = PatternBitmap(8, 8);
    bitmap->pixels.pop_back();
    return bitmap;
}

constexpr QSize ControlSize(64, 48);
constexpr QSize Frame(570, 190);

// What a full screen of `screenPixels` device pixels must show: the bitmap's frame, each pixel a
// scale x scale block, centred (an odd spare pixel goes right or down), black around it.
QImage ExpectedFullScreen(const SceneBitmap& bitmap, QSize screenPixels, int scale) {
    QImage expected(screenPixels, QImage::Format_RGB32);
    expected.fill(Qt::black);
    const QSize shown = Frame * scale;
    const QPoint origin((screenPixels.width() - shown.width()) / 2,
                        (screenPixels.height() - shown.height()) / 2);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (expected.rect().contains(origin + QPoint(x, y))) {
                expected.setPixel(origin + QPoint(x, y),
                                  ScreenColour(bitmap.At(x / scale, y / scale)));
            }
        }
    }
    return expected;
}

}  // namespace

class ScenePictureTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScenePicture> picture;

    QString PictureDifference(const SceneBitmap* bitmap) const {
        return FirstDifference(picture->grab().toImage(),
                               ExpectedPicture(bitmap, ControlSize, picture->devicePixelRatioF()));
    }

  private slots:
    void init() {
        picture = std::make_unique<ScenePicture>();
        picture->resize(ControlSize);
        picture->show();
        QVERIFY(QTest::qWaitForWindowExposed(picture.get()));
    }

    void cleanup() { picture.reset(); }

    void paintsTheBitmapUnscaledFromTheTopLeft_data() {
        QTest::addColumn<QSize>("bitmapSize");
        QTest::newRow("none yet: all black") << QSize();
        QTest::newRow("smaller: the rest stays black") << QSize(40, 20);
        QTest::newRow("one pixel") << QSize(1, 1);
        QTest::newRow("exactly the control") << ControlSize;
        QTest::newRow("wider and taller: its top-left part") << QSize(100, 80);
    }

    void paintsTheBitmapUnscaledFromTheTopLeft() {
        QFETCH(QSize, bitmapSize);
        if (bitmapSize.isValid()) {
            picture->SetBitmap(PatternBitmap(bitmapSize.width(), bitmapSize.height()));
            QVERIFY(picture->Bitmap());
        }
        const QString difference = PictureDifference(picture->Bitmap());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void keepsTheOldBitmapWhenGivenNoUsableOne_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("null") << 0;
        QTest::newRow("pixels short of its size") << 1;
        QTest::newRow("zero width") << 2;
    }

    void keepsTheOldBitmapWhenGivenNoUsableOne() {
        QFETCH(int, kind);
        picture->SetBitmap(PatternBitmap(30, 20));
        const SceneBitmap* shown = picture->Bitmap();

        std::unique_ptr<SceneBitmap> unusable;
        if (kind == 1) {
            unusable = ShortBitmap();
        } else if (kind == 2) {
            unusable = PatternBitmap(0, 5);
        }
        picture->SetBitmap(std::move(unusable));

        QCOMPARE(picture->Bitmap(), shown);
        const QString difference = PictureDifference(shown);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void aNewBitmapReplacesTheOldAtOnce() {
        picture->SetBitmap(PatternBitmap(64, 48));
        auto second = PatternBitmap(10, 10);
        std::fill(second->pixels.begin(), second->pixels.end(), vistrel::ColourIndex{15});
        const SceneBitmap* secondAddress = second.get();

        picture->SetBitmap(std::move(second));

        QCOMPARE(picture->Bitmap(), secondAddress);
        const QString difference = PictureDifference(secondAddress);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void fullScreenCentresTheFrameInSolidBlocks() {
        FullScreenPicture fullScreen;
        const auto bitmap = PatternBitmap(570, 206);
        QScreen* screen = QGuiApplication::primaryScreen();
        fullScreen.ShowOn(screen, *bitmap);
        QVERIFY(QTest::qWaitForWindowExposed(&fullScreen));
        QVERIFY(fullScreen.isFullScreen());

        const QSize screenPixels = screen->size() * screen->devicePixelRatio();
        const int scale = fullScreen.Scale();
        QVERIFY(scale >= 1);
        // The largest whole scale: one more would not fit.
        QVERIFY(!QRect(QPoint(), screenPixels).contains(QRect(QPoint(), Frame * (scale + 1))));
        const QString difference = FirstDifference(
            fullScreen.grab().toImage(), ExpectedFullScreen(*bitmap, screenPixels, scale));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void thousandsOfBitmapsKeepOnlyTheLastAlive() {
        constexpr int Pictures = 3000;
        constexpr int Side = 48;
        const auto setOne = [this] {
            auto bitmap = PatternBitmap(Side, Side);
            const SceneBitmap* address = bitmap.get();
            picture->SetBitmap(std::move(bitmap));
            return address;
        };
        for (int i = 0; i < 50; ++i) {
            setOne();
        }
        const std::int64_t before = HeapBytesInUse();
        const SceneBitmap* last = nullptr;
        for (int i = 0; i < Pictures; ++i) {
            last = setOne();
        }
        const std::int64_t growth = HeapBytesInUse() - before;

        QCOMPARE(picture->Bitmap(), last);
        // Keeping every bitmap would hold Pictures x Side x Side bytes, about 7 MB.
        QVERIFY2(growth < 100 * Side * Side, qPrintable(QString::number(growth)));
    }
};

QTEST_MAIN(ScenePictureTest)
#include "ScenePictureTest.moc"
