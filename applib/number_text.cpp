#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kExpandedDigits = 18; // significant digits of the expansion
constexpr int kMinPrecision = 2;
constexpr int kMaxPrecision = kExpandedDigits;

// Rounding to more decimals than the 323 zeros that lead the smallest double
// changes nothing; bounding the caller's count keeps the arithmetic in int.
constexpr int kMaxRoundingDecimals = 1000;

std::string& separatorStorage() {
    static std::string separator = ".";
    return separator;
}

// A finite value as a digit string and its decimal exponent: the value is
// 0.d1d2d3... x 10^exponent, so exponent is the count of digits before the
// decimal point (3 for 123.4, -1 for 0.04, 0 for 0.4). No digits: zero.
struct Decimal {
    char digits[kExpandedDigits + 1]; // '0'..'9', no trailing zeros
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

// The 18-significant-digit expansion. std::to_chars is correctly rounded
// and independent of the process locale. False only if it fails.
bool expand(double value, Decimal& out) {
    out.negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    char text[40];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, magnitude,
                                         std::chars_format::scientific, kExpandedDigits - 1);
    if (ec != std::errc{}) {
        return false;
    }
    // "d.ddddddddddddddddde+XX"
    out.digits[0] = text[0];
    std::memcpy(out.digits + 1, text + 2, kExpandedDigits - 1);
    out.count = kExpandedDigits;
    const char* exponentText = text + kExpandedDigits + 2; // past "d.", the digits and 'e'
    if (*exponentText == '+') {
        ++exponentText; // from_chars reads a minus sign only
    }
    int scientificExponent = 0;
    std::from_chars(exponentText, end, scientificExponent);
    out.exponent = scientificExponent + 1;
    return true;
}

void dropTrailingZeros(Decimal& d) {
    while (d.count > 0 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
}

// Keep `keep` significant digits, half away from zero: a first dropped
// digit of 5 or more raises the last kept digit (with carry). Keeping none
// or fewer leaves either a single 1 one place up, or zero.
void roundTo(Decimal& d, int keep) {
    if (keep >= d.count) {
        dropTrailingZeros(d);
        return;
    }
    if (keep < 0) {
        d.count = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            --i;
        }
        if (i < 0) {
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
            return;
        }
        ++d.digits[i];
        d.count = i + 1;
    }
    dropTrailingZeros(d);
}

char digitAt(const Decimal& d, int index) {
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

// "INF", "-INF", "NAN", "-NAN" for a value that is not finite.
std::string nonFiniteText(double value) {
    std::string text = std::signbit(value) ? "-" : "";
    text += std::isnan(value) ? "NAN" : "INF";
    return text;
}

void appendExponentDigits(std::string& text, int exponent, int minDigits) {
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, exponent);
    const int length = ec == std::errc{} ? static_cast<int>(end - buffer) : 0;
    text.append(static_cast<std::size_t>(std::max(0, minDigits - length)), '0');
    text.append(buffer, static_cast<std::size_t>(length));
}

// Keeps the first `count` characters; a multi-byte separator counts as one.
void cutToCharacters(std::string& text, int count) {
    if (count <= 0) {
        text.clear();
        return;
    }
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == count) {
            text.resize(i);
            return;
        }
    }
}

// Scientific form of FormatFixed: "1E4", "-2.5E28", "1.25E-3".
void appendGeneralScientific(std::string& text, const Decimal& d) {
    text += d.digits[0];
    if (d.count > 1) {
        text += separatorStorage();
        text.append(d.digits + 1, static_cast<std::size_t>(d.count - 1));
    }
    text += 'E';
    const int shown = d.exponent - 1;
    if (shown < 0) {
        text += '-';
    }
    appendExponentDigits(text, std::abs(shown), 1);
}

// Fixed form: integer digits (a single 0 if none), then exactly `decimals`
// digits after the separator.
void appendFixed(std::string& text, const Decimal& d, int decimals) {
    if (d.exponent <= 0) {
        text += '0';
    } else {
        for (int i = 0; i < d.exponent; ++i) {
            text += digitAt(d, i);
        }
    }
    if (decimals > 0) {
        text += separatorStorage();
        for (int i = 0; i < decimals; ++i) {
            text += digitAt(d, d.exponent + i);
        }
    }
}

int effectivePrecision(int precision) {
    return std::clamp(precision, kMinPrecision, kMaxPrecision);
}

} // namespace

namespace {

// FormatFixed's text before it is cut to `precision` characters.
std::string uncutFixed(int precision, int decimals, double value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    Decimal d;
    if (!expand(value, d)) {
        return "Nan";
    }
    const int p = effectivePrecision(precision);
    const int roundingDecimals = std::clamp(decimals, 0, kMaxRoundingDecimals);
    roundTo(d, std::min(p, d.exponent + roundingDecimals));
    if (d.count == 0) {
        d.negative = false;
        d.exponent = 0;
    }
    // Decimals beyond the length limit would all be cut off again.
    const int shownDecimals = std::clamp(decimals, 0, std::max(precision, 0));
    std::string text;
    if (d.negative) {
        text += '-';
    }
    if (d.exponent > p) {
        appendGeneralScientific(text, d);
    } else {
        appendFixed(text, d, shownDecimals);
    }
    return text;
}

int characterCount(const std::string& text) {
    int count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

} // namespace

std::string FormatFixed(int precision, int decimals, double value) {
    std::string text = uncutFixed(precision, decimals, value);
    cutToCharacters(text, precision);
    return text;
}

std::string ScientificInWidth(int width, double value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    Decimal full;
    if (!expand(value, full)) {
        return "Nan";
    }
    std::string text;
    // The most significant digits first; fewer until the text fits (a
    // rounding that carries, 9.96 to 1.0E1, may change the exponent's width).
    for (int keep = kExpandedDigits; keep >= 1; --keep) {
        Decimal d = full;
        roundTo(d, keep);
        text.assign(d.negative ? 1 : 0, '-');
        if (d.count == 0) {
            text.assign(1, '0');
            break;
        }
        appendGeneralScientific(text, d);
        if (characterCount(text) <= width) {
            break;
        }
    }
    return text;
}

std::string FormatInWidth(int width, int decimals, double value) {
    const std::string full = uncutFixed(width, decimals, value);
    if (!std::isfinite(value) || characterCount(full) <= width) {
        return FormatFixed(width, decimals, value);
    }
    // Cut to the width, the text keeps its magnitude when what is cut off
    // comes after the decimal point of a fixed text.
    const std::size_t exponent = full.find('E');
    const std::size_t point = full.find(DecimalSeparator());
    const std::string whole = full.substr(0, std::min(exponent, point));
    if (exponent == std::string::npos && characterCount(whole) <= width) {
        return FormatFixed(width, decimals, value);
    }
    return ScientificInWidth(width, value);
}

std::string FormatExponent(int precision, int expDigits, double value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    Decimal d;
    if (!expand(value, d)) {
        return "NaN";
    }
    const int p = effectivePrecision(precision);
    roundTo(d, p);
    if (d.count == 0) {
        d.negative = false;
        d.exponent = 1; // zero is written 0.0E+0
    }
    std::string text;
    if (d.negative) {
        text += '-';
    }
    text += digitAt(d, 0);
    text += separatorStorage();
    for (int i = 1; i < p; ++i) {
        text += digitAt(d, i);
    }
    const int shown = d.exponent - 1;
    text += 'E';
    text += shown < 0 ? '-' : '+';
    // Four or more asks for no minimum at all.
    const int minDigits = expDigits >= 1 && expDigits <= 3 ? expDigits : 1;
    appendExponentDigits(text, std::abs(shown), minDigits);
    return text;
}

int32_t RoundNearest(double x) {
    constexpr double kLimit = 2147483647.0;
    if (std::isnan(x)) {
        return 0;
    }
    if (x < -kLimit) {
        return -2147483647;
    }
    if (x > kLimit) {
        return 2147483647;
    }
    const double f = std::floor(x);
    const double c = std::ceil(x);
    return static_cast<int32_t>((x - f) > (c - x) ? c : f);
}

void SetDecimalSeparator(std::string_view separator) {
    separatorStorage() = separator.empty() ? std::string(".") : std::string(separator);
}

const std::string& DecimalSeparator() {
    return separatorStorage();
}
