#include "images/PictureFile.h"

#include "images/CrispImage.h"
#include "scene/SceneBitmap.h"
#include "scene/SceneImage.h"
#include "userfiles/ReplaceFile.h"

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
    return ReplaceFile(path, QByteArrayView(png.data(), static_cast<qsizetype>(png.size())));
}

}  // namespace vistrel
