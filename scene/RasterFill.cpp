#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "Raster.h"

namespace vistrel {

Rect Rect::Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    if (r.Empty()) {
        return Rect{};
    }
    return r;
}

namespace {

// While a fill runs its region is marked with a value that no colour index takes, so a marked
// pixel stops the scan like a border pixel and nothing is visited twice; the marks take the
// brush colour at the end. Region membership thus follows the colours before the fill, and a
// pixel that already has the brush colour still belongs to the region.
constexpr ColourIndex Mark = 0xFF;
static_assert(Mark >= StoredColourCount);

// Eight pixels at a time.
using Word = std::uint64_t;
constexpr Word EveryByte = 0x0101010101010101u;
constexpr Word Low7Bits = 0x7F7F7F7F7F7F7F7Fu;

// 0x80 in each byte of v that is zero and 0 in every other: exact, no borrow runs across bytes.
constexpr Word ZeroBytes(Word v) {
    return ~(((v & Low7Bits) + Low7Bits) | v | Low7Bits);
}

// The pixel offsets (0..7) of the first and last flagged bytes of a non-zero flag word.
int FirstFlagged(Word flags) {
    if constexpr (std::endian::native == std::endian::little) {
        return std::countr_zero(flags) / 8;
    } else {
        return std::countl_zero(flags) / 8;
    }
}

int LastFlagged(Word flags) {
    if constexpr (std::endian::native == std::endian::little) {
        return 7 - std::countl_zero(flags) / 8;
    } else {
        return 7 - std::countr_zero(flags) / 8;
    }
}

// One row of the fill: which pixels stop it (the border colour and the mark), found a word at
// a time.
class FillRow {
  public:
    FillRow(ColourIndex* pixels, ColourIndex border)
        : pixels(pixels), border(border), borderBytes(EveryByte * border) {}

    ColourIndex* Pixels() const { return pixels; }
    bool Closed(std::int32_t x) const { return pixels[x] == Mark || pixels[x] == border; }

    // The first x in [from, to) that is closed (or open), else `to`.
    std::int32_t FirstClosed(std::int32_t from, std::int32_t to) const {
        return First(from, to, true);
    }
    std::int32_t FirstOpen(std::int32_t from, std::int32_t to) const {
        return First(from, to, false);
    }

    // The last closed x in [from, to), else from - 1.
    std::int32_t LastClosed(std::int32_t from, std::int32_t to) const {
        while (to - from >= 8) {
            const Word flags = ClosedFlags(to - 8);
            if (flags != 0) {
                return to - 8 + LastFlagged(flags);
            }
            to -= 8;
        }
        while (to > from && !Closed(to - 1)) {
            --to;
        }
        return to - 1;
    }

  private:
    Word ClosedFlags(std::int32_t x) const {
        Word v;
        std::memcpy(&v, pixels + x, sizeof v);
        return ZeroBytes(v ^ borderBytes) | ZeroBytes(v ^ (EveryByte * Mark));
    }

    std::int32_t First(std::int32_t from, std::int32_t to, bool closed) const {
        const Word want = closed ? 0 : EveryByte * 0x80;
        while (to - from >= 8) {
            const Word flags = ClosedFlags(from) ^ want;
            if (flags != 0) {
                return from + FirstFlagged(flags);
            }
            from += 8;
        }
        while (from < to && Closed(from) != closed) {
            ++from;
        }
        return from;
    }

    ColourIndex* pixels;
    ColourIndex border;
    Word borderBytes;
};

// An open pixel to fill from, found next to the filled run parent0..parent1 of row parentY.
struct Seed {
    std::int32_t x, y;
    std::int32_t parentY, parent0, parent1;
};

// A scanline border fill over the clip rectangle.
class BorderFill {
  public:
    BorderFill(ClippedPixels& out, ColourIndex border, std::vector<Seed>& pending);

    void From(std::int32_t x, std::int32_t y, ColourIndex brush);

  private:
    void FillRunAt(const Seed& seed);
    void QueueRuns(std::int32_t x0, std::int32_t x1, std::int32_t y, std::int32_t parentY,
                   std::int32_t parent0, std::int32_t parent1);
    FillRow RowAt(std::int32_t y) { return FillRow(out.Row(y), border); }
    void PaintMarks(ColourIndex brush);

    ClippedPixels& out;
    Rect clip;
    ColourIndex border;
    std::vector<Seed>& pending;
    // The rectangle that holds every marked pixel.
    Rect marked;
};

BorderFill::BorderFill(ClippedPixels& out, ColourIndex border, std::vector<Seed>& pending)
    : out(out), clip(out.Clip()), border(border), pending(pending) {}

void BorderFill::From(std::int32_t x, std::int32_t y, ColourIndex brush) {
    marked = {x, y, x + 1, y + 1};
    pending.clear();
    pending.push_back({x, y, y, x, x - 1});
    while (!pending.empty()) {
        const Seed s = pending.back();
        pending.pop_back();
        FillRunAt(s);
    }
    PaintMarks(brush);
}

// Marks the run of open pixels through the seed and queues the open runs next to it. The parent
// row needs scanning only where the new run reaches past the parent's run.
void BorderFill::FillRunAt(const Seed& seed) {
    const std::int32_t y = seed.y;
    const FillRow row = RowAt(y);
    if (row.Closed(seed.x)) {
        return;
    }
    const std::int32_t x0 = row.LastClosed(clip.left, seed.x) + 1;
    const std::int32_t x1 = row.FirstClosed(seed.x + 1, clip.right) - 1;
    std::memset(row.Pixels() + x0, Mark, static_cast<std::size_t>(x1 - x0 + 1));
    marked = {std::min(marked.left, x0), std::min(marked.top, y), std::max(marked.right, x1 + 1),
              std::max(marked.bottom, y + 1)};
    for (const std::int32_t ny : {y - 1, y + 1}) {
        if (ny < clip.top || ny >= clip.bottom) {
            continue;
        }
        if (ny == seed.parentY) {
            QueueRuns(x0, std::min(x1, seed.parent0 - 1), ny, y, x0, x1);
            QueueRuns(std::max(x0, seed.parent1 + 1), x1, ny, y, x0, x1);
        } else {
            QueueRuns(x0, x1, ny, y, x0, x1);
        }
    }
}

// Queues the first pixel of every open run within x0..x1 of row y.
void BorderFill::QueueRuns(std::int32_t x0, std::int32_t x1, std::int32_t y, std::int32_t parentY,
                           std::int32_t parent0, std::int32_t parent1) {
    const FillRow row = RowAt(y);
    const std::int32_t end = x1 + 1;
    for (std::int32_t px = row.FirstOpen(x0, end); px < end;
         px = row.FirstOpen(row.FirstClosed(px + 1, end), end)) {
        pending.push_back({px, y, parentY, parent0, parent1});
    }
}

void BorderFill::PaintMarks(ColourIndex brush) {
    for (std::int32_t y = marked.top; y < marked.bottom; ++y) {
        ColourIndex* row = out.Row(y);
        for (std::int32_t x = marked.left; x < marked.right; ++x) {
            row[x] = row[x] == Mark ? brush : row[x];
        }
    }
}

}  // namespace

void RasterBorderFill(ClippedPixels& out, std::int32_t x, std::int32_t y, ColourIndex border,
                      ColourIndex brush) {
    if (!out.Clip().Contains(x, y) || out.At(x, y) == border) {
        return;
    }
    // The queue of runs outlives each fill, so a render allocates it once at most, not per fill.
    thread_local std::vector<Seed> pending;
    BorderFill(out, border, pending).From(x, y, brush);
}

}  // namespace vistrel
