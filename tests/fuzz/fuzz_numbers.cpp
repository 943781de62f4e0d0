// Fuzzes the number readers behind the profile files and the value prompt:
// TextToLong in base 10 and the other strtol bases, TextToDouble and
// ParseNumber, checked against the C library read in the "C" locale.
//
// Input: one byte choosing the base (its value modulo 37, where 0 means "any
// prefix" and 1 stands for 10; a byte of 10 is base 10), then the text.
#include "fuzz_check.h"
#include "number_parse.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

int baseFromByte(unsigned char b) {
    const int base = b % 37;
    return base == 1 ? 10 : base;
}

std::string describe(std::string_view text, int base) {
    return "base " + std::to_string(base) + ", text \"" + fuzzcheck::Printable(text) + "\"";
}

void checkLong(std::string_view text, int base) {
    const std::string terminated(text);
    char* end = nullptr;
    const long wide = strtol_l(terminated.c_str(), &end, base, fuzzcheck::CLocale());
    const long clamped = std::min<long>(std::max<long>(wide, std::numeric_limits<int32_t>::min()),
                                        std::numeric_limits<int32_t>::max());
    const bool whole = end == terminated.c_str() + terminated.size();

    int32_t value = 0x5A5A5A5A;
    const bool ok = TextToLong(text, base, value);
    FUZZ_CHECK(ok == whole, describe(text, base) + " result " + std::to_string(ok));
    FUZZ_CHECK(value == clamped, describe(text, base) + " gave " + std::to_string(value) +
                                     ", the C library " + std::to_string(clamped));
}

// True when every character strtod consumed belongs to decimal notation:
// white space, signs, digits, ".", "e", "E" (not "inf", "nan" or "0x").
bool consumedIsDecimal(const char* begin, const char* end) {
    for (const char* p = begin; p != end; ++p) {
        const char c = *p;
        const bool decimal = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' ||
                             c == 'e' || c == 'E' || c == ' ' || c == '\t' || c == '\n' ||
                             c == '\v' || c == '\f' || c == '\r';
        if (!decimal) {
            return false;
        }
    }
    return true;
}

// The expected answer of TextToDouble: the whole text a finite decimal number.
bool referenceDouble(std::string_view text, double& value) {
    const std::string terminated(text);
    char* end = nullptr;
    value = strtod_l(terminated.c_str(), &end, fuzzcheck::CLocale());
    const bool whole = end == terminated.c_str() + terminated.size();
    return whole && consumedIsDecimal(terminated.c_str(), end) && std::isfinite(value);
}

// The prompt's bounds (low, high), also given high first: a clamped value
// always lies in its interval.
constexpr std::array<std::array<double, 2>, 6> kBounds{{
    {0.1, 10000.0},
    {1.0, 500000000.0},
    {1.0, 50.0},
    {0.0, 300.0},
    {-500.0, 500.0},
    {500.0, -500.0},
}};

void checkClamp(double x) {
    for (const auto& bounds : kBounds) {
        const double clamped = ClampToRange(bounds[0], bounds[1], x);
        FUZZ_CHECK(InRange(clamped, bounds[0], bounds[1]),
                   "ClampToRange(" + std::to_string(bounds[0]) + ", " + std::to_string(bounds[1]) +
                       ", " + std::to_string(x) + ") = " + std::to_string(clamped));
        if (InRange(x, bounds[0], bounds[1])) {
            FUZZ_CHECK(clamped == x, "a value inside its bounds was moved: " + std::to_string(x));
        }
    }
}

void checkDouble(std::string_view text) {
    double expected = 0.0;
    const bool expectedOk = referenceDouble(text, expected);

    double value = 12345.678;
    const bool ok = TextToDouble(text, value);
    FUZZ_CHECK(ok == expectedOk,
               "TextToDouble(\"" + fuzzcheck::Printable(text) + "\") result " + std::to_string(ok));
    if (ok) {
        FUZZ_CHECK(std::isfinite(value), "TextToDouble accepted a value that is not finite");
        FUZZ_CHECK(value == expected, "TextToDouble(\"" + fuzzcheck::Printable(text) + "\") gave " +
                                          std::to_string(value) + ", the C library " +
                                          std::to_string(expected));
    }

    double parsed = -777.0;
    const bool parsedOk = ParseNumber(text, parsed);
    FUZZ_CHECK(parsedOk == ok,
               "ParseNumber and TextToDouble disagree on \"" + fuzzcheck::Printable(text) + "\"");
    if (parsedOk) {
        FUZZ_CHECK(std::isfinite(parsed) && parsed == value, "ParseNumber(\"" +
                                                                 fuzzcheck::Printable(text) +
                                                                 "\") = " + std::to_string(parsed));
        checkClamp(parsed);
    } else {
        FUZZ_CHECK(parsed == 0.0, "a failed ParseNumber left " + std::to_string(parsed));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const int base = baseFromByte(data[0]);
    checkLong(text, base);
    if (base != 10) {
        checkLong(text, 10);
    }
    checkDouble(text);
    return 0;
}
