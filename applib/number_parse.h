#pragma once
// Reading numbers the way the C library's strtod and strtol read them, in the
// "C" locale whatever the user's locale is.
#include <cstdint>
#include <string_view>

// strtol rules in `base` (leading blanks, optional sign, digits), saturating
// at the signed 32-bit range. `value` is written in every case (0 when no
// digit could be read). True when the whole text was consumed, or it is empty.
bool TextToLong(std::string_view text, int base, int32_t& value);

// strtod rules restricted to decimal notation (optional blanks, sign, digits
// with an optional ".", optional exponent): "inf", "nan" and hexadecimal
// numbers are not read. `value` is written in every case: the number read
// from the start of the text, 0.0 when none could be read or it overflows.
// True when the whole text is such a number (or empty, giving 0.0) and the
// result is finite.
bool TextToDouble(std::string_view text, double& value);

// The value prompt's reader: the same rules as TextToDouble. On failure the
// value is 0 and the result false.
bool ParseNumber(std::string_view text, double& value);

// True when x lies between a and b inclusive; a and b in either order.
bool InRange(double x, double a, double b);

// x limited to the interval between a and b (either order). A value that is
// not a number gives the smaller bound.
double ClampToRange(double a, double b, double x);
