#pragma once

#include <cstdint>

namespace vistrel {

// The scene random source: a 32-bit linear congruential generator yielding 15-bit numbers.
// Every picture is fixed by the state this holds when its painting begins.
class SceneRng {
  public:
    static constexpr std::uint32_t Multiplier = 214013u;
    static constexpr std::uint32_t Increment = 2531011u;

    void Seed(std::uint32_t seed) { state = seed; }

    std::int32_t Next() {
        state = state * Multiplier + Increment;
        ++draws;
        return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
    }

    std::uint32_t State() const { return state; }

    // How many values have been drawn since construction; lets callers see what each step costs.
    std::uint64_t Draws() const { return draws; }

  private:
    std::uint32_t state = 1;
    std::uint64_t draws = 0;
};

// A draw below |n| by truncating remainder; n == 0 returns 0 without drawing. The drawn value is
// never negative, so the 32-bit remainder is v mod |n| and cannot overflow, INT32_MIN included.
inline std::int32_t RandomBelow(SceneRng& rng, std::int32_t n) {
    if (n == 0) {
        return 0;
    }
    return rng.Next() % n;
}

// Leaves rng seeded with the seed of scene number k of the run seeded with runSeed: the k-th
// value drawn after seeding with runSeed. k == 0 is the number after 2^32 - 1 has wrapped; it is
// treated as 2^32, so it continues the series (the generator's period is exactly 2^32).
void SceneSeed(SceneRng& rng, std::uint32_t runSeed, std::uint32_t k);

// The state after `steps` further draws from `state`, in O(log steps).
std::uint32_t AdvanceState(std::uint32_t state, std::uint64_t steps);

}  // namespace vistrel
