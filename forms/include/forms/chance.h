#pragma once

#include <chrono>
#include <cstdint>

// The clock and the random generator. Game code reaches both only through the
// runtime, which owns one of each; tests put their own in so that every deal
// can be replayed.
namespace forms {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with their fraction.
    virtual float secondsSinceMidnight() = 0;
};

class RandomGenerator {
public:
    virtual ~RandomGenerator() = default;
    // Stirs seed into the generator's state.
    virtual void reseed(float seed) = 0;
    // The next uniform fraction r, 0 <= r < 1.
    virtual float next() = 0;
};

class SystemClock final : public Clock {
public:
    float secondsSinceMidnight() override;

    // The reading at a time of day, given as the time since local midnight:
    // whole seconds and their fraction, rounded once to single precision.
    // (Milliseconds past 2^24 are not exact in single precision, so they are
    // not converted first.)
    static constexpr float secondsAt(std::chrono::milliseconds sinceMidnight) noexcept
    {
        return static_cast<float>(static_cast<double>(sinceMidnight.count()) / 1000.0);
    }
};

// A 64-bit mixing generator. A reseed is mixed into the state rather than
// replacing it, so two reseeds with one clock reading do not replay one
// sequence of cards.
class MixingGenerator final : public RandomGenerator {
public:
    explicit MixingGenerator(std::uint64_t state = 0x5641524e454c2031ULL)
        : state_(state)
    {}

    void reseed(float seed) override;
    float next() override;

    // Turns 64 random bits into a fraction. Only the top 24 bits are used:
    // every such fraction is exact in single precision, so the largest is
    // 1 - 2^-24 and the conversion can never round up to 1.0.
    static constexpr float fractionFromBits(std::uint64_t bits) noexcept
    {
        return static_cast<float>(bits >> 40) * 0x1p-24f;
    }

private:
    std::uint64_t step() noexcept;
    std::uint64_t state_;
};

}  // namespace forms
