#include "forms/chance.h"

#include <QTime>

#include <bit>

namespace forms {

float SystemClock::secondsSinceMidnight()
{
    return secondsAt(std::chrono::milliseconds(QTime::currentTime().msecsSinceStartOfDay()));
}

std::uint64_t MixingGenerator::step() noexcept
{
    // SplitMix64: one add and three mixing rounds per draw.
    state_ += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

void MixingGenerator::reseed(float seed)
{
    const auto bits = std::bit_cast<std::uint32_t>(seed);
    state_ = (state_ ^ (std::uint64_t{bits} * 0xd1b54a32d192ed03ULL)) + (state_ << 7);
    state_ = step();
}

float MixingGenerator::next()
{
    return fractionFromBits(step());
}

}  // namespace forms
