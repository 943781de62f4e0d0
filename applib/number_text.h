#pragma once
// Number texts of the general-purpose unit: every number the program shows
// or puts into a file name, and every slider position computed from a value.
// No Qt, no process locale: the digits come from std::to_chars.
#include <cstdint>
#include <string>
#include <string_view>

// Fixed-point text, at most `precision` characters (cut, never padded), with
// exactly `decimals` digits after the separator; the general scientific form
// when the integer digits exceed the effective precision. "INF"/"NAN" for
// non-finite values (with a leading minus for negative ones). The digits are
// rounded to `precision` significant digits limited to 2 ... 18; a precision
// of 0 or less leaves no character at all.
std::string FormatFixed(int precision, int decimals, double value);

// Scientific text with `precision` significant digits and an exponent of at
// least `expDigits` digits, sign always written ("1.0E-7", "0.0E+0").
std::string FormatExponent(int precision, int expDigits, double value);

// Nearest integer, an exact half going to the lower integer; limited to
// -2147483647 ... 2147483647. A value that is not a number gives 0.
int32_t RoundNearest(double x);

// The decimal separator of the number texts: a full stop until the GUI sets
// the user's own (QLocale::system().decimalPoint()). Files never use it.
// An empty separator restores the full stop; a multi-byte (UTF-8) one counts
// as one character where FormatFixed cuts its text.
void SetDecimalSeparator(std::string_view separator);
const std::string& DecimalSeparator();
