#pragma once

#include "forms/errors.h"

#include <compare>
#include <cstdint>
#include <limits>

namespace forms {

// A 16-bit signed whole number whose every addition and subtraction is
// checked. A result that does not fit is never stored: OverflowError is thrown
// first, so the left operand of += and -= keeps its value.
class Int16 {
public:
    static constexpr int min = std::numeric_limits<std::int16_t>::min();
    static constexpr int max = std::numeric_limits<std::int16_t>::max();

    constexpr Int16() noexcept = default;
    constexpr Int16(std::int16_t value) noexcept
        : value_(value)
    {}  // NOLINT: a plain number is one

    // Any int, provided it fits; the arithmetic goes through here.
    static constexpr Int16 checked(int value)
    {
        if (value < min || value > max)
            throw OverflowError();
        return Int16(static_cast<std::int16_t>(value));
    }

    constexpr std::int16_t value() const noexcept { return value_; }

    friend constexpr Int16 operator+(Int16 a, Int16 b) { return checked(int{a.value_} + int{b.value_}); }
    friend constexpr Int16 operator-(Int16 a, Int16 b) { return checked(int{a.value_} - int{b.value_}); }

    constexpr Int16& operator+=(Int16 other) { return *this = *this + other; }
    constexpr Int16& operator-=(Int16 other) { return *this = *this - other; }

    friend constexpr bool operator==(Int16, Int16) noexcept = default;
    friend constexpr auto operator<=>(Int16, Int16) noexcept = default;

private:
    std::int16_t value_ = 0;
};

}  // namespace forms
