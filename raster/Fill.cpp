#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/Primitives.h"
#include "raster/WideVectors.h"

namespace vistrel {

namespace {

// While a fill runs its region is marked, so that a marked pixel stops the scan like a border
// pixel and nothing is visited twice. Region membership follows the colours before the fill, and
// a pixel that already has the brush colour still belongs to the region, so the mark is the brush
// colour only where no pixel can have it yet (it is the border colour, or no pixel in the clip
// has it); otherwise it is a value no colour takes, which becomes the brush colour at the end.
constexpr ColourIndex SpareMark = 0xFF;
static_assert(SpareMark >= StoredColourCount);

ColourIndex MarkFor(ClippedPixels& out, ColourIndex border, ColourIndex brush) {
    if (brush == border) {
        return brush;
    }
    const Rect& clip = out.Clip();
    const auto width = static_cast<std::size_t>(clip.right - clip.left);
    for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
        if (std::memchr(out.Row(y) + clip.left, brush, width) != nullptr) {
            return SpareMark;
        }
    }
    return brush;
}

// Sixteen pixels at a time, as the compiler's vector extension lays them out.
constexpr int Lanes = 16;
typedef ColourIndex PixelBlock __attribute__((vector_size(Lanes)));

// Each half of a comparison's lanes (all ones where it holds) as one 64-bit word.
struct BlockFlags {
    std::uint64_t low, high;

    bool Any() const { return (low | high) != 0; }
    // The first and last lane where the comparison holds, for flags with Any().
    int First() const { return low != 0 ? FirstByte(low) : 8 + FirstByte(high); }
    int Last() const { return high != 0 ? 8 + LastByte(high) : LastByte(low); }
    // The flags of the lanes before `lane` (1 <= lane < 16) alone.
    BlockFlags Before(int lane) const {
        return lane <= 8 ? BlockFlags{low & LanesBefore(lane), 0}
                         : BlockFlags{low, high & LanesBefore(lane - 8)};
    }

  private:
    // The bytes of a word before byte `byte` (1 <= byte <= 8), in memory order.
    static std::uint64_t LanesBefore(int byte) {
        const std::uint64_t all = ~std::uint64_t{0};
        if constexpr (std::endian::native == std::endian::little) {
            return byte == 8 ? all : ~(all << (8 * byte));
        } else {
            return byte == 8 ? all : ~(all >> (8 * byte));
        }
    }
    static int FirstByte(std::uint64_t w) {
        if constexpr (std::endian::native == std::endian::little) {
            return std::countr_zero(w) / 8;
        } else {
            return std::countl_zero(w) / 8;
        }
    }
    static int LastByte(std::uint64_t w) {
        if constexpr (std::endian::native == std::endian::little) {
            return 7 - std::countl_zero(w) / 8;
        } else {
            return 7 - std::countr_zero(w) / 8;
        }
    }
};

// One row of the fill: which pixels stop it (the border colour and the mark), found a block at
// a time.
class FillRow {
  public:
    FillRow(ColourIndex* pixels, std::size_t readable, ColourIndex border, ColourIndex mark)
        : pixels(pixels), readable(readable), border(border), mark(mark) {}

    ColourIndex* Pixels() const { return pixels; }
    bool Closed(std::int32_t x) const { return pixels[x] == mark || pixels[x] == border; }

    // The first x in [from, to) that is closed (or open), else `to`.
    std::int32_t FirstClosed(std::int32_t from, std::int32_t to) const {
        return First(from, to, true);
    }
    std::int32_t FirstOpen(std::int32_t from, std::int32_t to) const {
        return First(from, to, false);
    }

    // The last closed x in [from, to), else from - 1.
    std::int32_t LastClosed(std::int32_t from, std::int32_t to) const {
        while (to - from >= Lanes) {
            const BlockFlags closed = ClosedAt(to - Lanes);
            if (closed.Any()) {
                return to - Lanes + closed.Last();
            }
            to -= Lanes;
        }
        // The last few pixels as one block from `from`, its lanes from `to` on left out.
        if (to > from && Readable(from)) {
            const BlockFlags closed = ClosedAt(from).Before(to - from);
            return closed.Any() ? from + closed.Last() : from - 1;
        }
        while (to > from && !Closed(to - 1)) {
            --to;
        }
        return to - 1;
    }

  private:
    PixelBlock ClosedBlock(std::int32_t x, bool open) const {
        PixelBlock v;
        std::memcpy(&v, pixels + x, sizeof v);
        const PixelBlock closed = (v == border) | (v == mark);
        return open ? ~closed : closed;
    }

    static BlockFlags FlagsOf(const PixelBlock& block) {
        BlockFlags flags;
        std::memcpy(&flags, &block, sizeof flags);
        return flags;
    }

    // Whether any of the four blocks from x on is closed (or open). Two blocks make one wide
    // vector, a single register where the processor has 256-bit vectors.
    bool AnyIn4Blocks(std::int32_t x, bool open) const {
        typedef ColourIndex WideBlock __attribute__((vector_size(2 * Lanes)));
        WideBlock a;
        WideBlock b;
        std::memcpy(&a, pixels + x, sizeof a);
        std::memcpy(&b, pixels + x + 2 * Lanes, sizeof b);
        const WideBlock closedA = (a == border) | (a == mark);
        const WideBlock closedB = (b == border) | (b == mark);
        const WideBlock found = open ? ~closedA | ~closedB : closedA | closedB;
        const PixelBlock low = __builtin_shufflevector(found, found, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
                                                       10, 11, 12, 13, 14, 15);
        const PixelBlock high = __builtin_shufflevector(found, found, 16, 17, 18, 19, 20, 21, 22,
                                                        23, 24, 25, 26, 27, 28, 29, 30, 31);
        return FlagsOf(low | high).Any();
    }

    BlockFlags ClosedAt(std::int32_t x, bool open = false) const {
        return FlagsOf(ClosedBlock(x, open));
    }

    std::int32_t First(std::int32_t from, std::int32_t to, bool closed) const {
        // Long open stretches are the rule, so four blocks are tested together before one is.
        while (to - from >= 4 * Lanes && !AnyIn4Blocks(from, !closed)) {
            from += 4 * Lanes;
        }
        while (to - from >= Lanes) {
            const BlockFlags found = ClosedAt(from, !closed);
            if (found.Any()) {
                return from + found.First();
            }
            from += Lanes;
        }
        if (from < to && Readable(from)) {
            const BlockFlags found = ClosedAt(from, !closed).Before(to - from);
            return found.Any() ? from + found.First() : to;
        }
        while (from < to && Closed(from) != closed) {
            ++from;
        }
        return from;
    }

    // Whether a whole block from x lies in the bitmap.
    bool Readable(std::int32_t x) const { return static_cast<std::size_t>(x) + Lanes <= readable; }

    ColourIndex* pixels;
    std::size_t readable;
    ColourIndex border;
    ColourIndex mark;
};

// A run of open pixels x0..x1 of row y to fill from, found next to the filled run
// parent0..parent1 of row parentY. The run may reach further only where it touched the end of
// the range it was found in.
struct Seed {
    std::int32_t x0, x1, y;
    std::int32_t parentY, parent0, parent1;
    bool reachesLeft, reachesRight;
};

// A scanline border fill over the clip rectangle.
class BorderFill {
  public:
    BorderFill(ClippedPixels& out, ColourIndex border, ColourIndex brush,
               std::vector<Seed>& pending);

    void From(std::int32_t x, std::int32_t y);

  private:
    void FillRunAt(const Seed& seed);
    void QueueRuns(std::int32_t x0, std::int32_t x1, std::int32_t y, std::int32_t parentY,
                   std::int32_t parent0, std::int32_t parent1);
    FillRow RowAt(std::int32_t y) { return FillRow(out.Row(y), out.BytesFromRow(y), border, mark); }
    void PaintMarks();

    ClippedPixels& out;
    Rect clip;
    ColourIndex border;
    ColourIndex brush;
    ColourIndex mark;
    std::vector<Seed>& pending;
    // The rectangle that holds every marked pixel, kept only where marks are to be painted.
    Rect marked;
};

BorderFill::BorderFill(ClippedPixels& out, ColourIndex border, ColourIndex brush,
                       std::vector<Seed>& pending)
    : out(out),
      clip(out.Clip()),
      border(border),
      brush(brush),
      mark(MarkFor(out, border, brush)),
      pending(pending) {}

void BorderFill::From(std::int32_t x, std::int32_t y) {
    marked = {x, y, x + 1, y + 1};
    pending.clear();
    pending.push_back({x, x, y, y, x, x - 1, true, true});
    while (!pending.empty()) {
        const Seed s = pending.back();
        pending.pop_back();
        FillRunAt(s);
    }
    if (mark != brush) {
        PaintMarks();
    }
}

// Marks the whole run of open pixels through the seed and queues the open runs next to it. A
// run marked since the seed was queued is marked whole. The parent row needs scanning only where
// the new run reaches past the parent's run.
void BorderFill::FillRunAt(const Seed& seed) {
    const std::int32_t y = seed.y;
    const FillRow row = RowAt(y);
    if (row.Closed(seed.x0)) {
        return;
    }
    const std::int32_t x0 = seed.reachesLeft ? row.LastClosed(clip.left, seed.x0) + 1 : seed.x0;
    const std::int32_t x1 =
        seed.reachesRight ? row.FirstClosed(seed.x1 + 1, clip.right) - 1 : seed.x1;
    std::memset(row.Pixels() + x0, mark, static_cast<std::size_t>(x1 - x0 + 1));
    if (mark != brush) {
        marked = {std::min(marked.left, x0), std::min(marked.top, y),
                  std::max(marked.right, x1 + 1), std::max(marked.bottom, y + 1)};
    }
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

// Queues every open run within x0..x1 of row y.
void BorderFill::QueueRuns(std::int32_t x0, std::int32_t x1, std::int32_t y, std::int32_t parentY,
                           std::int32_t parent0, std::int32_t parent1) {
    const FillRow row = RowAt(y);
    const std::int32_t end = x1 + 1;
    for (std::int32_t px = row.FirstOpen(x0, end); px < end;) {
        const std::int32_t runEnd = row.FirstClosed(px + 1, end);
        pending.push_back({px, runEnd - 1, y, parentY, parent0, parent1, px == x0, runEnd == end});
        px = row.FirstOpen(runEnd, end);
    }
}

void BorderFill::PaintMarks() {
    const std::int32_t left = marked.left;
    const std::int32_t right = marked.right;
    for (std::int32_t y = marked.top; y < marked.bottom; ++y) {
        ColourIndex* row = out.Row(y);
        std::int32_t x = left;
        for (; right - x >= Lanes; x += Lanes) {
            PixelBlock v;
            std::memcpy(&v, row + x, sizeof v);
            const PixelBlock isMark = v == mark;
            v = (v & ~isMark) | (brush & isMark);
            std::memcpy(row + x, &v, sizeof v);
        }
        for (; x < right; ++x) {
            row[x] = row[x] == mark ? brush : row[x];
        }
    }
}

}  // namespace

VISTREL_WIDE_VECTORS void RasterBorderFill(ClippedPixels& out, std::int32_t x, std::int32_t y,
                                           ColourIndex border, ColourIndex brush) {
    if (!out.Clip().Contains(x, y) || out.At(x, y) == border) {
        return;
    }
    // The queue of runs outlives each fill, so a render allocates it once at most, not per fill.
    thread_local std::vector<Seed> pending;
    BorderFill(out, border, brush, pending).From(x, y);
}

}  // namespace vistrel
