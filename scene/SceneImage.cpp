#include "SceneImage.h"

#include <zlib.h>

#include <cstdio>
#include <iterator>
#include <stdexcept>

namespace vistrel {

SceneBitmap ScaleUp(const SceneBitmap& bitmap, std::int32_t n) {
    SceneBitmap big;
    big.width = bitmap.width * n;
    big.height = bitmap.height * n;
    big.pixels.reserve(static_cast<std::size_t>(big.width) * static_cast<std::size_t>(big.height));
    for (std::int32_t y = 0; y < big.height; ++y) {
        for (std::int32_t x = 0; x < big.width; ++x) {
            big.pixels.push_back(bitmap.At(x / n, y / n));
        }
    }
    return big;
}

namespace {

std::vector<std::uint8_t> EncodePpm(const SceneBitmap& bitmap) {
    const std::string header =
        "P6\n" + std::to_string(bitmap.width) + " " + std::to_string(bitmap.height) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + bitmap.pixels.size() * 3);
    for (const ColourIndex c : bitmap.pixels) {
        const ColorRef rgb = StoredColor(c);
        out.push_back(RedOf(rgb));
        out.push_back(GreenOf(rgb));
        out.push_back(BlueOf(rgb));
    }
    return out;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

std::vector<std::uint8_t> EncodePng(const SceneBitmap& bitmap) {
    static constexpr std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> out(std::begin(signature), std::end(signature));

    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(bitmap.width));
    PutU32(header, static_cast<std::uint32_t>(bitmap.height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit indices, palette, no interlace
    PutChunk(out, "IHDR", header);

    std::vector<std::uint8_t> palette;
    for (int i = 0; i < StoredColourCount; ++i) {
        const ColorRef c = StoredColor(static_cast<ColourIndex>(i));
        palette.insert(palette.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
    }
    PutChunk(out, "PLTE", palette);

    // Each row is preceded by its filter type, 0 (none).
    const auto rowBytes = static_cast<std::size_t>(bitmap.width);
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(bitmap.height));
    for (std::int32_t y = 0; y < bitmap.height; ++y) {
        raw.push_back(0);
        const auto row = bitmap.pixels.begin() +
                         static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK) {
        throw std::runtime_error("cannot compress the picture");
    }
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeImage(const SceneBitmap& bitmap, ImageFormat format) {
    switch (format) {
        case ImageFormat::Png:
            return EncodePng(bitmap);
        case ImageFormat::Ppm:
            return EncodePpm(bitmap);
        case ImageFormat::Raw:
            break;
    }
    return bitmap.pixels;
}

std::uint64_t PixelDigest(const SceneBitmap& bitmap) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const ColourIndex c : bitmap.pixels) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string DigestHex(std::uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

}  // namespace vistrel
