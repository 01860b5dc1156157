#pragma once

#include <cstdint>

namespace vistrel {

// The first i in [lo, hi) with pred(i), for a predicate that is false and then true; hi if it
// never holds. The range halves the same way whatever pred answers, so the choice of half is a
// conditional move rather than a branch the processor has to guess: arcs ask this twice each,
// with answers no predictor could learn.
template <typename Pred>
std::int64_t FirstTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
    if (lo >= hi) {
        return lo;
    }
    // The answer lies in [base, base + n].
    std::int64_t base = lo;
    std::int64_t n = hi - lo;
    while (n > 1) {
        const std::int64_t half = n / 2;
        base = pred(base + half - 1) ? base : base + half;
        n -= half;
    }
    return pred(base) ? base : base + 1;
}

}  // namespace vistrel
