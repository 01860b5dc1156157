#include <algorithm>

#include "raster/Bisect.h"
#include "raster/Primitives.h"
#include "raster/WideInt.h"

namespace vistrel {

namespace {

// A line stepped along its longer axis: step i (0 <= i < n) lies at major = major0 + majorSign * i
// and minor = minor0 + minorSign * floor((2 i d + n - tieBias) / 2n), d and n the minor and major
// distances. Working in closed form lets a clipped line visit only its steps inside the clip.
struct SteppedLine {
    std::int64_t major0;
    std::int64_t minor0;
    std::int64_t length;  // n, number of steps
    std::int64_t minorDistance;
    int majorSign;
    int minorSign;
    int tieBias;

    std::int64_t MinorAt(std::int64_t i) const {
        const Int128 num = Int128{2} * i * minorDistance + length - tieBias;
        const auto offset = static_cast<std::int64_t>(num / (Int128{2} * length));
        return minor0 + minorSign * offset;
    }
};

// The steps whose coordinate c0 + i * sign lies in [lo, hi).
void StepsWithin(std::int64_t c0, int sign, std::int64_t lo, std::int64_t hi, std::int64_t& first,
                 std::int64_t& last) {
    if (sign > 0) {
        first = std::max(first, lo - c0);
        last = std::min(last, hi - c0);
    } else {
        first = std::max(first, c0 - (hi - 1));
        last = std::min(last, c0 - lo + 1);
    }
}

}  // namespace

void RasterLine(ClippedPixels& out, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, ColourIndex pen) {
    const std::int64_t dx = std::int64_t{x2} - x1;
    const std::int64_t dy = std::int64_t{y2} - y1;
    if (dx == 0 && dy == 0) {
        return;
    }
    // Bands, glints and strokes are all horizontal or vertical: a span or a column from the first
    // point up to the pixel before the second.
    if (dy == 0) {
        out.Span(y1, dx > 0 ? x1 : std::int64_t{x2} + 1, dx > 0 ? std::int64_t{x2} - 1 : x1, pen);
        return;
    }
    if (dx == 0) {
        out.Column(x1, dy > 0 ? y1 : std::int64_t{y2} + 1, dy > 0 ? std::int64_t{y2} - 1 : y1, pen);
        return;
    }
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const std::int64_t ax = dx < 0 ? -dx : dx;
    const std::int64_t ay = dy < 0 ? -dy : dy;
    const bool xMajor = ax >= ay;
    const Rect& clip = out.Clip();

    // A pixel exactly halfway between two takes the smaller coordinate, whichever way the line
    // runs: above in the flat directions, left in the steep ones.
    const int tieBias = (xMajor ? sy : sx) > 0 ? 1 : 0;
    const SteppedLine line = xMajor ? SteppedLine{x1, y1, ax, ay, sx, sy, tieBias}
                                    : SteppedLine{y1, x1, ay, ax, sy, sx, tieBias};
    std::int64_t first = 0;
    std::int64_t last = line.length;
    // A line with both ends inside the clip lies inside it; only others need clipping.
    if (!clip.Contains(x1, y1) || !clip.Contains(x2, y2)) {
        const std::int64_t majorLo = xMajor ? clip.left : clip.top;
        const std::int64_t majorHi = xMajor ? clip.right : clip.bottom;
        const std::int64_t minorLo = xMajor ? clip.top : clip.left;
        const std::int64_t minorHi = xMajor ? clip.bottom : clip.right;
        StepsWithin(line.major0, line.majorSign, majorLo, majorHi, first, last);
        if (first >= last) {
            return;
        }
        // The minor coordinate is monotonic in i, so the steps inside the minor range are one
        // run.
        auto inside = [&](std::int64_t i) {
            const std::int64_t m = line.MinorAt(i);
            return line.minorSign > 0 ? m >= minorLo : m < minorHi;
        };
        auto beyond = [&](std::int64_t i) {
            const std::int64_t m = line.MinorAt(i);
            return line.minorSign > 0 ? m >= minorHi : m < minorLo;
        };
        first = FirstTrue(first, last, inside);
        last = FirstTrue(first, last, beyond);
    }

    // Step from the first visible pixel with the remainder of the closed form, as Bresenham does;
    // every step from first to last lies inside the clip.
    const std::int64_t denominator = 2 * line.length;
    std::int64_t minor = line.minor0;
    std::int64_t remainder = line.length - line.tieBias;
    if (first > 0) {
        const Int128 start = Int128{2} * first * line.minorDistance + remainder;
        minor += line.minorSign * static_cast<std::int64_t>(start / denominator);
        remainder = static_cast<std::int64_t>(start % denominator);
    }
    if (first >= last) {
        return;
    }
    // The steps as offsets from the first pixel's row: a byte store may change any memory, so a
    // row looked up through the bitmap each step would be read back from memory each step.
    const std::int64_t major = line.major0 + line.majorSign * first;
    const auto stride = static_cast<std::int64_t>(out.Stride());
    ColourIndex* const row = out.Row(static_cast<std::int32_t>(xMajor ? minor : major));
    std::int64_t at = xMajor ? major : minor;
    const std::int64_t majorStep = xMajor ? line.majorSign : line.majorSign * stride;
    const std::int64_t minorStep = xMajor ? line.minorSign * stride : line.minorSign;
    for (std::int64_t i = first; i < last; ++i) {
        row[at] = pen;
        at += majorStep;
        remainder += 2 * line.minorDistance;
        // A mask rather than a branch: along a slanted ridge the minor steps come in no
        // pattern a predictor could learn.
        const std::int64_t carry = -static_cast<std::int64_t>(remainder >= denominator);
        remainder -= denominator & carry;
        at += minorStep & carry;
    }
}

}  // namespace vistrel
