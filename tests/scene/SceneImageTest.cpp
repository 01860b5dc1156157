#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scene/RenderSceneBitmap.h"
#include "scene/SceneImage.h"

namespace vistrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

SceneBitmap Bitmap(std::int32_t width, std::int32_t height, std::vector<ColourIndex> pixels) {
    return SceneBitmap{width, height, std::move(pixels)};
}

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks of a PNG file after its signature, each checked against its CRC.
std::vector<Chunk> ChunksOf(const Bytes& png) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = BigEndian(&png[at]);
        if (at + 12 + length > png.size()) {
            ADD_FAILURE() << "chunk runs past the end";
            break;
        }
        const std::uint8_t* type = &png[at + 4];
        const uLong crc = crc32(0, type, 4 + length);
        EXPECT_EQ(BigEndian(type + 4 + length), crc) << "bad CRC";
        chunks.push_back({std::string(type, type + 4), Bytes(type + 4, type + 4 + length)});
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

// A PNG's pixels, from its IDAT data at the given bits a pixel (8, or 4 with two pixels a byte,
// the left one high), without the row filter bytes, which must all be 0.
std::vector<ColourIndex> PngPixels(const Chunk& idat, std::int32_t width, std::int32_t height,
                                   int bits) {
    const std::int32_t rowBytes = bits == 8 ? width : (width + 1) / 2;
    Bytes raw(static_cast<std::size_t>((rowBytes + 1) * height));
    uLongf rawSize = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &rawSize, idat.data.data(), idat.data.size()), Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    std::vector<ColourIndex> pixels;
    for (std::int32_t y = 0; y < height; ++y) {
        const auto row = raw.begin() + y * (rowBytes + 1);
        EXPECT_EQ(*row, 0) << "filter of row " << y;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t byte = row[1 + (bits == 8 ? x : x / 2)];
            pixels.push_back(bits == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0x0F));
        }
    }
    return pixels;
}

TEST(SceneImageTest, PpmHasItsHeaderThenRgbTriples) {
    const Bytes ppm = EncodeImage(Bitmap(2, 2, {0, 9, 12, OutOfPalette}), ImageFormat::Ppm);
    const std::string header = "P6\n2 2\n255\n";
    Bytes expected(header.begin(), header.end());
    expected.insert(expected.end(), {0, 0, 0, 0, 0, 255, 255, 0, 0, 0x56, 0x34, 0x12});
    EXPECT_EQ(ppm, expected);
}

TEST(SceneImageTest, RawIsTheColourNumbers) {
    const SceneBitmap bitmap = Bitmap(3, 1, {15, 0, OutOfPalette});
    EXPECT_EQ(EncodeImage(bitmap, ImageFormat::Raw), bitmap.pixels);
}

// Pictures in the 16 palette colours go out at four bits a pixel with those 16 entries; one with
// the out-of-palette colour at eight bits with all 17.
TEST(SceneImageTest, PngIsIndexedWithThePaletteAndDecodesBack) {
    SceneRng rng;
    rng.Seed(15);
    const auto scene = RenderSceneBitmap({0, 0, 570, 190}, rng);
    ASSERT_NE(scene, nullptr);
    // Rows longer than eight pixels, and not a multiple of them, take every way of packing.
    std::vector<ColourIndex> wide(19 * 3);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<ColourIndex>((i * 7 + i / 19) % 16);
    }
    std::vector<ColourIndex> wideOutOfPalette = wide;
    wideOutOfPalette.back() = OutOfPalette;
    for (const auto& [bitmap, effort] : std::vector<std::pair<SceneBitmap, PngEffort>>{
             {Bitmap(3, 2, {0, 1, 2, 13, 14, OutOfPalette}), PngEffort::Small},
             {Bitmap(3, 2, {0, 1, 2, 13, 14, 15}), PngEffort::Small},
             {*scene, PngEffort::Small},
             {*scene, PngEffort::Fast},
             {Bitmap(19, 3, wide), PngEffort::Fast},
             {Bitmap(19, 3, wideOutOfPalette), PngEffort::Fast}}) {
        SCOPED_TRACE(bitmap.width);
        const Bytes png = EncodeImage(bitmap, ImageFormat::Png, effort);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
                  Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
        const std::vector<Chunk> chunks = ChunksOf(png);
        ASSERT_EQ(chunks.size(), 4u);
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, "PLTE");
        EXPECT_EQ(chunks[2].type, "IDAT");
        EXPECT_EQ(chunks[3].type, "IEND");
        const Bytes& ihdr = chunks[0].data;
        ASSERT_EQ(ihdr.size(), 13u);
        EXPECT_EQ(BigEndian(&ihdr[0]), static_cast<std::uint32_t>(bitmap.width));
        EXPECT_EQ(BigEndian(&ihdr[4]), static_cast<std::uint32_t>(bitmap.height));
        const bool outOfPalette =
            std::count(bitmap.pixels.begin(), bitmap.pixels.end(), OutOfPalette) > 0;
        const std::uint8_t bits = outOfPalette ? 8 : 4;
        EXPECT_EQ(Bytes(ihdr.begin() + 8, ihdr.end()), Bytes({bits, 3, 0, 0, 0}));
        Bytes palette;
        for (int i = 0; i < (outOfPalette ? StoredColourCount : 16); ++i) {
            const ColorRef c = StoredColor(static_cast<ColourIndex>(i));
            palette.insert(palette.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
        }
        EXPECT_EQ(chunks[1].data, palette);
        EXPECT_EQ(PngPixels(chunks[2], bitmap.width, bitmap.height, bits), bitmap.pixels);
        EXPECT_TRUE(chunks[3].data.empty());
    }
}

TEST(SceneImageTest, ScaleUpRepeatsEveryPixel) {
    const SceneBitmap small = Bitmap(2, 2, {1, 2, 3, 4});
    const SceneBitmap big = ScaleUp(small, 3);
    ASSERT_EQ(big.width, 6);
    ASSERT_EQ(big.height, 6);
    ASSERT_EQ(big.pixels.size(), 36u);
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(big.At(x, y), small.At(x / 3, y / 3)) << x << "," << y;
        }
    }
    EXPECT_EQ(ScaleUp(small, 1).pixels, small.pixels);
}

TEST(SceneImageTest, DigestIsFnv1aOverTheColourNumbersRowByRow) {
    struct Case {
        SceneBitmap bitmap;
        std::uint64_t digest;
    };
    // The published 64-bit FNV-1a values of "", "\0", "a" and "foobar".
    const Case cases[] = {
        {Bitmap(0, 0, {}), 0xcbf29ce484222325ull},
        {Bitmap(1, 1, {0}), 0xaf63bd4c8601b7dfull},
        {Bitmap(1, 1, {'a'}), 0xaf63dc4c8601ec8cull},
        {Bitmap(6, 1, {'f', 'o', 'o', 'b', 'a', 'r'}), 0x85944171f73967e8ull},
        {Bitmap(3, 2, {'f', 'o', 'o', 'b', 'a', 'r'}), 0x85944171f73967e8ull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelDigest(c.bitmap), c.digest) << c.bitmap.width << "x" << c.bitmap.height;
    }
    // By hand: one multiplication of the offset basis by the FNV prime, modulo 2^64.
    EXPECT_EQ(PixelDigest(Bitmap(1, 1, {0})), 0xcbf29ce484222325ull * 0x100000001b3ull);
}

TEST(SceneImageTest, DigestHexIsSixteenLowercaseDigits) {
    EXPECT_EQ(DigestHex(0), "0000000000000000");
    EXPECT_EQ(DigestHex(0xcbf29ce484222325ull), "cbf29ce484222325");
    EXPECT_EQ(DigestHex(0xABCull), "0000000000000abc");
    EXPECT_EQ(DigestHex(~0ull), "ffffffffffffffff");
}

}  // namespace
}  // namespace vistrel
