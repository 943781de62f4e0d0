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

// A number in a field of `width` characters that keeps its magnitude: the
// text FormatFixed(width, decimals, value) writes, byte for byte, whenever
// that text holds every digit before the decimal point and, in its
// scientific form, its exponent; otherwise the scientific form with as many
// significant digits as fit in `width` ("-1.2E37" for -1.16e37 in 7), with
// its exponent even where not one digit after the first fits.
std::string FormatInWidth(int width, int decimals, double value);

// The scientific form of `value` with as many significant digits as fit in
// `width` characters, at least one: "2E28", "-1.16E37", "1.5E-9".
std::string ScientificInWidth(int width, double value);

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
