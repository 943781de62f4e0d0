#include "number_parse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace {

// The "C" locale, made once: the decimal point is always a full stop and the
// white space is the C library's, whatever the user's locale says.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

// Length of the longest decimal number at the start of the text: blanks,
// sign, digits with an optional ".", an optional exponent. 0 when there is
// none (so "inf", "nan" and the "x" of a hexadecimal number end the read).
std::size_t decimalPrefixLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t intStart = i;
    i = skipDigits(text, i);
    std::size_t mantissaDigits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = i + 1;
        const std::size_t fracEnd = skipDigits(text, fracStart);
        mantissaDigits += fracEnd - fracStart;
        i = fracEnd;
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t expEnd = skipDigits(text, j);
        if (expEnd > j) {
            i = expEnd;
        }
    }
    return i;
}

} // namespace

bool TextToLong(std::string_view text, int base, int32_t& value) {
    const bool validBase = base == 0 || (base >= 2 && base <= 36);
    if (!validBase) {
        value = 0;
        return text.empty();
    }
    // strtol needs a terminated string; a NUL inside the text stops the read
    // there and so counts as a character left over.
    const std::string terminated(text);
    char* end = nullptr;
    const long wide = strtol_l(terminated.c_str(), &end, base, cLocale());
    constexpr long kMin = std::numeric_limits<int32_t>::min();
    constexpr long kMax = std::numeric_limits<int32_t>::max();
    value = static_cast<int32_t>(std::clamp(wide, kMin, kMax));
    return static_cast<std::size_t>(end - terminated.c_str()) == text.size();
}

bool TextToDouble(std::string_view text, double& value) {
    const std::size_t length = decimalPrefixLength(text);
    value = 0.0;
    if (length == 0) {
        return text.empty();
    }
    const std::string number(text.substr(0, length));
    char* end = nullptr;
    const double read = strtod_l(number.c_str(), &end, cLocale());
    // An overflow such as 1e400 reads as infinity: not a usable value.
    if (!std::isfinite(read)) {
        return false;
    }
    value = read;
    return end == number.c_str() + number.size() && length == text.size();
}

bool ParseNumber(std::string_view text, double& value) {
    if (!TextToDouble(text, value)) {
        value = 0.0;
        return false;
    }
    return true;
}

bool InRange(double x, double a, double b) {
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    return low <= x && x <= high;
}

double ClampToRange(double a, double b, double x) {
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    if (x > high) {
        return high;
    }
    if (x < low) {
        return low;
    }
    // Not a number lies in no interval: the lower bound stands in for it.
    return std::isnan(x) ? low : x;
}
