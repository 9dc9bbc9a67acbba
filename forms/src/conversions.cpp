#include "forms/conversions.h"

#include <charconv>
#include <cmath>

namespace forms {

std::string text(Int16 value)
{
    return std::to_string(value.value());
}

std::string text(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

float intPart(float value)
{
    return std::floor(value);
}

Int16 toInt16(float value)
{
    const float rounded = std::nearbyint(value);
    if (!(rounded >= float(Int16::min) && rounded <= float(Int16::max)))
        throw OverflowError();
    return Int16::checked(static_cast<int>(rounded));
}

}  // namespace forms
