#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "scene/RenderSceneBitmap.h"

// Counts every allocation of this test program, to show what a render allocates.
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vistrel {
namespace {

// Once this thread has painted a picture, another allocates only what it returns and the
// surface it is painted on: the bitmap, its pixels and the surface object.
TEST(RenderAllocationTest, ARenderAllocatesOnlyItsBitmapAndSurface) {
    constexpr long BitmapAndSurface = 3;
    const Rect sizes[] = {{0, 0, 570, 190}, {0, 0, 600, 206}, {0, 0, 300, 100}, {0, 0, 1000, 400}};
    SceneRng rng;
    for (std::uint32_t seed = 0; seed < 64; ++seed) {
        rng.Seed(seed * 509);
        RenderSceneBitmap(sizes[0], rng);
    }
    for (const Rect& size : sizes) {
        for (std::uint32_t seed = 0; seed < 64; ++seed) {
            SCOPED_TRACE(testing::Message() << "seed " << seed * 509 << " size " << size.right);
            rng.Seed(seed * 509);
            const long before = allocations;
            const auto bitmap = RenderSceneBitmap(size, rng);
            EXPECT_EQ(allocations - before, BitmapAndSurface);
            ASSERT_NE(bitmap, nullptr);
        }
    }
}

}  // namespace
}  // namespace vistrel
