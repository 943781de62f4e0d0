// Fuzzes the two hand-edited files a start reads: the input's bytes become
// both "Quillstone.Cfg" and "ServerOptions.Opt". Then the link settings and
// the colours are loaded, the link is calculated, every label text of the
// display is made, and the settings are saved and read back.
#include "cmn_color_defines.h"
#include "factor_table.h"
#include "fuzz_check.h"
#include "link_display.h"
#include "link_settings.h"
#include "number_text.h"
#include "profile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using fuzzcheck::Number;
using testing_support::DefaultFactors;

namespace {

bool sameFactors(const LinkFactors& a, const LinkFactors& b) {
    for (const FactorRow& row : FactorTable) {
        if (!(a.*row.field == b.*row.field)) {
            return false;
        }
    }
    return true;
}

// Every loaded factor is the file's value for its key or, when the key does
// not hold a whole finite number, the default.
void checkLoadedFactors(std::string_view file, const std::string& path, const LinkFactors& loaded) {
    const LinkFactors defaults = DefaultFactors();
    if (!fuzzcheck::Mentioned(file, "UserInfo")) {
        FUZZ_CHECK(sameFactors(loaded, defaults), "factors changed without a UserInfo section");
        return;
    }
    for (const FactorRow& row : FactorTable) {
        const double value = loaded.*row.field;
        FUZZ_CHECK(std::isfinite(value), std::string(row.key) + " loaded as " + Number(value));
        double read = 0.0;
        const double expected =
            ReadProfileDouble(path, "UserInfo", row.key, read) ? read : defaults.*row.field;
        FUZZ_CHECK(value == expected, std::string(row.key) + " loaded as " + Number(value) +
                                          ", the file says " + Number(expected));
    }
}

void checkLoadedPosition(std::string_view file, const WindowPosition& position) {
    if (!fuzzcheck::Mentioned(file, "MiscInfo")) {
        const WindowPosition design;
        FUZZ_CHECK(position.x == design.x && position.y == design.y,
                   "the window moved without a MiscInfo section");
    }
}

void checkColors(std::string_view file, const std::string& path) {
    CmnColorDefines colors{};
    SetDefaultColors(colors);
    ReadColorDefines(path, colors);
    for (const ColorKey& entry : ColorTable) {
        int32_t read = 0;
        const bool present =
            fuzzcheck::Mentioned(file, "COLORS") && ReadProfileInt(path, "COLORS", entry.key, read);
        const int32_t expected = present ? read : entry.defaultValue;
        FUZZ_CHECK(colors.*entry.field == expected, std::string(entry.key) + " = " +
                                                        std::to_string(colors.*entry.field) +
                                                        ", expected " + std::to_string(expected));
    }
}

bool hasExponentForm(std::string_view text) {
    // d.dE+d or d.dE-d with at least one exponent digit.
    return text.size() >= 6 && text[0] >= '0' && text[0] <= '9' && text[1] == '.' &&
           text[2] >= '0' && text[2] <= '9' && text[3] == 'E' &&
           (text[4] == '+' || text[4] == '-') &&
           text.find_first_not_of("0123456789", 5) == std::string_view::npos;
}

void checkDisplay(const LinkFactors& factors) {
    LinkResults results;
    constexpr double kUnwritten = -1234.5678125;
    for (const ResultRow& row : ResultTable) {
        results.*row.field = kUnwritten;
    }
    CalculateLink(factors, results);
    LinkDisplay display;
    MakeLinkDisplay(factors, results, display);

    for (size_t i = 0; i < kFactorCount; ++i) {
        const FactorRow& row = FactorTable[i];
        const double value = factors.*row.field;
        const std::string& text = display.valueTexts[i];
        FUZZ_CHECK(text.size() <= 12 && text == FormatFixed(12, row.decimals, value),
                   std::string(row.key) + " label \"" + text + "\" for " + Number(value));
        FUZZ_CHECK(display.positions[i] >= row.min && display.positions[i] <= row.max,
                   std::string(row.slider) + " at " + std::to_string(display.positions[i]) +
                       " for " + Number(value));
        // The value prompt's default text, with 0 or 1 decimals.
        for (int decimals = 0; decimals <= 1; ++decimals) {
            FUZZ_CHECK(FormatFixed(16, decimals, value).size() <= 16,
                       "prompt text of " + Number(value));
        }
    }
    for (size_t i = 0; i < kResultCount; ++i) {
        const ResultRow& row = ResultTable[i];
        const double value = results.*row.field;
        FUZZ_CHECK(value != kUnwritten, std::string(row.label) + " was not calculated");
        const std::string& text = display.resultTexts[i];
        FUZZ_CHECK(text.size() <= 7 && text == FormatFixed(7, 1, value * row.displayScale),
                   std::string(row.label) + " \"" + text + "\" for " + Number(value));
    }
    std::string_view bep = display.bepText;
    if (bep.substr(0, 2) == "< " || bep.substr(0, 2) == "> ") {
        bep.remove_prefix(2);
    }
    FUZZ_CHECK(hasExponentForm(bep), "bit error text \"" + display.bepText + "\"");
}

// Below this magnitude a value's nine-decimal text always fits in the 79
// characters of a formatted number and must come back as that text reads.
// From it on, the save may keep the value or give it up for the default.
constexpr double kKeptMagnitude = 1e68;

// The value the saved nine-decimal text reads back as; false when that text
// needs more than 79 characters.
bool savedText(double value, double& read) {
    char text[512];
    const int length = std::snprintf(text, sizeof text, "%.9f", value);
    if (length < 0 || length > 79) {
        return false;
    }
    read = strtod_l(text, nullptr, fuzzcheck::CLocale());
    return true;
}

bool cameBack(double saved, double reloaded, double defaultValue) {
    double read = 0.0;
    const bool fits = savedText(saved, read);
    if (std::fabs(saved) < kKeptMagnitude) {
        return fits && reloaded == read;
    }
    return reloaded == defaultValue || (fits && reloaded == read);
}

void checkSaveAndReload(const std::string& path, const LinkFactors& factors,
                        const WindowPosition& position) {
    FUZZ_CHECK(SaveLinkSettings(path, factors, position), "the save failed");
    LinkFactors reloaded = DefaultFactors();
    WindowPosition reloadedPosition{-1, -1};
    FUZZ_CHECK(LoadLinkSettings(path, reloaded, reloadedPosition), "the saved file is missing");
    for (const FactorRow& row : FactorTable) {
        FUZZ_CHECK(cameBack(factors.*row.field, reloaded.*row.field, row.defaultValue),
                   std::string(row.key) + " saved as " + Number(factors.*row.field) +
                       " came back as " + Number(reloaded.*row.field));
    }
    FUZZ_CHECK(reloadedPosition.x == position.x && reloadedPosition.y == position.y,
               "window position " + std::to_string(position.x) + "," + std::to_string(position.y) +
                   " came back as " + std::to_string(reloadedPosition.x) + "," +
                   std::to_string(reloadedPosition.y));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::string settingsPath = fuzzcheck::WriteScratch(kSettingsFileName, file);
    const std::string optionsPath = fuzzcheck::WriteScratch(kOptionsFileName, file);

    LinkFactors factors = DefaultFactors();
    WindowPosition position;
    FUZZ_CHECK(LoadLinkSettings(settingsPath, factors, position), "the file was not found");
    checkLoadedFactors(file, settingsPath, factors);
    checkLoadedPosition(file, position);
    checkColors(file, optionsPath);
    checkDisplay(factors);
    // A save of the defaults is the seed "sample"; only new values are worth
    // the sixteen writes of a save.
    const LinkFactors defaults = DefaultFactors();
    const WindowPosition design;
    if (!sameFactors(factors, defaults) || position.x != design.x || position.y != design.y) {
        checkSaveAndReload(settingsPath, factors, position);
    }
    return 0;
}
