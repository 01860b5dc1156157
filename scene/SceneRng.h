#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vistrel {

// The scene random source: a 32-bit linear congruential generator yielding 15-bit numbers.
// Every picture is fixed by the state this holds when its painting begins.
class SceneRng {
  public:
    static constexpr std::uint32_t Multiplier = 214013u;
    static constexpr std::uint32_t Increment = 2531011u;
    static constexpr std::int32_t MaxValue = 0x7FFF;

    void Seed(std::uint32_t seed) { state = seed; }

    std::int32_t Next() {
        state = state * Multiplier + Increment;
        ++draws;
        return ValueOf(state);
    }

    // Fills values[0..count) with the next count values. They are worked out sixteen at a time,
    // each of the sixteen states stepping sixteen draws ahead at once, so the multiplications
    // run side by side (and in vector registers) instead of one after the other.
    void NextMany(std::int32_t* values, std::size_t count) {
        std::uint32_t s = state;
        std::size_t i = 0;
        if (count >= LeapLength) {
            std::uint32_t ahead[LeapLength];
            for (std::size_t k = 0; k < LeapLength; ++k) {
                ahead[k] = s * Leap[k].multiplier + Leap[k].increment;
            }
            constexpr Step Whole = Leap[LeapLength - 1];
            for (; i + LeapLength <= count; i += LeapLength) {
                for (std::size_t k = 0; k < LeapLength; ++k) {
                    values[i + k] = ValueOf(ahead[k]);
                }
                s = ahead[LeapLength - 1];
                for (std::size_t k = 0; k < LeapLength; ++k) {
                    ahead[k] = ahead[k] * Whole.multiplier + Whole.increment;
                }
            }
        }
        for (; i < count; ++i) {
            s = s * Multiplier + Increment;
            values[i] = ValueOf(s);
        }
        state = s;
        draws += count;
    }

    std::uint32_t State() const { return state; }

    // How many values have been drawn since construction; lets callers see what each step costs.
    std::uint64_t Draws() const { return draws; }

  private:
    // Leap[k] takes k + 1 steps as one: s -> multiplier * s + increment.
    struct Step {
        std::uint32_t multiplier, increment;
    };
    static constexpr std::size_t LeapLength = 16;
    static constexpr std::array<Step, LeapLength> Leap = [] {
        std::array<Step, LeapLength> leap{};
        Step step{Multiplier, Increment};
        for (Step& l : leap) {
            l = step;
            step = {step.multiplier * Multiplier, step.increment * Multiplier + Increment};
        }
        return leap;
    }();

    static std::int32_t ValueOf(std::uint32_t s) {
        return static_cast<std::int32_t>((s >> 16) & static_cast<std::uint32_t>(MaxValue));
    }

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

// RandomBelow(rng, n) for a bound that many draws share, with the remainder by a multiply with
// |n|'s reciprocal instead of a division each: with v < 2^15, b = |n| < 2^15 and m = 2^32 / b
// rounded up, v * m / 2^32 exceeds v / b by v (m b - 2^32) / (b 2^32) < 1 / (4 b), which never
// reaches the next whole number, so rounded down it is the quotient. A bound above every value
// leaves the values as drawn (m = 0), and a bound of 1 leaves 0.
class DrawsBelow {
  public:
    explicit DrawsBelow(std::int32_t n)
        : n(n),
          bound(n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n)),
          reciprocal(bound > 1 && bound <= SceneRng::MaxValue
                         ? static_cast<std::uint32_t>(((std::uint64_t{1} << 32) - 1) / bound + 1)
                         : 0) {}

    std::int32_t Bound() const { return n; }

    std::int32_t From(SceneRng& rng) const { return n == 0 ? 0 : Reduce(rng.Next()); }

    // A drawn value (0..MaxValue) reduced below |Bound()|.
    std::int32_t Reduce(std::int32_t v) const {
        const auto u = static_cast<std::uint32_t>(v);
        const auto quotient = static_cast<std::uint32_t>((std::uint64_t{u} * reciprocal) >> 32);
        return bound == 1 ? 0 : static_cast<std::int32_t>(u - quotient * bound);
    }

  private:
    std::int32_t n;
    std::uint32_t bound;
    std::uint32_t reciprocal;
};

// RandomBelow(rng, n) count times into values[0..count).
void RandomsBelow(SceneRng& rng, std::int32_t n, std::int32_t* values, std::size_t count);

// Leaves rng seeded with the seed of scene number k of the run seeded with runSeed: the k-th
// value drawn after seeding with runSeed. k == 0 is the number after 2^32 - 1 has wrapped; it is
// treated as 2^32, so it continues the series (the generator's period is exactly 2^32).
void SceneSeed(SceneRng& rng, std::uint32_t runSeed, std::uint32_t k);

// The state after `steps` further draws from `state`, in O(log steps).
std::uint32_t AdvanceState(std::uint32_t state, std::uint64_t steps);

}  // namespace vistrel
