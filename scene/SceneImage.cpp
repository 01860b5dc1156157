#include "scene/SceneImage.h"

#include <png.h>

#include <cstdio>
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
constexpr int FourBitCompressionLevel = 4;
constexpr int EightBitCompressionLevel = 5;

bool FitsFourBits(const SceneBitmap& bitmap) {
    for (const ColourIndex c : bitmap.pixels) {
        if (c >= 16) {
            return false;
        }
    }
    return true;
}

// Large enough that a typical picture's pixels go out as one IDAT chunk.
constexpr std::size_t PngChunkBytes = 64 * 1024;

// One libpng write into a byte vector. libpng reports errors by longjmp, so the only frame that
// calls setjmp (Write) holds nothing that needs a destructor; the structs are released here.
class PngEncoder {
  public:
    explicit PngEncoder(std::vector<std::uint8_t>& out) : out(out) {
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
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png,
                                  fourBits ? FourBitCompressionLevel : EightBitCompressionLevel);
        png_set_compression_buffer_size(png, PngChunkBytes);
        png_write_info(png, info);
        if (fourBits) {
            png_set_packing(png);  // the rows hold one colour number a byte
        }
        const auto rowBytes = static_cast<std::size_t>(bitmap.width);
        for (std::int32_t y = 0; y < bitmap.height; ++y) {
            png_write_row(png, bitmap.pixels.data() + rowBytes * static_cast<std::size_t>(y));
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
    bool outOfMemory = false;
    char message[128] = {};
};

std::vector<std::uint8_t> EncodePng(const SceneBitmap& bitmap) {
    std::vector<std::uint8_t> out;
    PngEncoder(out).Encode(bitmap);
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
    return Fnv1aDigest(std::as_bytes(std::span(bitmap.pixels)));
}

}  // namespace vistrel
