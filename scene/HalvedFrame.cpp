#include "scene/HalvedFrame.h"

#include <algorithm>
#include <array>

#include "raster/Palette.h"
#include "raster/WideVectors.h"

#if VISTREL_AVX2_PATHS
#include <immintrin.h>
#endif

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

std::uint32_t MeanOf(std::uint32_t blockSum) {
    const std::uint32_t red = (blockSum >> 2) & ChannelMask;
    const std::uint32_t green = (blockSum >> (ChannelBits + 2)) & ChannelMask;
    const std::uint32_t blue = (blockSum >> (2 * ChannelBits + 2)) & ChannelMask;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

void HalveRowPlain(const ColourIndex* upper, const ColourIndex* lower, std::uint32_t* target,
                   int from, int to) {
    static const PairSums pairSums = MakePairSums();
    for (int x = from; x < to; ++x) {
        const std::size_t left = 2 * static_cast<std::size_t>(x);
        const std::uint32_t sum = pairSums[upper[left] * StoredColourCount + upper[left + 1]] +
                                  pairSums[lower[left] * StoredColourCount + lower[left + 1]];
        target[x] = MeanOf(sum);
    }
}

VISTREL_PLAIN_PATH void HalveRow(const ColourIndex* upper, const ColourIndex* lower,
                                 std::uint32_t* target) {
    HalveRowPlain(upper, lower, target, 0, HalvedWidth);
}

#if VISTREL_AVX2_PATHS

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
VISTREL_AVX2_PATH inline __m256i ChannelMeans(const ChannelTable& table, __m256i up, __m256i down) {
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
VISTREL_AVX2_PATH void HalveRow(const ColourIndex* upper, const ColourIndex* lower,
                                std::uint32_t* target) {
    constexpr int Step = 16;
    const __m256i outOfPalette = _mm256_set1_epi8(static_cast<char>(OutOfPalette));
    const __m256i opaque = _mm256_set1_epi16(static_cast<short>(0xFF00));
    for (int x = 0; x < HalvedWidth; x += Step) {
        const int first = std::min(x, HalvedWidth - Step);
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

#endif

template <typename RowHalver>
bool Halve(const SceneBitmap& picture, std::uint32_t* rows, std::ptrdiff_t stride,
           RowHalver halveRow) {
    if (!HoldsFrame(picture)) {
        return false;
    }
    const auto width = static_cast<std::size_t>(picture.width);
    for (std::int32_t y = 0; y < HalvedHeight; ++y) {
        const ColourIndex* upper = picture.pixels.data() + 2 * static_cast<std::size_t>(y) * width;
        halveRow(upper, upper + width, rows + y * stride);
    }
    return true;
}

}  // namespace

bool HoldsFrame(const SceneBitmap& picture) {
    return picture.width >= PictureWidth && picture.height >= PictureHeight &&
           picture.pixels.size() ==
               static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

bool HalveFrame(const SceneBitmap& picture, std::uint32_t* rows, std::ptrdiff_t stride) {
    return Halve(picture, rows, stride,
                 [](const ColourIndex* upper, const ColourIndex* lower, std::uint32_t* target) {
                     HalveRow(upper, lower, target);
                 });
}

bool HalveFramePlain(const SceneBitmap& picture, std::uint32_t* rows, std::ptrdiff_t stride) {
    return Halve(picture, rows, stride,
                 [](const ColourIndex* upper, const ColourIndex* lower, std::uint32_t* target) {
                     HalveRowPlain(upper, lower, target, 0, HalvedWidth);
                 });
}

}  // namespace vistrel
