#include "scene/SceneImage.h"

#include <png.h>
#include <zlib.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <new>
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

// Most pictures use only the 16 palette colours and go out at four bits a pixel: half the bytes
// to compress, so zlib level 4 stays within about 5 % of level 9 on whole bytes and takes about
// a millisecond. A picture with the out-of-palette colour needs the 17th entry and eight bits a
// pixel, where level 5 is the fastest that stays within about 12 %.
// Backgrounds take level 1, which on their blocks of colour is several times faster than 4.
constexpr int FourBitCompressionLevel = 4;
constexpr int EightBitCompressionLevel = 5;
constexpr int FastCompressionLevel = 1;

// Colour numbers go up to 16, so any of them is 16 exactly when their bits together are; eight
// at a time, as one 64-bit word, since backgrounds run to tens of millions of pixels.
bool FitsFourBits(const SceneBitmap& bitmap) {
    const ColourIndex* pixels = bitmap.pixels.data();
    const std::size_t count = bitmap.pixels.size();
    std::uint64_t all = 0;
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, pixels + i, sizeof eight);
        all |= eight;
    }
    for (; i < count; ++i) {
        all |= pixels[i];
    }
    return (all & 0xF0F0F0F0F0F0F0F0u) == 0;
}

// Two colour numbers a byte, the first in the high half, as PNG keeps four-bit rows; on
// little-endian processors eight at a time: each even byte takes its own number shifted up and
// the next one's, and the four bytes that hold them are then drawn together.
void PackFourBits(const ColourIndex* row, std::size_t width, png_byte* packed) {
    std::size_t x = 0;
    for (; std::endian::native == std::endian::little && x + 8 <= width; x += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, row + x, sizeof eight);
        std::uint64_t pairs = ((eight << 4) | (eight >> 8)) & 0x00FF00FF00FF00FFu;
        pairs = (pairs | (pairs >> 8)) & 0x0000FFFF0000FFFFu;
        const auto four = static_cast<std::uint32_t>(pairs | (pairs >> 16));
        std::memcpy(packed + x / 2, &four, sizeof four);
    }
    for (; x + 1 < width; x += 2) {
        packed[x / 2] = static_cast<png_byte>((row[x] << 4) | row[x + 1]);
    }
    if (width % 2 != 0) {
        packed[width / 2] = static_cast<png_byte>(row[width - 1] << 4);
    }
}

// Large enough that a typical picture's pixels go out as one IDAT chunk.
constexpr std::size_t PngChunkBytes = 64 * 1024;

// One libpng write into a byte vector. libpng reports errors by longjmp, so the only frame that
// calls setjmp (Write) holds nothing that needs a destructor; the structs are released here.
class PngEncoder {
  public:
    PngEncoder(std::vector<std::uint8_t>& out, PngEffort effort) : out(out), effort(effort) {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
        info = png == nullptr ? nullptr : png_create_info_struct(png);
        if (info == nullptr) {
            png_destroy_write_struct(&png, nullptr);
            throw std::bad_alloc();
        }
        png_set_write_fn(png, this, Append, nullptr);
    }
    ~PngEncoder() { png_destroy_write_struct(&png, &info); }
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    void Encode(const SceneBitmap& bitmap) {
        packedRow.resize((static_cast<std::size_t>(bitmap.width) + 1) / 2);
        if (!Write(bitmap)) {
            if (outOfMemory) {
                throw std::bad_alloc();
            }
            throw std::runtime_error(std::string("cannot encode the picture as PNG: ") + message);
        }
    }

  private:
    bool Write(const SceneBitmap& bitmap) {
        if (setjmp(png_jmpbuf(png)) != 0) {
            return false;
        }
        const bool fourBits = FitsFourBits(bitmap);
        const int colours = fourBits ? 16 : StoredColourCount;
        png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width),
                     static_cast<png_uint_32>(bitmap.height), fourBits ? 4 : 8,
                     PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_color palette[StoredColourCount];
        for (int i = 0; i < colours; ++i) {
            const ColorRef c = StoredColor(static_cast<ColourIndex>(i));
            palette[i] = {RedOf(c), GreenOf(c), BlueOf(c)};
        }
        png_set_PLTE(png, info, palette, colours);
        if (effort == PngEffort::Fast) {
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            png_set_compression_level(png, FastCompressionLevel);
        } else {
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            png_set_compression_level(
                png, fourBits ? FourBitCompressionLevel : EightBitCompressionLevel);
        }
        png_set_compression_buffer_size(png, PngChunkBytes);
        png_write_info(png, info);
        const auto rowBytes = static_cast<std::size_t>(bitmap.width);
        for (std::int32_t y = 0; y < bitmap.height; ++y) {
            const ColourIndex* row = bitmap.pixels.data() + rowBytes * static_cast<std::size_t>(y);
            if (fourBits) {
                PackFourBits(row, rowBytes, packedRow.data());
                png_write_row(png, packedRow.data());
            } else {
                png_write_row(png, row);
            }
        }
        png_write_end(png, nullptr);
        return true;
    }

    static void Append(png_structp png, png_bytep data, std::size_t length) {
        auto* self = static_cast<PngEncoder*>(png_get_io_ptr(png));
        try {
            self->out.insert(self->out.end(), data, data + length);
        } catch (const std::bad_alloc&) {
            self->outOfMemory = true;
        }
        if (self->outOfMemory) {
            png_error(png, "out of memory");
        }
    }

    [[noreturn]] static void OnError(png_structp png, png_const_charp text) {
        auto* self = static_cast<PngEncoder*>(png_get_error_ptr(png));
        std::snprintf(self->message, sizeof self->message, "%s", text);
        png_longjmp(png, 1);
    }

    static void OnWarning(png_structp, png_const_charp) {}

    std::vector<std::uint8_t>& out;
    png_structp png = nullptr;
    png_infop info = nullptr;
    const PngEffort effort;
    // A four-bit row as it goes out; made before the write, which may not own anything.
    std::vector<png_byte> packedRow;
    bool outOfMemory = false;
    char message[128] = {};
};

std::vector<std::uint8_t> EncodePng(const SceneBitmap& bitmap, PngEffort effort) {
    std::vector<std::uint8_t> out;
    PngEncoder(out, effort).Encode(bitmap);
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeImage(const SceneBitmap& bitmap, ImageFormat format,
                                      PngEffort effort) {
    switch (format) {
        case ImageFormat::Png:
            return EncodePng(bitmap, effort);
        case ImageFormat::Ppm:
            return EncodePpm(bitmap);
        case ImageFormat::Raw:
            break;
    }
    return bitmap.pixels;
}

std::uint64_t PixelDigest(const SceneBitmap& bitmap) {
    return Fnv1aDigest(std::as_bytes(std::span(bitmap.pixels)));
}

}  // namespace vistrel
