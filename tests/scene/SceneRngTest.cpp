#include <gtest/gtest.h>

#include <vector>

#include "scene/SceneRng.h"

namespace vistrel {
namespace {

TEST(SceneRngTest, KnownSequenceFromSeedOne) {
    SceneRng rng;
    rng.Seed(1);
    for (const int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358}) {
        EXPECT_EQ(rng.Next(), expected);
    }
}

TEST(SceneRngTest, UnseededStateIsOne) {
    SceneRng fresh;
    SceneRng seeded;
    seeded.Seed(1);
    EXPECT_EQ(fresh.Next(), seeded.Next());
}

TEST(SceneRngTest, ArithmeticWrapsAtTwoToThe32) {
    SceneRng rng;
    rng.Seed(4294967295u);
    EXPECT_EQ(rng.Next(), 35);
}

TEST(RandomBelowTest, DrawsByTruncatingRemainder) {
    SceneRng rng;
    rng.Seed(1);
    EXPECT_EQ(RandomBelow(rng, 3), 2);
    EXPECT_EQ(RandomBelow(rng, 100), 67);
}

TEST(RandomBelowTest, ZeroBoundDrawsNothing) {
    SceneRng a;
    SceneRng b;
    a.Seed(77);
    b.Seed(77);
    EXPECT_EQ(RandomBelow(a, 0), 0);
    EXPECT_EQ(a.Draws(), 0u);
    EXPECT_EQ(RandomBelow(a, 1000), RandomBelow(b, 1000));
}

TEST(RandomBelowTest, NegativeAndHugeBounds) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE(seed);
        SceneRng a;
        SceneRng b;
        SceneRng c;
        a.Seed(seed);
        b.Seed(seed);
        c.Seed(seed);
        const std::int32_t negative = RandomBelow(a, -5);
        EXPECT_EQ(negative, RandomBelow(b, 5));
        EXPECT_GE(negative, 0);
        EXPECT_LT(negative, 5);
        SceneRng raw;
        raw.Seed(seed);
        const std::int32_t v = raw.Next();
        SceneRng big;
        big.Seed(seed);
        EXPECT_EQ(RandomBelow(big, 40000), v);
        EXPECT_EQ(RandomBelow(c, INT32_MIN), v);
    }
}

// The batched draws (many states a step, a reciprocal for the remainder) and the draws with a
// shared bound against one RandomBelow call at a time: same values, same state and count
// afterwards, for bounds across the whole 32-bit range and batches of every parity.
TEST(RandomBelowTest, BatchesDrawWhatSingleCallsDraw) {
    std::vector<std::int32_t> bounds = {0,     1,     -1,      2,         3,         7,
                                        569,   -569,  32767,   32768,     32769,     40000,
                                        65535, 65536, 1 << 30, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    SceneRng boundSource;
    for (int i = 0; i < 40; ++i) {
        bounds.push_back(
            static_cast<std::int32_t>(boundSource.Next() * 65536 + boundSource.Next()));
        bounds.push_back(boundSource.Next() % 2000 + 1);
    }
    for (const std::int32_t n : bounds) {
        for (const std::size_t count :
             {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{70001}}) {
            SCOPED_TRACE(testing::Message() << "bound " << n << " count " << count);
            SceneRng single;
            SceneRng batched;
            SceneRng shared;
            for (SceneRng* rng : {&single, &batched, &shared}) {
                rng->Seed(static_cast<std::uint32_t>(n) ^ 0x9E3779B9u);
            }
            std::vector<std::int32_t> values(count, -1);
            RandomsBelow(batched, n, values.data(), count);
            const DrawsBelow below(n);
            for (std::size_t i = 0; i < count; ++i) {
                const std::int32_t expected = RandomBelow(single, n);
                ASSERT_EQ(values[i], expected) << "draw " << i;
                ASSERT_EQ(below.From(shared), expected) << "draw " << i;
            }
            for (const SceneRng* rng : {&batched, &shared}) {
                EXPECT_EQ(rng->State(), single.State());
                EXPECT_EQ(rng->Draws(), single.Draws());
            }
        }
    }
}

TEST(SceneSeedTest, SeedsWithTheKthValue) {
    SceneRng rng;
    SceneSeed(rng, 1, 1);
    EXPECT_EQ(rng.State(), 41u);
    SceneSeed(rng, 1, 3);
    EXPECT_EQ(rng.State(), 6334u);
}

TEST(SceneSeedTest, MatchesDrawingKValues) {
    for (const std::uint32_t runSeed : {0u, 1u, 1765432109u, 4294967295u}) {
        SceneRng stepped;
        stepped.Seed(runSeed);
        for (std::uint32_t k = 1; k <= 3000; ++k) {
            const std::int32_t v = stepped.Next();
            if (k % 97 == 1 || k == 3000) {
                SCOPED_TRACE(testing::Message() << runSeed << " scene " << k);
                SceneRng rng;
                SceneSeed(rng, runSeed, k);
                EXPECT_EQ(rng.State(), static_cast<std::uint32_t>(v));
            }
        }
    }
}

TEST(SceneSeedTest, SceneZeroContinuesPastTheLastNumber) {
    // The generator has period 2^32, so 2^32 draws return to the run seed's own state.
    EXPECT_EQ(AdvanceState(123456789u, std::uint64_t{1} << 32), 123456789u);
    SceneRng rng;
    SceneSeed(rng, 0x12345678u, 0);
    EXPECT_EQ(rng.State(), (0x12345678u >> 16) & 0x7FFFu);
}

TEST(SceneSeedTest, SameSceneSameSeedWhateverCameBetween) {
    SceneRng rng;
    SceneSeed(rng, 99, 5);
    const std::uint32_t fifth = rng.State();
    SceneSeed(rng, 99, 6);
    RandomBelow(rng, 1000);
    SceneSeed(rng, 99, 5);
    EXPECT_EQ(rng.State(), fifth);
}

}  // namespace
}  // namespace vistrel
