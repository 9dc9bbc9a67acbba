#pragma once

#include "forms/int16.h"

#include <string>

// The runtime's conversions between numbers and text, as handlers use them
// to fill captions.
namespace forms {

// Decimal digits, a leading "-" when negative, nothing else: -32768 is "-32768".
std::string text(Int16 value);

// A single-precision number as the shortest text that reads back as the same
// number: 10.0f is "10", 2.5f is "2.5".
std::string text(float value);

// The largest whole number not above value.
float intPart(float value);

// value rounded to the nearest whole number (halves to even) as a 16-bit
// integer; OverflowError when it does not fit.
Int16 toInt16(float value);

}  // namespace forms
