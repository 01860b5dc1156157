#include "viewer/Thumbnail.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "raster/Palette.h"
#include "scene/SceneBitmap.h"
#include "viewer/CrispImage.h"

namespace vistrel {
namespace {

constexpr int ChannelBits = 10;
constexpr std::uint32_t ChannelMask = 0xFF;

// Two colours' channels summed, each in its own 10-bit field (red lowest), plus 1 in each: two
// pair sums make a + b + c + d + 2 per channel, at most 1022, so the fields never carry into one
// another and the whole block costs two look-ups and one addition.
using PairSums = std::array<std::uint32_t, StoredColourCount * StoredColourCount>;

PairSums MakePairSums() {
    PairSums sums{};
    for (int a = 0; a < StoredColourCount; ++a) {
        for (int b = 0; b < StoredColourCount; ++b) {
            const ColorRef ca = StoredColor(static_cast<ColourIndex>(a));
            const ColorRef cb = StoredColor(static_cast<ColourIndex>(b));
            const std::uint32_t red = RedOf(ca) + RedOf(cb) + 1u;
            const std::uint32_t green = GreenOf(ca) + GreenOf(cb) + 1u;
            const std::uint32_t blue = BlueOf(ca) + BlueOf(cb) + 1u;
            sums[static_cast<std::size_t>(a * StoredColourCount + b)] =
                red | (green << ChannelBits) | (blue << (2 * ChannelBits));
        }
    }
    return sums;
}

QRgb MeanOf(std::uint32_t blockSum) {
    const std::uint32_t red = (blockSum >> 2) & ChannelMask;
    const std::uint32_t green = (blockSum >> (ChannelBits + 2)) & ChannelMask;
    const std::uint32_t blue = (blockSum >> (2 * ChannelBits + 2)) & ChannelMask;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

bool HoldsFrame(const SceneBitmap& picture) {
    return picture.width >= SceneFrame.width() && picture.height >= SceneFrame.height() &&
           picture.pixels.size() ==
               static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

int DevicePixels(int logicalPixels, qreal devicePixelRatio) {
    return static_cast<int>(std::ceil(logicalPixels * devicePixelRatio));
}

void HalveRowPlain(const ColourIndex* upper, const ColourIndex* lower, QRgb* target, int from,
                   int to) {
    static const PairSums pairSums = MakePairSums();
    for (int x = from; x < to; ++x) {
        const std::size_t left = 2 * static_cast<std::size_t>(x);
        const std::uint32_t sum = pairSums[upper[left] * StoredColourCount + upper[left + 1]] +
                                  pairSums[lower[left] * StoredColourCount + lower[left + 1]];
        target[x] = MeanOf(sum);
    }
}

// One channel of the 16 palette colours, twice: a byte shuffle looks up within each half.
using ChannelTable = std::array<std::uint8_t, 32>;

constexpr ChannelTable MakeChannelTable(int shift) {
    ChannelTable values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<std::uint8_t>(BasePalette[i % 16] >> shift);
    }
    return values;
}

alignas(32) constexpr ChannelTable Reds = MakeChannelTable(0);
alignas(32) constexpr ChannelTable Greens = MakeChannelTable(8);
alignas(32) constexpr ChannelTable Blues = MakeChannelTable(16);

// One channel's sixteen means of the blocks whose rows are `up` and `down`.
__attribute__((target("avx2"))) inline __m256i ChannelMeans(const ChannelTable& table, __m256i up,
                                                            __m256i down) {
    const __m256i values = _mm256_load_si256(reinterpret_cast<const __m256i*>(table.data()));
    const __m256i ones = _mm256_set1_epi8(1);
    const __m256i sum =
        _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_shuffle_epi8(values, up), ones),
                         _mm256_maddubs_epi16(_mm256_shuffle_epi8(values, down), ones));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(2)), 2);
}

// Sixteen means at a time: each channel's palette values looked up with one byte shuffle per
// row, adjacent pairs summed with one multiply-add. Colour 16 lies outside the shuffle's 16
// entries; the rare blocks that hold it go the plain way. The last sixteen of a row overlap the
// ones before rather than leave a tail.
__attribute__((target("avx2"))) void HalveRowWide(const ColourIndex* upper,
                                                  const ColourIndex* lower, QRgb* target) {
    constexpr int Step = 16;
    constexpr int Width = ThumbnailSize.width();
    const __m256i outOfPalette = _mm256_set1_epi8(static_cast<char>(OutOfPalette));
    const __m256i opaque = _mm256_set1_epi16(static_cast<short>(0xFF00));
    for (int x = 0; x < Width; x += Step) {
        const int first = std::min(x, Width - Step);
        const __m256i up = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + 2 * first));
        const __m256i down =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + 2 * first));
        const __m256i outside = _mm256_or_si256(_mm256_cmpeq_epi8(up, outOfPalette),
                                                _mm256_cmpeq_epi8(down, outOfPalette));
        if (_mm256_movemask_epi8(outside) != 0) {
            HalveRowPlain(upper, lower, target, first, first + Step);
            continue;
        }
        const __m256i greenBlue = _mm256_or_si256(
            _mm256_slli_epi16(ChannelMeans(Greens, up, down), 8), ChannelMeans(Blues, up, down));
        const __m256i alphaRed = _mm256_or_si256(ChannelMeans(Reds, up, down), opaque);
        // Within each 128-bit half: pixels 0-3 (and 8-11) low, 4-7 (and 12-15) high.
        const __m256i low = _mm256_unpacklo_epi16(greenBlue, alphaRed);
        const __m256i high = _mm256_unpackhi_epi16(greenBlue, alphaRed);
        auto* to = reinterpret_cast<__m256i*>(target + first);
        _mm256_storeu_si256(to, _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(to + 1, _mm256_permute2x128_si256(low, high, 0x31));
    }
}

using HalveRow = void (*)(const ColourIndex*, const ColourIndex*, QRgb*);

QImage Halve(const SceneBitmap& picture, HalveRow halveRow) {
    if (!HoldsFrame(picture)) {
        return {};
    }
    QImage halved(ThumbnailSize, QImage::Format_RGB32);
    if (halved.isNull()) {
        return halved;
    }
    const auto stride = static_cast<std::size_t>(picture.width);
    for (int y = 0; y < ThumbnailSize.height(); ++y) {
        const ColourIndex* upper = picture.pixels.data() + 2 * static_cast<std::size_t>(y) * stride;
        halveRow(upper, upper + stride, reinterpret_cast<QRgb*>(halved.scanLine(y)));
    }
    return halved;
}

}  // namespace

QImage HalvedPicturePlain(const SceneBitmap& picture) {
    return Halve(picture, [](const ColourIndex* upper, const ColourIndex* lower, QRgb* target) {
        HalveRowPlain(upper, lower, target, 0, ThumbnailSize.width());
    });
}

QImage HalvedPicture(const SceneBitmap& picture) {
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide ? Halve(picture, HalveRowWide) : HalvedPicturePlain(picture);
}

QImage ThumbnailImage(const SceneBitmap& picture, qreal devicePixelRatio) {
    if (!HoldsFrame(picture) || !(devicePixelRatio > 0)) {
        return {};
    }
    const QSize deviceSize(DevicePixels(ThumbnailSize.width(), devicePixelRatio),
                           DevicePixels(ThumbnailSize.height(), devicePixelRatio));
    QImage image = devicePixelRatio >= 2
                       ? CrispImage(picture, QRect(QPoint(0, 0), SceneFrame), deviceSize)
                       : CrispStretch(HalvedPicture(picture), deviceSize);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

}  // namespace vistrel
