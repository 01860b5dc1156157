#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vistrel {

// Calendar time, which goes on while the machine is off or asleep, to the second.
using WallTime = std::chrono::sys_seconds;

// What the changer has done, kept in $XDG_STATE_HOME/vistrel/background-state so that the
// schedule survives a reboot.
struct ChangerState {
    // So many backgrounds back `previous` can go.
    static constexpr std::size_t HistoryLength = 100;

    // The seeds set, oldest first; the last one is on show.
    std::vector<std::uint32_t> history;
    // When the one on show was set; none before the first.
    std::optional<WallTime> setAt;
    // The changer's own series of all pictures: its run seed, drawn once, and its last scene.
    std::uint32_t runSeed = 0;
    std::uint32_t scene = 0;
    // The favourites shown in this round, in the order shown; each comes once a round.
    std::vector<std::uint32_t> favouritesShown;

    bool operator==(const ChangerState&) const = default;

    std::optional<std::uint32_t> OnShow() const;
};

// A first state, whose series is that of the clock's second, as a viewer run's is.
ChangerState FreshState(WallTime now);

QByteArray StateText(const ChangerState& state);
// None when the text is damaged: a bad line, a number out of range, a seed that is no seed.
std::optional<ChangerState> ParseState(QByteArrayView text);

}  // namespace vistrel
