#pragma once

// Test doubles for the runtime's clock and generator, and how long a test
// waits for what it cannot hurry.

#include "forms/chance.h"

#include <deque>
#include <stdexcept>
#include <vector>

namespace testsupport {

// Hands out the fractions it was given, in order, and records every reseed.
class ScriptedRandom final : public forms::RandomGenerator {
public:
    void reseed(float seed) override { seeds.push_back(seed); }
    float next() override
    {
        if (fractions.empty())
            throw std::logic_error("ScriptedRandom: no fraction left");
        const float r = fractions.front();
        fractions.pop_front();
        return r;
    }
    std::deque<float> fractions;
    std::vector<float> seeds;
};

// The longest a test waits for what the event loop, the real clock or another
// process is to bring, in milliseconds. Every wait ends as soon as its
// condition holds; the bound is for a starved machine and for the sanitizer
// build, which runs several times slower.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif
#else
inline constexpr bool underAddressSanitizer = false;
#endif
inline constexpr int patience = underAddressSanitizer ? 30000 : 10000;

class FixedClock final : public forms::Clock {
public:
    float secondsSinceMidnight() override { return seconds; }
    float seconds = 43200.25f;
};

}  // namespace testsupport
