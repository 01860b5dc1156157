#pragma once

#include <cstdint>

namespace vistrel {

// The first i in [lo, hi) with pred(i), for a predicate that is false and then true; hi if it
// never holds.
template <typename Pred>
std::int64_t FirstTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (pred(mid)) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

}  // namespace vistrel
