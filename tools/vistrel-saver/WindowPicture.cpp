#include "tools/vistrel-saver/WindowPicture.h"

#include <array>

namespace vistrel {

WindowPicture::WindowPicture(const SceneBitmap& picture, std::int32_t windowWidth,
                             std::int32_t windowHeight, const PixelFormat& format)
    : fit(FitOnScreen(picture.width, picture.height, windowWidth, windowHeight)),
      rowBytes(static_cast<std::size_t>(Width()) * PixelFormat::BytesPerPixel),
      rows(rowBytes * static_cast<std::size_t>(fit.sourceHeight)) {
    std::array<std::uint32_t, StoredColourCount> pixels{};
    for (int i = 0; i < StoredColourCount; ++i) {
        pixels[i] = format.Pixel(StoredColor(static_cast<ColourIndex>(i)));
    }
    std::uint8_t* out = rows.data();
    for (std::int32_t y = 0; y < fit.sourceHeight; ++y) {
        for (std::int32_t x = 0; x < fit.sourceWidth; ++x) {
            const std::uint32_t pixel = pixels[picture.At(fit.sourceX + x, fit.sourceY + y)];
            for (std::int32_t copy = 0; copy < fit.scale; ++copy) {
                format.Store(pixel, out);
                out += PixelFormat::BytesPerPixel;
            }
        }
    }
}

std::span<const std::uint8_t> WindowPicture::Row(std::int32_t y) const {
    return {rows.data() + rowBytes * static_cast<std::size_t>(y / fit.scale), rowBytes};
}

}  // namespace vistrel
