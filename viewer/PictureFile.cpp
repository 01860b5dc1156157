#include "viewer/PictureFile.h"

#include <QSaveFile>

#include "scene/SceneBitmap.h"
#include "scene/SceneImage.h"
#include "viewer/CrispImage.h"

namespace vistrel {

SceneBitmap FramePixels(const SceneBitmap& bitmap) {
    const QRect area = FrameArea(bitmap);
    SceneBitmap frame;
    frame.width = area.width();
    frame.height = area.height();
    frame.pixels.reserve(static_cast<std::size_t>(frame.width) *
                         static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        const auto row = bitmap.pixels.begin() + static_cast<std::ptrdiff_t>(y) * bitmap.width;
        frame.pixels.insert(frame.pixels.end(), row, row + frame.width);
    }
    return frame;
}

QString SavePicturePng(const SceneBitmap& picture, const QString& path, int scale) {
    const std::vector<std::uint8_t> png = EncodeImage(ScaleUp(picture, scale), ImageFormat::Png);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    const auto size = static_cast<qint64>(png.size());
    // A small file stays in the write buffer, and commit() does not report a failed flush of
    // it: flushing first is what finds a full disk.
    if (file.write(reinterpret_cast<const char*>(png.data()), size) != size || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace vistrel
