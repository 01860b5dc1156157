// The element generators with fuzzed arguments, checking that each takes exactly the number of
// random values its rules fix, and that no call runs away.
//
// Because the rules fix the number of values, some arguments set the length of a call: a stroke
// band 2^31 rows high or a haze of 2^30 rows would run for centuries. Those arguments are drawn
// from ranges that bound the work; all others may be any int32:
//  - DrawRidge: endX lies at most 30000 right of startX (one stroke every third column);
//  - DrawStrokeBand: bottom lies within 3000 rows of top (one stroke a row at most);
//  - ScatterArcPairs: count is at most 3000 pairs;
//  - ScatterTufts: right within 40 of left, bottom within 40 of top, size from -60 to 60
//    (at most 240 tufts, each of which may take most of a millisecond);
//  - SprinkleRows: bottom lies at most 200 rows below top (100 rows, 49500 pixels).
// In the instrumented build the slowest calls these ranges allow take about 0.2 s of processor
// time (tufts; every other generator stays below 5 ms), a tenth of the one fixed limit, so the
// verdict follows from the input and not from how busy the machine is. A limit that grew with the
// number of values was crossed by chance: tufts cost up to 700 us a value, the rest 0.1 us.
#include <cstdint>
#include <ctime>

#include "fuzz/FuzzCanvas.h"
#include "scene/WrapInt.h"

namespace vistrel {
namespace {

constexpr int kMaxCalls = 4;
constexpr std::int32_t kMaxSide = 64;
constexpr std::clock_t kCallTimeLimit = 2 * CLOCKS_PER_SEC;

enum class Generator : std::uint8_t {
    DrawRidge,
    DrawStrokeBand,
    ScatterArcPairs,
    ScatterTufts,
    SprinkleRows,
    kMaxValue = SprinkleRows,
};

// A draw of the rules: none for a bound of 0, otherwise one value and its truncating remainder.
std::int32_t Below(SceneRng& rng, std::int32_t n) {
    return n == 0 ? 0 : rng.Next() % n;
}

// The values one call takes, where the walk or the sizes depend on values drawn: the rules'
// steps replayed on a copy of the random source, without painting.
std::uint64_t RidgeDraws(SceneRng rng, std::int32_t startX, std::int32_t startY, std::int32_t endX,
                         std::int32_t stepWidth, std::int32_t height) {
    std::int32_t x = startX;
    std::int32_t y = startY;
    bool drop = false;
    for (int step = 0; step < 100; ++step) {
        const std::int32_t d1 = Below(rng, drop ? stepWidth / 10 : stepWidth);
        const std::int32_t d2 = Below(rng, drop ? height / 10 : height);
        const std::int32_t nextX = drop ? WrapAdd(WrapAdd(x, 3), d1) : WrapAdd(x, d1);
        const std::int32_t nextY = drop ? WrapAdd(y, d2) : WrapSub(WrapSub(startY, height / 6), d2);
        if (nextX >= endX) {
            break;
        }
        drop = !drop && WrapSub(y, nextY) > 0;
        x = nextX;
        y = nextY;
    }
    const std::int64_t strokes = endX > startX ? (std::int64_t{endX} - startX + 2) / 3 : 0;
    return rng.Draws() + static_cast<std::uint64_t>(strokes) * ((height != 0) + 1);
}

std::uint64_t ArcPairDraws(SceneRng rng, std::int32_t count) {
    for (std::int32_t i = 1; i < count; ++i) {
        rng.Next();
        rng.Next();
        if (i + Below(rng, 5) > 10) {
            rng.Next();
        }
        rng.Next();
    }
    return rng.Draws();
}

// The values the remaining generators take follow from their arguments alone.
std::uint64_t StrokeBandDraws(std::int64_t width, std::int64_t height, std::int32_t rowStep) {
    if (rowStep <= 0 || width == 0) {
        return 0;
    }
    const std::int64_t rows = (height + rowStep - 1) / rowStep;
    return static_cast<std::uint64_t>(rows) * 4;
}

std::uint64_t TuftDraws(std::int64_t dx, std::int64_t dy, std::int32_t size) {
    const std::int64_t n = ((std::abs(dy) + std::abs(dx)) * (size / 5)) / 4;
    if (n <= 1) {
        return 0;
    }
    const std::int64_t perTuft = (dx != 0) + (dy + 2 != 0) + (size / 2 != 0) + (size != 0) + 1;
    return static_cast<std::uint64_t>((n - 1) * perTuft);
}

std::uint64_t SprinkleDraws(std::int64_t width, std::int64_t height) {
    const std::int64_t n = height / 2;
    if (n <= 1 || width == 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(10 * n * (n - 1) / 2);
}

void CallOne(FuzzInput& input, FuzzCanvas& canvas) {
    ObservedScenePainter& painter = canvas.Painter();
    SceneRng& rng = canvas.Rng();
    const std::uint64_t before = rng.Draws();
    std::uint64_t expected = 0;
    const char* name = "";
    const CallBudget budget;
    switch (input.Pick<Generator>()) {
        case Generator::DrawRidge: {
            name = "DrawRidge";
            const std::int32_t startX = input.Any(), startY = input.Any();
            const std::int32_t endX = input.Offset(startX, -100, 30000);
            const std::int32_t endY = input.Any(), stepWidth = input.Any(), height = input.Any();
            expected = RidgeDraws(rng, startX, startY, endX, stepWidth, height) - before;
            painter.DrawRidge(startX, startY, endX, endY, stepWidth, height, input.Any(),
                              input.Any());
            break;
        }
        case Generator::DrawStrokeBand: {
            name = "DrawStrokeBand";
            const std::int32_t left = input.Any(), top = input.Any(), leftFactor = input.Any();
            const std::int32_t right = input.Any(), bottom = input.Offset(top, -3000, 3000);
            const std::int32_t rightFactor = input.Any(), colour = input.Any(),
                               rowStep = input.Any();
            expected = StrokeBandDraws(WrapAbs(WrapSub(right, left)),
                                       std::abs(std::int64_t{bottom} - top), rowStep);
            painter.DrawStrokeBand(left, top, leftFactor, right, bottom, rightFactor, colour,
                                   rowStep);
            break;
        }
        case Generator::ScatterArcPairs: {
            name = "ScatterArcPairs";
            const std::int32_t count = input.Within(-10, 3000);
            expected = ArcPairDraws(rng, count) - before;
            painter.ScatterArcPairs(count);
            break;
        }
        case Generator::ScatterTufts: {
            name = "ScatterTufts";
            const std::int32_t left = input.Any(), top = input.Any();
            const std::int32_t right = input.Offset(left, -40, 40);
            const std::int32_t bottom = input.Offset(top, -40, 40);
            const std::int32_t colour = input.Any(), size = input.Within(-60, 60);
            expected = TuftDraws(std::int64_t{right} - left, std::int64_t{bottom} - top, size);
            painter.ScatterTufts(left, top, right, bottom, colour, size);
            break;
        }
        case Generator::SprinkleRows: {
            name = "SprinkleRows";
            const std::int32_t left = input.Any(), top = input.Any(), right = input.Any();
            const std::int32_t bottom = input.Offset(top, -20, 200);
            expected = SprinkleDraws(WrapSub(right, left), std::int64_t{bottom} - top);
            painter.SprinkleRows(left, top, right, bottom, input.Any());
            break;
        }
    }
    budget.Check(name, kCallTimeLimit);
    if (rng.Draws() - before != expected) {
        std::fprintf(stderr, "finding: %s took %llu values, the rules say %llu\n", name,
                     static_cast<unsigned long long>(rng.Draws() - before),
                     static_cast<unsigned long long>(expected));
        std::abort();
    }
}

}  // namespace
}  // namespace vistrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vistrel::FuzzCalls(data, size, vistrel::kMaxSide, vistrel::kMaxCalls, vistrel::CallOne);
}
