// Fuzzes the number texts: FormatFixed, FormatExponent and RoundNearest on
// arbitrary doubles (every bit pattern, so infinities, NaNs and subnormals
// too) and arbitrary precision and digit counts.
//
// Input: 8 bytes of the double, 4 bytes of the precision P (int32), 2 bytes of
// the digit count D (int16), all little-endian, then one byte choosing the
// decimal separator; missing bytes read as zero (a full stop).
#include "fuzz_check.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

// The full stop, a comma, the two-byte Arabic decimal separator (U+066B in
// UTF-8), and the empty text that restores the full stop.
constexpr std::array<std::string_view, 4> kSeparators{".", ",", "\xD9\xAB", ""};

struct FormatInput {
    double value = 0.0;
    int32_t precision = 0;
    int decimals = 0;
    std::string_view separator = ".";
};

FormatInput decode(const uint8_t* data, size_t size) {
    uint8_t bytes[15] = {};
    std::memcpy(bytes, data, std::min(size, sizeof bytes));
    FormatInput in;
    std::memcpy(&in.value, bytes, 8);
    std::memcpy(&in.precision, bytes + 8, 4);
    int16_t decimals = 0;
    std::memcpy(&decimals, bytes + 12, 2);
    in.decimals = decimals;
    in.separator = kSeparators[bytes[14] % kSeparators.size()];
    return in;
}

// The text with its separator written as a full stop, so that one character
// stands for it as it does for the cut. False when the text holds a full stop
// of its own or a piece of a cut separator.
bool normalized(const std::string& text, std::string& out) {
    const std::string& separator = DecimalSeparator();
    out = text;
    if (separator == ".") {
        return true;
    }
    if (out.find('.') != std::string::npos) {
        return false;
    }
    for (size_t at = out.find(separator); at != std::string::npos;
         at = out.find(separator, at + 1)) {
        out.replace(at, separator.size(), ".");
    }
    return std::all_of(out.begin(), out.end(), [](char c) { return (c & 0x80) == 0; });
}

std::string formatFixed(int precision, int decimals, double value) {
    const std::string text = FormatFixed(precision, decimals, value);
    std::string out;
    FUZZ_CHECK(normalized(text, out), "FormatFixed(" + std::to_string(precision) + ", " +
                                          std::to_string(decimals) + ") wrote \"" +
                                          fuzzcheck::Printable(text) + "\"");
    return out;
}

std::string describe(const char* routine, int precision, int decimals, double value,
                     const std::string& text) {
    return std::string(routine) + "(" + std::to_string(precision) + ", " +
           std::to_string(decimals) + ", " + fuzzcheck::Number(value) + ") = \"" +
           fuzzcheck::Printable(text) + "\"";
}

int effectivePrecision(int precision) {
    return std::clamp(precision, 2, 18);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool hasNonZeroDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

double parseC(const std::string& text, bool& whole) {
    char* end = nullptr;
    const double parsed = strtod_l(text.c_str(), &end, fuzzcheck::CLocale());
    whole = !text.empty() && end == text.c_str() + text.size();
    return parsed;
}

// The largest error a text of p significant digits (and, when decimals >= 0,
// at most that many decimals) may have against the value. The digits first
// pass through an 18-digit expansion, which may add half a unit of the 18th.
double allowedError(double value, double parsed, int p, int decimals) {
    const double magnitude = std::max(std::fabs(value), std::fabs(parsed));
    double bound = 0.0;
    if (magnitude > 0.0) {
        const double e = std::floor(std::log10(magnitude)) + 1.0; // digits before the point
        bound = 0.5 * std::pow(10.0, e - p) + std::pow(10.0, e - 18);
    }
    if (decimals >= 0) {
        bound = std::max(bound, 0.5 * std::pow(10.0, -decimals));
    }
    return bound * (1.0 + 1e-9) + magnitude * 4e-16 + std::numeric_limits<double>::denorm_min();
}

bool acceptedNonFinite(const std::string& text, double value, int precision, bool cutToPrecision) {
    const char* words[2] = {std::signbit(value) ? "-INF" : "INF", nullptr};
    if (std::isnan(value)) {
        words[0] = "NAN";
        words[1] = "-NAN"; // the sign of a NaN carries no meaning
    }
    for (const char* word : words) {
        if (word == nullptr) {
            continue;
        }
        const std::string w(word);
        if (text == w) {
            return true;
        }
        if (cutToPrecision && static_cast<int64_t>(w.size()) > precision &&
            text == w.substr(0, static_cast<size_t>(std::max(precision, 0)))) {
            return true;
        }
    }
    return false;
}

// "1E4", "-2.5E28": first digit not zero, no trailing zeros in the fraction,
// an exponent with no plus sign and no leading zeros, at least p.
void checkFixedScientific(const std::string& text, int p, const std::string& what) {
    const size_t mark = text.find('E');
    const size_t first = text[0] == '-' ? 1 : 0;
    FUZZ_CHECK(mark > first && text[first] >= '1' && text[first] <= '9', what);
    if (mark > first + 1) {
        FUZZ_CHECK(text[first + 1] == '.' && mark > first + 2 && text[mark - 1] != '0', what);
    }
    const std::string exponent = text.substr(mark + 1);
    FUZZ_CHECK(!exponent.empty() && exponent[0] >= '1' && exponent[0] <= '9', what);
    FUZZ_CHECK(exponent.size() <= 3 && std::all_of(exponent.begin(), exponent.end(), isDigit),
               what);
    FUZZ_CHECK(std::stoi(exponent) >= p, what);
}

// "-173.9", "2250.0", "7": integer digits of at most p, exactly D decimals.
void checkFixedPoint(const std::string& text, int p, int decimals, const std::string& what) {
    const size_t first = text[0] == '-' ? 1 : 0;
    const size_t point = text.find('.');
    const size_t integerEnd = point == std::string::npos ? text.size() : point;
    const std::string integer = text.substr(first, integerEnd - first);
    FUZZ_CHECK(!integer.empty() && std::all_of(integer.begin(), integer.end(), isDigit), what);
    FUZZ_CHECK(integer == "0" || (integer[0] != '0' && static_cast<int>(integer.size()) <= p),
               what);
    if (decimals > 0) {
        FUZZ_CHECK(point != std::string::npos, what);
        const std::string fraction = text.substr(point + 1);
        FUZZ_CHECK(static_cast<int>(fraction.size()) == decimals &&
                       std::all_of(fraction.begin(), fraction.end(), isDigit),
                   what);
    } else {
        FUZZ_CHECK(point == std::string::npos, what);
    }
}

void checkFixed(const FormatInput& in) {
    const std::string text = formatFixed(in.precision, in.decimals, in.value);
    const std::string what = describe("FormatFixed", in.precision, in.decimals, in.value, text);
    if (!std::isfinite(in.value)) {
        FUZZ_CHECK(acceptedNonFinite(text, in.value, in.precision, true), what);
        return;
    }
    FUZZ_CHECK(text != "Nan", what);
    FUZZ_CHECK(static_cast<int64_t>(text.size()) <= std::max(in.precision, 0), what);
    FUZZ_CHECK(text.find_first_not_of("-0123456789.E") == std::string::npos, what);
    // A text of exactly P characters may have been cut; only a whole text
    // can be checked for its form and read back.
    const bool whole = in.precision >= 1 && static_cast<int64_t>(text.size()) < in.precision;
    if (!whole) {
        return;
    }
    const std::string mantissa = text.substr(0, text.find('E'));
    FUZZ_CHECK(text[0] != '-' || hasNonZeroDigit(mantissa), what + ": a zero with a minus sign");
    const int p = effectivePrecision(in.precision);
    if (text.find('E') != std::string::npos) {
        checkFixedScientific(text, p, what);
    } else {
        checkFixedPoint(text, p, in.decimals, what);
    }
    bool parsedWhole = false;
    const double parsed = parseC(text, parsedWhole);
    FUZZ_CHECK(parsedWhole, what);
    if (in.decimals >= 0) {
        FUZZ_CHECK(std::fabs(parsed - in.value) <= allowedError(in.value, parsed, p, in.decimals),
                   what + ": too far from the value");
    }
}

// The text of -|v| is the text of |v| with a minus sign in front (then cut
// to P characters), unless both round to zero and so are the same text.
void checkFixedSymmetry(const FormatInput& in) {
    if (!std::isfinite(in.value) || in.precision < 1) {
        return;
    }
    const double magnitude = std::fabs(in.value);
    const std::string positive = formatFixed(in.precision, in.decimals, magnitude);
    const std::string negative = formatFixed(in.precision, in.decimals, -magnitude);
    const std::string what =
        describe("FormatFixed", in.precision, in.decimals, -magnitude, negative) + " against \"" +
        positive + "\"";
    FUZZ_CHECK(positive.empty() || positive[0] != '-', what);
    if (!negative.empty() && negative[0] == '-') {
        FUZZ_CHECK(negative == ("-" + positive).substr(0, static_cast<size_t>(in.precision)), what);
    } else {
        FUZZ_CHECK(negative == positive, what);
    }
}

// "-1.0E-7", "0.0E+000": sign only when negative, p - 1 digits after the
// point, a signed exponent of at least D digits (no minimum for D >= 4).
void checkExponent(const FormatInput& in) {
    const std::string raw = FormatExponent(in.precision, in.decimals, in.value);
    std::string text;
    FUZZ_CHECK(normalized(raw, text), "FormatExponent wrote \"" + fuzzcheck::Printable(raw) + "\"");
    const std::string what = describe("FormatExponent", in.precision, in.decimals, in.value, text);
    if (!std::isfinite(in.value)) {
        FUZZ_CHECK(acceptedNonFinite(text, in.value, in.precision, false), what);
        return;
    }
    FUZZ_CHECK(text != "NaN", what);
    const int p = effectivePrecision(in.precision);
    const size_t first = in.value < 0.0 ? 1 : 0;
    FUZZ_CHECK(text.size() > first + static_cast<size_t>(p) + 3, what);
    FUZZ_CHECK((text[0] == '-') == (in.value < 0.0), what + ": wrong sign");
    FUZZ_CHECK((text[first] != '0') == (in.value != 0.0), what + ": wrong leading digit");
    FUZZ_CHECK(text[first + 1] == '.', what);
    const size_t mark = first + 1 + static_cast<size_t>(p);
    for (size_t i = first + 2; i < mark; ++i) {
        FUZZ_CHECK(isDigit(text[i]), what);
    }
    FUZZ_CHECK(isDigit(text[first]) && text[mark] == 'E', what);
    FUZZ_CHECK(text[mark + 1] == '+' || text[mark + 1] == '-', what + ": exponent sign");
    const std::string exponent = text.substr(mark + 2);
    FUZZ_CHECK(!exponent.empty() && exponent.size() <= 3 &&
                   std::all_of(exponent.begin(), exponent.end(), isDigit),
               what);
    const std::string natural = std::to_string(std::abs(std::stoi(exponent)));
    const size_t minimum = in.decimals >= 1 && in.decimals <= 3 ? in.decimals : 0;
    FUZZ_CHECK(exponent.size() == std::max(natural.size(), minimum), what + ": exponent digits");
    bool parsedWhole = false;
    const double parsed = parseC(text, parsedWhole);
    FUZZ_CHECK(parsedWhole, what);
    FUZZ_CHECK(std::fabs(parsed - in.value) <= allowedError(in.value, parsed, p, -1),
               what + ": too far from the value");
}

void checkRound(double x) {
    constexpr int32_t kLimit = 2147483647;
    const int32_t r = RoundNearest(x);
    const std::string what = "RoundNearest(" + fuzzcheck::Number(x) + ") = " + std::to_string(r);
    FUZZ_CHECK(r >= -kLimit && r <= kLimit, what);
    if (std::isnan(x)) {
        FUZZ_CHECK(r == 0, what);
    } else if (x < -kLimit) {
        FUZZ_CHECK(r == -kLimit, what);
    } else if (x > kLimit) {
        FUZZ_CHECK(r == kLimit, what);
    } else {
        // The nearer integer; an exact half goes down.
        const double f = std::floor(x);
        const double c = std::ceil(x);
        const double expected = (x - f) > (c - x) ? c : f;
        FUZZ_CHECK(static_cast<double>(r) == expected, what);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FormatInput in = decode(data, size);
    SetDecimalSeparator(in.separator);
    checkFixed(in);
    checkFixedSymmetry(in);
    checkExponent(in);
    checkRound(in.value);
    return 0;
}
