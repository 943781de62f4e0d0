#include "profile.h"

#include "file_replace.h"
#include "number_parse.h"
#include "private_profile.h"
#include "profile_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

const char* const MissingKeyMarker = "BOGUS SECTION or KEY";

namespace {

constexpr std::size_t kValueBuffer = 1024; // characters, terminator included
constexpr std::size_t kNumberLimit = 79;   // characters of one formatted number
constexpr int kFormatFieldLimit = 99;      // width and decimals: two digits each
// From this magnitude on, a text with nine decimals no longer fits in
// kNumberLimit characters: 69 integer digits, the point and nine decimals
// already make 79, with a sign 80. Only a hand-edited file brings such values.
constexpr double kLargestMagnitude = 1e68;

// The profile read: the value text, or false when the file, the section or
// the key is missing.
bool readValueText(const std::string& file, const std::string& section, const std::string& key,
                   std::string& text) {
    text = platform::GetPrivateProfileString(section, key, MissingKeyMarker, kValueBuffer, file);
    return text != MissingKeyMarker;
}

// The texts of the two kinds of value a profile file holds.
std::string intText(int32_t value) {
    return FormatProfileNumber(static_cast<double>(value), 16, 0);
}

std::string doubleText(double value) {
    return FormatProfileNumber(value, 18, 9);
}

} // namespace

bool ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                    int32_t& value) {
    std::string text;
    if (!readValueText(file, section, key, text))
        return false;
    int32_t converted = 0;
    if (!TextToLong(text, 10, converted))
        return false;
    value = converted;
    return true;
}

bool ReadProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                       double& value) {
    std::string text;
    if (!readValueText(file, section, key, text))
        return false;
    double converted = 0.0;
    if (!TextToDouble(text, converted))
        return false;
    value = converted;
    return true;
}

bool WriteProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int32_t value) {
    return platform::WritePrivateProfileString(section, key, intText(value), file);
}

bool WriteProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                        double value) {
    return platform::WritePrivateProfileString(section, key, doubleText(value), file);
}

NewProfileFile::NewProfileFile() : m_document(std::make_unique<platform::ProfileDocument>()) {}

NewProfileFile::~NewProfileFile() = default;

bool NewProfileFile::WriteInt(const std::string& section, const std::string& key, int32_t value) {
    return m_document->set(section, key, intText(value));
}

bool NewProfileFile::WriteDouble(const std::string& section, const std::string& key, double value) {
    return m_document->set(section, key, doubleText(value));
}

bool NewProfileFile::Save(const std::string& file) const {
    return !file.empty() && platform::ReplaceFile(file, m_document->text());
}

// "%<width>.<decimals>f" in the "C" locale, then the blanks removed. The
// padding is counted against the limit just as the printed text would be.
std::string FormatProfileNumber(double value, int total, int decimals) {
    const int width = total - decimals;
    if (decimals < 0 || decimals > kFormatFieldLimit || width < -kFormatFieldLimit ||
        width > kFormatFieldLimit)
        return "INVALID";
    // Not finite ("inf", "nan" in printf) reads back as a failure just as
    // "INVALID" does; one text for every value that cannot be kept.
    if (!std::isfinite(value) || std::fabs(value) >= kLargestMagnitude)
        return "INVALID";
    char buffer[256]; // 68 integer digits, point, 99 decimals, sign
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return "INVALID";
    const std::string digits(buffer, end);
    const std::size_t printed = std::max(digits.size(), static_cast<std::size_t>(std::abs(width)));
    if (printed > kNumberLimit)
        return "INVALID";
    return digits; // no blanks: the padding would be removed again
}
