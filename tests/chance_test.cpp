// The runtime's own random generator.

#include "forms/chance.h"
#include "forms/conversions.h"
#include "support/doubles.h"

#include <QTest>
#include <QTime>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

using forms::MixingGenerator;

namespace {

std::vector<float> draws(MixingGenerator& g, int n)
{
    std::vector<float> out;
    for (int i = 0; i < n; ++i)
        out.push_back(g.next());
    return out;
}

TEST(MixingGenerator, FractionsNeverReachOne)
{
    // The largest 64-bit draw is where a careless conversion rounds to 1.0.
    EXPECT_LT(MixingGenerator::fractionFromBits(~std::uint64_t{0}), 1.0f);
    EXPECT_EQ(MixingGenerator::fractionFromBits(~std::uint64_t{0}), 1.0f - 0x1p-24f);
    EXPECT_EQ(MixingGenerator::fractionFromBits(0), 0.0f);
    MixingGenerator g;
    for (int i = 0; i < 200000; ++i) {
        const float r = g.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

TEST(MixingGenerator, OneClockReadingTwiceDealsDifferentCards)
{
    MixingGenerator g;
    g.reseed(30000.5f);
    const auto first = draws(g, 6);
    g.reseed(30000.5f);
    EXPECT_NE(draws(g, 6), first);
}

TEST(MixingGenerator, ReplaysFromTheSameStateAndSeeds)
{
    MixingGenerator a(42), b(42);
    a.reseed(1.25f);
    b.reseed(1.25f);
    EXPECT_EQ(draws(a, 50), draws(b, 50));
    MixingGenerator c(43);
    c.reseed(1.25f);
    EXPECT_NE(draws(c, 50), draws(a, 50));
}

TEST(MixingGenerator, CardValuesAreEvenlySpread)
{
    MixingGenerator g;
    g.reseed(12345.0f);
    std::array<int, 11> counts{};
    constexpr int n = 100000;
    for (int i = 0; i < n; ++i) {
        const float card = forms::intPart(g.next() * 10.0f) + 1.0f;
        ASSERT_GE(card, 1.0f);
        ASSERT_LE(card, 10.0f);
        ++counts[static_cast<std::size_t>(card)];
    }
    for (int v = 1; v <= 10; ++v)
        EXPECT_NEAR(counts[static_cast<std::size_t>(v)], n / 10, n / 100) << "card value " << v;
}

TEST(SystemClock, ReadsSecondsSinceMidnightWithTheirFraction)
{
    using std::chrono::milliseconds;
    const std::pair<milliseconds, float> readings[] = {
        {milliseconds(0), 0.0f},          {milliseconds(1), 0.001f},           {milliseconds(999), 0.999f},
        {milliseconds(3600500), 3600.5f}, {milliseconds(43200250), 43200.25f}, {milliseconds(86399500), 86399.5f},
    };
    for (const auto& [sinceMidnight, seconds] : readings)
        EXPECT_EQ(forms::SystemClock::secondsAt(sinceMidnight), seconds) << sinceMidnight.count() << " ms";
}

TEST(SystemClock, TheRealClockReadsBetweenTwoLooksAtTheTimeOfDay)
{
    // Only a reading well inside its second tells a kept fraction from a
    // dropped one; a try across a second's end, across midnight or with a
    // long pause between the looks is made again.
    forms::SystemClock clock;
    int before = 0, after = 0;
    float reading = 0.0f;
    const bool looked = QTest::qWaitFor(
        [&] {
            before = QTime::currentTime().msecsSinceStartOfDay();
            reading = clock.secondsSinceMidnight();
            after = QTime::currentTime().msecsSinceStartOfDay();
            return before % 1000 >= 100 && after >= before && after - before <= 50 && after % 1000 >= before % 1000;
        },
        testsupport::patience);
    ASSERT_TRUE(looked) << "no two looks at the time of day came close enough together";
    // Single precision keeps about a hundredth of a second late in the day.
    EXPECT_GE(reading, before / 1000.0 - 0.01) << "between " << before << " and " << after << " ms";
    EXPECT_LE(reading, after / 1000.0 + 0.01) << "between " << before << " and " << after << " ms";
}

}  // namespace
