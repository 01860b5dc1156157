#include "changer/Schedule.h"

#include <algorithm>

#include "scene/Picture.h"

namespace vistrel {

std::optional<WallTime> Schedule::DueAt(const ChangerState& state, WallTime now) const {
    const auto length = IntervalLength(settings.interval);
    if (!length) {
        return std::nullopt;
    }
    if (!state.setAt) {
        return now;
    }
    return std::min(*state.setAt, now) + *length;
}

bool Schedule::DueAtLogin(const ChangerState& state, WallTime now) const {
    return settings.interval == Interval::AtLogin || DueNow(state, now);
}

bool Schedule::DueNow(const ChangerState& state, WallTime now) const {
    const auto due = DueAt(state, now);
    return due && *due <= now;
}

std::uint32_t Schedule::Next(ChangerState& state, const std::vector<std::uint32_t>& favourites,
                             const DrawBelow& draw, WallTime now) const {
    std::uint32_t seed = 0;
    if (settings.source == Source::Favourites && !favourites.empty()) {
        seed = NextFavourite(state, favourites, draw);
    } else {
        // Scene 0 stands for the one after 2^32 - 1, so the series simply goes on.
        ++state.scene;
        seed = SeedOfScene(state.runSeed, state.scene);
    }
    ShowSeed(state, seed, now);
    return seed;
}

std::uint32_t Schedule::NextFavourite(ChangerState& state,
                                      const std::vector<std::uint32_t>& favourites,
                                      const DrawBelow& draw) const {
    const auto shown = [&state](std::uint32_t seed) {
        return std::find(state.favouritesShown.begin(), state.favouritesShown.end(), seed) !=
               state.favouritesShown.end();
    };
    std::vector<std::uint32_t> left;
    std::copy_if(favourites.begin(), favourites.end(), std::back_inserter(left),
                 [&shown](std::uint32_t seed) { return !shown(seed); });
    if (left.empty()) {
        state.favouritesShown.clear();
        const auto onShow = state.OnShow();
        std::copy_if(favourites.begin(), favourites.end(), std::back_inserter(left),
                     [&](std::uint32_t seed) { return favourites.size() == 1 || seed != onShow; });
    }
    const auto count = static_cast<std::uint32_t>(left.size());
    const std::uint32_t seed = left[draw(count) % count];
    state.favouritesShown.push_back(seed);
    return seed;
}

void ShowSeed(ChangerState& state, std::uint32_t seed, WallTime now) {
    state.history.push_back(seed);
    if (state.history.size() > ChangerState::HistoryLength) {
        state.history.erase(state.history.begin());
    }
    state.setAt = now;
}

std::optional<std::uint32_t> StepBack(ChangerState& state, WallTime now) {
    if (state.history.size() < 2) {
        return std::nullopt;
    }
    state.history.pop_back();
    state.setAt = now;
    return state.history.back();
}

}  // namespace vistrel
