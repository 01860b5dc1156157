#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "changer/ChangerSettings.h"
#include "changer/ChangerState.h"

namespace vistrel {

// When the background changes, and to what: pure logic over the settings, the state and the
// calendar time the caller reads, so that a reboot, a suspend or a clock set back is only a
// different `now`.
class Schedule {
  public:
    // A number below n (n at least 1), drawn at random.
    using DrawBelow = std::function<std::uint32_t(std::uint32_t n)>;

    explicit Schedule(ChangerSettings settings) : settings(settings) {}

    const ChangerSettings& Settings() const { return settings; }

    // When the next change falls due; none when no timer keeps the schedule. A change that fell
    // due while the machine was off or asleep is due now, once: however many intervals passed,
    // it counts from when the last one was set. A last change "in the future" (the clock was
    // set back) counts as made now, so the background never waits more than one interval.
    std::optional<WallTime> DueAt(const ChangerState& state, WallTime now) const;
    // Whether a change is due when the session starts: at every login when so set, else when
    // one fell due meanwhile.
    bool DueAtLogin(const ChangerState& state, WallTime now) const;
    // Whether a change is due now, as a timer or a wake from sleep asks.
    bool DueNow(const ChangerState& state, WallTime now) const;

    // The seed of the next change, recorded in the state as on show since `now`. From the
    // favourites, each comes once, in random order, before any comes again, and the one on show
    // does not come twice in a row while there are others; favourites added meanwhile join the
    // round and removed ones leave it. With no favourites it goes on with the series of all
    // pictures.
    std::uint32_t Next(ChangerState& state, const std::vector<std::uint32_t>& favourites,
                       const DrawBelow& draw, WallTime now) const;

  private:
    std::uint32_t NextFavourite(ChangerState& state, const std::vector<std::uint32_t>& favourites,
                                const DrawBelow& draw) const;

    ChangerSettings settings;
};

// Records `seed` as set at `now`, at the end of the history.
void ShowSeed(ChangerState& state, std::uint32_t seed, WallTime now);

// Goes back to the background before the one on show, as set at `now`, and forgets the one on
// show; none, changing nothing, when there is no earlier one.
std::optional<std::uint32_t> StepBack(ChangerState& state, WallTime now);

}  // namespace vistrel
