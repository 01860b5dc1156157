#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "tools/vistrel-render/SeedSweep.h"

namespace vistrel {
namespace {

std::string Lines(std::uint64_t first, std::uint64_t last) {
    std::string text;
    for (std::uint64_t seed = first; seed <= last; ++seed) {
        text += std::to_string(seed) + '\n';
    }
    return text;
}

void AppendSeed(std::uint32_t seed, std::string& text) {
    text += std::to_string(seed) + '\n';
}

TEST(SeedSweepTest, DeliversEverySeedOnceInOrder) {
    struct Case {
        unsigned workers;
        std::uint32_t first;
        std::uint32_t last;
    };
    // Single seeds, ranges that end inside and on a block, and the end of the seed range.
    const Case cases[] = {
        {1, 0, 0},
        {1, 5, 1000},
        {2, 0, 31},
        {2, 0, 32},
        {3, 7, 3000},
        {8, 100, 164},
        {4, 4294967290u, 4294967295u},
        {2, 4294967295u, 4294967295u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.workers) + " workers, " + std::to_string(c.first) + "-" +
                     std::to_string(c.last));
        std::string delivered;
        SeedSweep(c.workers).Run(c.first, c.last, AppendSeed,
                                 [&](const std::string& text) { delivered += text; });
        EXPECT_EQ(delivered, Lines(c.first, c.last));
    }
}

TEST(SeedSweepTest, TheFirstFailureInSeedOrderStopsTheSweep) {
    struct Case {
        const char* name;
        std::uint32_t failingJob;       // the job throws for this seed and every later one
        std::uint32_t failingDelivery;  // the delivery throws once it has had this seed
        std::string error;
        std::string deliveredFirst;  // what the delivery has had, at least
    };
    const Case cases[] = {
        {"job", 1000, ~0u, "seed 1000", Lines(0, 999)},
        {"job at the first seed", 0, ~0u, "seed 0", ""},
        {"delivery", ~0u, 1000, "delivery", Lines(0, 1000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<std::uint32_t> jobs = 0;
        std::string delivered;
        try {
            SeedSweep(2).Run(
                0, 4294967295u,
                [&](std::uint32_t seed, std::string& text) {
                    ++jobs;
                    if (seed >= c.failingJob) {
                        throw std::runtime_error("seed " + std::to_string(seed));
                    }
                    AppendSeed(seed, text);
                },
                [&](const std::string& text) {
                    delivered += text;
                    if (delivered.find('\n' + std::to_string(c.failingDelivery) + '\n') !=
                        std::string::npos) {
                        throw std::runtime_error("delivery");
                    }
                });
            ADD_FAILURE() << "the sweep did not stop";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        EXPECT_EQ(delivered.substr(0, c.deliveredFirst.size()), c.deliveredFirst);
        if (c.failingJob != ~0u) {
            EXPECT_EQ(delivered, c.deliveredFirst) << "output after the failed seed";
        }
        // The workers run only a few blocks ahead of the delivery.
        EXPECT_LT(jobs.load(), 3000u);
    }
}

}  // namespace
}  // namespace vistrel
