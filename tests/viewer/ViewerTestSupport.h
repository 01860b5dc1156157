#pragma once

#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "raster/Palette.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneRng.h"
#include "viewer/ViewerServices.h"

namespace vistrel::test {

// Counts beeps and serves a fixed clock reading.
class FakeViewerServices final : public ViewerServices {
  public:
    explicit FakeViewerServices(std::int64_t clockSeconds) : clockSeconds(clockSeconds) {}

    void Beep() override { ++beeps; }
    std::int64_t ClockSeconds() override {
        ++clockReadings;
        return clockSeconds;
    }

    int beeps = 0;
    int clockReadings = 0;

  private:
    std::int64_t clockSeconds;
};

// The window's child of that type and object name. A missing one ends the run: no test of the
// window can go on without it.
template <typename Widget>
Widget* FindControl(const QWidget& window, const char* name) {
    auto* control = window.findChild<Widget*>(QLatin1String(name));
    if (!control) {
        qFatal("no control named %s", name);
    }
    return control;
}

// What the renderer gives for scene k of a run, at a given size.
inline std::unique_ptr<SceneBitmap> RenderScene(std::uint32_t runSeed, std::uint32_t k,
                                                QSize size) {
    SceneRng rng;
    SceneSeed(rng, runSeed, k);
    return RenderSceneBitmap(Rect{0, 0, size.width(), size.height()}, rng);
}

inline QRgb ScreenColour(ColourIndex index) {
    const ColorRef c = StoredColor(index);
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The device pixels a picture control of `size` logical pixels must show for `bitmap` (or none)
// at a device pixel ratio: the bitmap stretched from the top-left corner over the device pixels
// its logical size touches, each taking the bitmap pixel under its centre; black everywhere else.
// A whole ratio makes every bitmap pixel a solid ratio x ratio block.
inline QImage ExpectedPicture(const SceneBitmap* bitmap, QSize size, qreal devicePixelRatio) {
    QImage expected((size * devicePixelRatio), QImage::Format_RGB32);
    expected.fill(Qt::black);
    if (!bitmap) {
        return expected;
    }
    const auto covered = [devicePixelRatio](int pixels) {
        return static_cast<int>(std::ceil(pixels * devicePixelRatio));
    };
    const int coveredWidth = covered(bitmap->width);
    const int coveredHeight = covered(bitmap->height);
    for (int y = 0; y < std::min(expected.height(), coveredHeight); ++y) {
        const int sourceY = static_cast<int>((y + 0.5) * bitmap->height / coveredHeight);
        for (int x = 0; x < std::min(expected.width(), coveredWidth); ++x) {
            const int sourceX = static_cast<int>((x + 0.5) * bitmap->width / coveredWidth);
            expected.setPixel(x, y, ScreenColour(bitmap->At(sourceX, sourceY)));
        }
    }
    return expected;
}

// Empty when the images agree pixel for pixel, else where and how they first differ.
inline QString FirstDifference(const QImage& actualImage, const QImage& expectedImage) {
    const QImage actual = actualImage.convertToFormat(QImage::Format_RGB32);
    const QImage expected = expectedImage.convertToFormat(QImage::Format_RGB32);
    if (actual.size() != expected.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'))
                    .arg(expected.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0'));
            }
        }
    }
    return {};
}

// Bytes the C heap has handed out and not had back. Sanitizer builds keep their own heap and
// may report nothing here; LeakSanitizer watches them instead.
inline std::int64_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// Caps the size of any file this process writes, as a full disk would; writing past the cap
// fails instead of raising SIGXFSZ. Lifted again when it goes.
class FileSizeCap {
  public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit capped = old;
        capped.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

  private:
    rlimit old{};
    sighandler_t oldHandler;
};

}  // namespace vistrel::test
