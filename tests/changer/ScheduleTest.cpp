#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "changer/Schedule.h"
#include "scene/Picture.h"

namespace vistrel {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using Seeds = std::vector<std::uint32_t>;

// A day like any other, at noon.
const WallTime Noon{seconds(1765281600)};

Schedule Every(Interval interval, Source source = Source::AllPictures) {
    return Schedule({.interval = interval, .source = source});
}

ChangerState SetAt(WallTime at) {
    ChangerState state = FreshState(at);
    ShowSeed(state, 7, at);
    return state;
}

// Draws the numbers of a script, one a draw, as a random source would.
Schedule::DrawBelow Scripted(std::vector<std::uint32_t> numbers) {
    return [numbers = std::move(numbers), next = std::size_t{0}](std::uint32_t) mutable {
        return numbers[next++ % numbers.size()];
    };
}

TEST(Schedule, IsDueByWallClockTime) {
    struct Case {
        const char* what;
        Interval interval;
        std::optional<WallTime> setAt;
        WallTime now;
        bool dueNow;
        bool dueAtLogin;
    };
    const Case cases[] = {
        {"never is never due", Interval::Never, Noon - hours(48), Noon, false, false},
        {"at login is due at login only", Interval::AtLogin, Noon - hours(48), Noon, false, true},
        {"a quarter hour not yet gone", Interval::QuarterHour, Noon,
         Noon + minutes(14) + seconds(59), false, false},
        {"a quarter hour gone", Interval::QuarterHour, Noon, Noon + minutes(15), true, true},
        {"an hour not yet gone", Interval::Hour, Noon, Noon + minutes(59), false, false},
        {"an hour gone", Interval::Hour, Noon, Noon + hours(1), true, true},
        {"three hours not yet gone", Interval::ThreeHours, Noon, Noon + hours(2), false, false},
        {"three hours gone", Interval::ThreeHours, Noon, Noon + hours(3), true, true},
        {"a day not yet gone", Interval::Day, Noon, Noon + hours(23), false, false},
        {"a day gone while the machine was off overnight", Interval::Day, Noon,
         Noon + hours(24) + hours(9), true, true},
        {"nothing set yet is due at once", Interval::Hour, std::nullopt, Noon, true, true},
        {"a clock set back a day waits one interval, not a day more", Interval::Hour,
         Noon + hours(24), Noon + minutes(59), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChangerState state = FreshState(Noon);
        state.setAt = c.setAt;
        const Schedule schedule = Every(c.interval);
        EXPECT_EQ(schedule.DueNow(state, c.now), c.dueNow);
        EXPECT_EQ(schedule.DueAtLogin(state, c.now), c.dueAtLogin);
    }
}

TEST(Schedule, ClockSetBackIsDueOneIntervalFromNow) {
    const ChangerState state = SetAt(Noon + hours(24));
    EXPECT_EQ(Every(Interval::Hour).DueAt(state, Noon), Noon + hours(1));
}

TEST(Schedule, SuspendSpanningIntervalsGivesOneChange) {
    struct Case {
        const char* what;
        Interval interval;
        hours asleep;
    };
    const Case cases[] = {
        {"asleep for one interval and a bit", Interval::Hour, hours(1)},
        {"asleep for several intervals", Interval::QuarterHour, hours(5)},
        {"asleep over a weekend", Interval::ThreeHours, hours(60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Schedule schedule = Every(c.interval);
        ChangerState state = SetAt(Noon);
        const WallTime woken = Noon + c.asleep + seconds(30);
        int changes = 0;
        // Each wake-up and each timer that fires late asks again; only the first finds it due.
        for (int ask = 0; ask < 4; ++ask) {
            if (schedule.DueNow(state, woken + seconds(ask))) {
                schedule.Next(state, {}, Scripted({0}), woken + seconds(ask));
                ++changes;
            }
        }
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(schedule.DueAt(state, woken), woken + *IntervalLength(c.interval));
    }
}

TEST(Schedule, AllPicturesGoOnWithTheSeriesOfTheirOwn) {
    const Schedule schedule = Every(Interval::Hour);
    ChangerState state = FreshState(Noon);
    const std::uint32_t run = state.runSeed;
    for (std::uint32_t k = 1; k <= 3; ++k) {
        EXPECT_EQ(schedule.Next(state, {1, 2}, Scripted({0}), Noon), SeedOfScene(run, k));
    }
    EXPECT_EQ(state.history,
              (Seeds{SeedOfScene(run, 1), SeedOfScene(run, 2), SeedOfScene(run, 3)}));
    // Scene 2^32 - 1 is followed by scene 0, which stands for 2^32.
    state.scene = 0xFFFFFFFF;
    schedule.Next(state, {}, Scripted({0}), Noon);
    EXPECT_EQ(state.OnShow(), SeedOfScene(run, 0));
}

TEST(Schedule, FavouritesComeOnceEachBeforeAnyRepeats) {
    const Schedule schedule = Every(Interval::Hour, Source::Favourites);
    const Seeds favourites{3, 10, 42, 500, 32767};
    ChangerState state = FreshState(Noon);
    // A source that always draws the last one left, and one that draws at random.
    for (const auto& draw : {Scripted({4, 3, 2, 1, 0}), Scripted({2, 7, 1, 9, 4, 8, 3})}) {
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            std::set<std::uint32_t> seen;
            for (std::size_t i = 0; i < favourites.size(); ++i) {
                const std::uint32_t before = state.OnShow().value_or(SceneSeedCount);
                const std::uint32_t seed = schedule.Next(state, favourites, draw, Noon);
                EXPECT_TRUE(seen.insert(seed).second) << seed << " came twice in a round";
                EXPECT_NE(seed, before) << "the same background twice in a row";
            }
            EXPECT_EQ(seen, std::set<std::uint32_t>(favourites.begin(), favourites.end()));
        }
    }
}

TEST(Schedule, FavouritesChangedMeanwhile) {
    struct Case {
        const char* what;
        Seeds shownBefore;
        Seeds favouritesNow;
        Seeds mayCome;
    };
    const Case cases[] = {
        {"a removed one is not shown", {}, {1, 3}, {1, 3}},
        {"an added one joins the round", {1, 2}, {1, 2, 9}, {9}},
        {"all shown but one removed: the rest is a new round", {1, 2, 3}, {1, 2}, {1, 2}},
        {"a new round does not begin with the one on show", {1, 2, 3}, {1, 2, 3}, {1, 2}},
        {"the only one left comes again", {5}, {5}, {5}},
        {"none left: the series of all pictures", {1}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Schedule schedule = Every(Interval::Hour, Source::Favourites);
        ChangerState state = FreshState(Noon);
        for (const std::uint32_t seed : c.shownBefore) {
            ShowSeed(state, seed, Noon);
            state.favouritesShown.push_back(seed);
        }
        for (std::uint32_t draw = 0; draw < 3; ++draw) {
            ChangerState trial = state;
            const std::uint32_t seed =
                schedule.Next(trial, c.favouritesNow, Scripted({draw}), Noon);
            if (c.mayCome.empty()) {
                EXPECT_EQ(seed, SeedOfScene(state.runSeed, state.scene + 1));
            } else {
                EXPECT_NE(std::find(c.mayCome.begin(), c.mayCome.end(), seed), c.mayCome.end())
                    << seed;
            }
        }
    }
}

TEST(Schedule, HistoryAndStepBack) {
    ChangerState state = FreshState(Noon);
    EXPECT_EQ(StepBack(state, Noon), std::nullopt);
    ShowSeed(state, 11, Noon);
    EXPECT_EQ(StepBack(state, Noon), std::nullopt) << "nothing before the first";
    EXPECT_EQ(state.OnShow(), 11u);
    ShowSeed(state, 12, Noon);
    ShowSeed(state, 13, Noon);
    EXPECT_EQ(StepBack(state, Noon + hours(1)), 12u);
    EXPECT_EQ(state.setAt, Noon + hours(1)) << "going back restarts the interval";
    EXPECT_EQ(StepBack(state, Noon), 11u);
    EXPECT_EQ(StepBack(state, Noon), std::nullopt);
    EXPECT_EQ(state.history, Seeds{11});
}

TEST(Schedule, HistoryKeepsTheLastHundred) {
    ChangerState state = FreshState(Noon);
    for (std::uint32_t seed = 0; seed < 250; ++seed) {
        ShowSeed(state, seed, Noon);
    }
    ASSERT_EQ(state.history.size(), ChangerState::HistoryLength);
    EXPECT_EQ(state.history.front(), 150u);
    std::size_t back = 0;
    while (StepBack(state, Noon)) {
        ++back;
    }
    EXPECT_EQ(back, ChangerState::HistoryLength - 1);
    EXPECT_EQ(state.OnShow(), 150u);
}

}  // namespace
}  // namespace vistrel
