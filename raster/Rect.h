#pragma once

#include <algorithm>
#include <cstdint>

namespace vistrel {

// A rectangle with its left and top edges inside and its right and bottom edges outside.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool Empty() const { return left >= right || top >= bottom; }
    bool Contains(std::int64_t x, std::int64_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    // The common part of both; an empty one when they do not overlap.
    Rect Intersect(const Rect& o) const {
        const Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                     std::min(bottom, o.bottom)};
        return r.Empty() ? Rect{} : r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vistrel
