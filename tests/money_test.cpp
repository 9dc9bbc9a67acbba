// Checked 16-bit arithmetic and the conversions between numbers and text.

#include "forms/conversions.h"
#include "forms/int16.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <limits>

using forms::Int16;
using forms::OverflowError;

namespace {

struct Sum {
    int a;
    char op;
    int b;
    bool overflows;
};

class Int16Arithmetic : public ::testing::TestWithParam<Sum> {};

TEST_P(Int16Arithmetic, StoresTheResultOrThrowsAndKeepsTheValue)
{
    const Sum s = GetParam();
    Int16 x = Int16::checked(s.a);
    const Int16 y = Int16::checked(s.b);
    const auto apply = [&] { s.op == '+' ? x += y : x -= y; };
    if (s.overflows) {
        EXPECT_THROW(apply(), OverflowError);
        EXPECT_EQ(x.value(), s.a) << "an overflowing result must not be stored";
    } else {
        apply();
        EXPECT_EQ(x.value(), s.op == '+' ? s.a + s.b : s.a - s.b);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothBounds, Int16Arithmetic,
    ::testing::Values(Sum{32766, '+', 1, false}, Sum{32767, '+', 0, false}, Sum{32767, '+', 1, true},
                      Sum{32700, '+', 100, true}, Sum{-32767, '-', 1, false}, Sum{-32768, '-', 1, true},
                      Sum{-32700, '-', 100, true}, Sum{-32668, '-', 100, false}, Sum{-32768, '+', 32767, false},
                      Sum{32767, '-', -1, true}, Sum{0, '-', -32768, true}, Sum{-1, '-', 32767, false},
                      Sum{-100, '+', -32668, false}, Sum{-100, '+', -32669, true}),
    [](const auto& test) {
        const auto number = [](int v) { return (v < 0 ? "minus" : "") + std::to_string(std::abs(v)); };
        const Sum& s = test.param;
        return number(s.a) + (s.op == '+' ? "_add_" : "_sub_") + number(s.b);
    });

TEST(Int16, CheckedConstructionRejectsValuesOutOfRange)
{
    EXPECT_EQ(Int16::checked(-32768).value(), -32768);
    EXPECT_EQ(Int16::checked(32767).value(), 32767);
    EXPECT_THROW(Int16::checked(32768), OverflowError);
    EXPECT_THROW(Int16::checked(-32769), OverflowError);
}

TEST(NumberAsText, DigitsWithMinusSignAndNothingElse)
{
    const std::pair<int, const char*> cases[] = {
        {-32768, "-32768"}, {-100, "-100"}, {0, "0"}, {1000, "1000"}, {32767, "32767"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(forms::text(Int16::checked(value)), expected);
}

TEST(CardValueAsText, WholeValuesHaveNoPointOrBlank)
{
    for (int v = 1; v <= 10; ++v)
        EXPECT_EQ(forms::text(static_cast<float>(v)), std::to_string(v));
    EXPECT_EQ(forms::text(2.5f), "2.5");
}

TEST(IntPart, IsTheFloor)
{
    EXPECT_EQ(forms::intPart(0.0f), 0.0f);
    EXPECT_EQ(forms::intPart(9.9999995f), 9.0f);
    EXPECT_EQ(forms::intPart(std::nextafter(10.0f, 0.0f)), 9.0f);
    EXPECT_EQ(forms::intPart(-0.5f), -1.0f);
}

TEST(ToInt16, RoundsHalvesToEvenAndChecksTheRange)
{
    EXPECT_EQ(forms::toInt16(30.0f).value(), 30);
    EXPECT_EQ(forms::toInt16(2.5f).value(), 2);
    EXPECT_EQ(forms::toInt16(3.5f).value(), 4);
    EXPECT_EQ(forms::toInt16(32767.0f).value(), 32767);
    EXPECT_EQ(forms::toInt16(-32768.0f).value(), -32768);
    EXPECT_THROW(forms::toInt16(32768.0f), OverflowError);
    EXPECT_THROW(forms::toInt16(std::numeric_limits<float>::quiet_NaN()), OverflowError);
}

}  // namespace
