// What the web page asks of the picture library, as C functions on numbers and on buffers in the
// module's memory. Images come back as RGBA bytes, four a pixel row by row, ready for an
// ImageData; a returned buffer stays valid until the next call that returns one, or 0 on failure.

#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "raster/Digest.h"
#include "raster/Palette.h"
#include "scene/HalvedFrame.h"
#include "scene/Picture.h"
#include "scene/ScreenFit.h"

namespace {

using vistrel::SceneBitmap;

// The last image handed to the page, and the last text.
std::vector<std::uint8_t> image;
std::string text;

constexpr std::size_t RgbaBytes = 4;
constexpr std::uint8_t Opaque = 0xFF;

const std::uint8_t* HandOver(const SceneBitmap& bitmap) {
    if (bitmap.pixels.empty()) {
        return nullptr;
    }
    image.resize(bitmap.pixels.size() * RgbaBytes);
    std::uint8_t* out = image.data();
    for (const vistrel::ColourIndex index : bitmap.pixels) {
        const vistrel::ColorRef colour = vistrel::StoredColor(index);
        *out++ = vistrel::RedOf(colour);
        *out++ = vistrel::GreenOf(colour);
        *out++ = vistrel::BlueOf(colour);
        *out++ = Opaque;
    }
    return image.data();
}

// HalveFrame's pixels are 0xFFRRGGBB numbers.
const std::uint8_t* HandOver(std::span<const std::uint32_t> pixels) {
    image.resize(pixels.size() * RgbaBytes);
    std::uint8_t* out = image.data();
    for (const std::uint32_t pixel : pixels) {
        *out++ = static_cast<std::uint8_t>(pixel >> 16);
        *out++ = static_cast<std::uint8_t>(pixel >> 8);
        *out++ = static_cast<std::uint8_t>(pixel);
        *out++ = Opaque;
    }
    return image.data();
}

// For each of `count` device pixels, the source pixel under its centre, as the desktop gallery
// enlarges its thumbnails: floor((d + 1/2) * length / count).
std::int32_t NearestSource(std::int32_t d, std::int32_t length, std::int32_t count) {
    return static_cast<std::int32_t>((2 * std::int64_t{d} + 1) * length /
                                     (2 * std::int64_t{count}));
}

SceneBitmap Stretched(const SceneBitmap& picture, std::int32_t width, std::int32_t height) {
    SceneBitmap stretched = vistrel::BlackScreen(width, height);
    for (std::int32_t y = 0; y < stretched.height; ++y) {
        const std::int32_t sourceY = NearestSource(y, vistrel::PictureHeight, height);
        for (std::int32_t x = 0; x < stretched.width; ++x) {
            stretched.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                             static_cast<std::size_t>(x)] =
                picture.At(NearestSource(x, vistrel::PictureWidth, width), sourceY);
        }
    }
    return stretched;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE std::uint32_t vistrel_seed_of_scene(std::uint32_t runSeed, std::uint32_t k) {
    return vistrel::SeedOfScene(runSeed, k);
}

// The picture of `seed` on a screen of width x height device pixels: enlarged by the largest
// whole scale that fits, centred on black, as `vistrel-render --fit` makes it. A screen of
// exactly n times the picture's size gives the picture enlarged n times.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* vistrel_fit(std::uint32_t seed, std::int32_t width,
                                                     std::int32_t height) {
    const std::unique_ptr<SceneBitmap> picture = vistrel::PictureOfSeed(seed);
    return picture ? HandOver(vistrel::ShowOnScreen(*picture, width, height)) : nullptr;
}

// A gallery thumbnail of width x height device pixels, as the desktop gallery paints it: from
// 2 x 2 means of the picture, or from the picture itself where the screen has two device pixels
// or more to each pixel (`fromPicture`). At its own size the halved frame is handed over as it is.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* vistrel_thumbnail(std::uint32_t seed, std::int32_t width,
                                                           std::int32_t height, bool fromPicture) {
    const std::unique_ptr<SceneBitmap> picture = vistrel::PictureOfSeed(seed);
    if (!picture || width < 1 || height < 1) {
        return nullptr;
    }
    if (fromPicture) {
        return HandOver(Stretched(*picture, width, height));
    }
    std::vector<std::uint32_t> halved(std::size_t{vistrel::HalvedWidth} * vistrel::HalvedHeight);
    vistrel::HalveFrame(*picture, halved.data(), vistrel::HalvedWidth);
    if (width == vistrel::HalvedWidth && height == vistrel::HalvedHeight) {
        return HandOver(halved);
    }
    std::vector<std::uint32_t> stretched(static_cast<std::size_t>(width) *
                                         static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t sourceY = NearestSource(y, vistrel::HalvedHeight, height);
        for (std::int32_t x = 0; x < width; ++x) {
            stretched[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)] =
                halved[static_cast<std::size_t>(sourceY) * vistrel::HalvedWidth +
                       static_cast<std::size_t>(NearestSource(x, vistrel::HalvedWidth, width))];
        }
    }
    return HandOver(stretched);
}

// One line "S HEX" for each seed from `first` to `last`, HEX the 64-bit FNV-1a of the picture's
// colour numbers row by row: the lines `vistrel-render --seeds A-B --digest` prints.
EMSCRIPTEN_KEEPALIVE const char* vistrel_digests(std::uint32_t first, std::uint32_t last) {
    text.clear();
    for (std::uint64_t seed = first; seed <= last; ++seed) {
        const auto picture = vistrel::PictureOfSeed(static_cast<std::uint32_t>(seed));
        if (!picture) {
            return nullptr;
        }
        text +=
            std::to_string(seed) + ' ' +
            vistrel::DigestHex(vistrel::Fnv1aDigest(std::as_bytes(std::span(picture->pixels)))) +
            '\n';
    }
    return text.c_str();
}

// Renders `count` pictures of width x height from scene seed `first` on, seeds wrapping at
// 32768, and keeps none: what the speed of a render is measured on. Returns how many rendered.
EMSCRIPTEN_KEEPALIVE std::uint32_t vistrel_render_only(std::uint32_t first, std::uint32_t count,
                                                       std::int32_t width, std::int32_t height) {
    std::uint32_t rendered = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const vistrel::Rect area{0, 0, width, height};
        rendered += vistrel::PictureOfSeed((first + i) & vistrel::LargestSceneSeed, area) ? 1 : 0;
    }
    return rendered;
}

}  // extern "C"
