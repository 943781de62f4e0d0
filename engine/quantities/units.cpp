#include "units.h"

#include "number_parse.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

enum class Conversion {
    Linear, // base = value * scale + offset
    Dbm,    // base watts from dBm
    Dbw,    // base watts from dBW
};

struct UnitRow {
    UnitFamily family;
    const char* unit; // as written after the number
    Conversion conversion;
    double scale;
    double offset;
};

// clang-format off
constexpr std::array<UnitRow, 33> kUnitTable = {{
    {UnitFamily::Distance, "mi", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Distance, "km", Conversion::Linear, 1.0 / kKilometresPerMile, 0.0},
    {UnitFamily::Distance, "m", Conversion::Linear, 1.0 / (1000.0 * kKilometresPerMile), 0.0},
    {UnitFamily::Distance, "nmi", Conversion::Linear, kKilometresPerNauticalMile / kKilometresPerMile, 0.0},
    {UnitFamily::Frequency, "Hz", Conversion::Linear, 1e-6, 0.0},
    {UnitFamily::Frequency, "kHz", Conversion::Linear, 1e-3, 0.0},
    {UnitFamily::Frequency, "MHz", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Frequency, "GHz", Conversion::Linear, 1e3, 0.0},
    {UnitFamily::Power, "W", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Power, "mW", Conversion::Linear, 1e-3, 0.0},
    {UnitFamily::Power, "dBm", Conversion::Dbm, 1.0, 0.0},
    {UnitFamily::Power, "dBW", Conversion::Dbw, 1.0, 0.0},
    {UnitFamily::BitRate, "bps", Conversion::Linear, 1e-3, 0.0},
    {UnitFamily::BitRate, "kbps", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::BitRate, "Mbps", Conversion::Linear, 1e3, 0.0},
    {UnitFamily::Decibel, "dB", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::AntennaGain, "dB", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::AntennaGain, "dBi", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::AntennaGain, "dBd", Conversion::Linear, 1.0, kDbdToDbi},
    {UnitFamily::Length, "m", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Length, "ft", Conversion::Linear, kMetresPerFoot, 0.0},
    {UnitFamily::Fraction, "%", Conversion::Linear, 0.01, 0.0},
    {UnitFamily::Percent, "%", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Angle, "deg", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::RainRate, "mm/h", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Temperature, "K", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Temperature, "degC", Conversion::Linear, 1.0, kCelsiusZeroK},
    {UnitFamily::Pressure, "hPa", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Altitude, "km", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::Altitude, "m", Conversion::Linear, 1e-3, 0.0},
    {UnitFamily::SymbolRate, "Bd", Conversion::Linear, 1.0, 0.0},
    {UnitFamily::SymbolRate, "kBd", Conversion::Linear, 1e3, 0.0},
    {UnitFamily::SymbolRate, "MBd", Conversion::Linear, 1e6, 0.0},
}};
// clang-format on

const UnitRow* findUnit(UnitFamily family, std::string_view unit) {
    const auto row = std::find_if(kUnitTable.begin(), kUnitTable.end(), [&](const UnitRow& r) {
        return r.family == family && unit == r.unit;
    });
    return row == kUnitTable.end() ? nullptr : &*row;
}

double convert(const UnitRow& row, double value) {
    switch (row.conversion) {
    case Conversion::Linear:
        return value * row.scale + row.offset;
    case Conversion::Dbm:
        return std::pow(10.0, (value - 30.0) / 10.0);
    case Conversion::Dbw:
        return std::pow(10.0, value / 10.0);
    }
    return value;
}

// The inverse of convert; NaN where the base value has no number in the unit.
double invert(const UnitRow& row, double base) {
    switch (row.conversion) {
    case Conversion::Linear:
        return (base - row.offset) / row.scale;
    case Conversion::Dbm:
        return base > 0.0 ? 10.0 * std::log10(base) + 30.0 : std::nan("");
    case Conversion::Dbw:
        return base > 0.0 ? 10.0 * std::log10(base) : std::nan("");
    }
    return base;
}

// The characters a unit of the family may be written with: letters, and the
// signs of the units that have them ("%", "mm/h"). Only those, so that a
// stray sign after a number of another family still reads as no number.
bool isUnitCharacter(UnitFamily family, char c) {
    if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
        return true;
    }
    return std::any_of(kUnitTable.begin(), kUnitTable.end(), [&](const UnitRow& r) {
        return r.family == family && std::string_view(r.unit).find(c) != std::string_view::npos;
    });
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ParsePlainNumber(std::string_view text, double& value) {
    const std::string_view number = TrimBlanks(text);
    double parsed = 0.0;
    if (number.empty() || !TextToDouble(number, parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

UnitFault ParseQuantity(UnitFamily family, const char* defaultUnit, std::string_view text,
                        Quantity& out) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && isUnitCharacter(family, text[start - 1])) {
        --start;
    }
    // A number never ends in a letter: "2e" is a number with a unit "e".
    const std::string_view unit = text.substr(start, end - start);
    double given = 0.0;
    if (!ParsePlainNumber(text.substr(0, start), given)) {
        return UnitFault::NotANumber;
    }
    const UnitRow* row = findUnit(family, unit.empty() && defaultUnit ? defaultUnit : unit);
    if (row == nullptr && !unit.empty()) {
        // A unit of another link factor is a wrong unit; letters that are no
        // such unit make the text no number.
        const bool known =
            std::any_of(kUnitTable.begin(), kUnitTable.end(), [unit](const UnitRow& r) {
                return r.family <= UnitFamily::AntennaGain && unit == r.unit;
            });
        return known ? UnitFault::WrongUnit : UnitFault::NotANumber;
    }
    const double value = row != nullptr ? convert(*row, given) : given;
    if (!std::isfinite(value)) {
        return UnitFault::OutOfRange;
    }
    out = Quantity{value, given, std::string(unit)};
    return UnitFault::None;
}

namespace {

// The row of `unit` (empty: `defaultUnit`): nullptr for the base unit itself
// (no unit and no default), none for a unit the family lacks.
std::optional<const UnitRow*> rowOfUnit(UnitFamily family, const char* defaultUnit,
                                        std::string_view unit) {
    if (unit.empty() && defaultUnit == nullptr) {
        return nullptr;
    }
    const UnitRow* row = findUnit(family, unit.empty() ? std::string_view(defaultUnit) : unit);
    return row != nullptr ? std::optional<const UnitRow*>(row) : std::nullopt;
}

} // namespace

std::optional<double> ToBaseUnit(UnitFamily family, const char* defaultUnit, double given,
                                 std::string_view unit) {
    const std::optional<const UnitRow*> row = rowOfUnit(family, defaultUnit, unit);
    if (!row) {
        return std::nullopt;
    }
    return *row != nullptr ? convert(**row, given) : given;
}

std::optional<double> FromBaseUnit(UnitFamily family, const char* defaultUnit, double base,
                                   std::string_view unit) {
    const std::optional<const UnitRow*> row = rowOfUnit(family, defaultUnit, unit);
    if (!row) {
        return std::nullopt;
    }
    const double given = *row != nullptr ? invert(**row, base) : base;
    return std::isnan(given) ? std::nullopt : std::optional<double>(given);
}

std::string UnitList(UnitFamily family) {
    std::string list;
    for (const UnitRow& row : kUnitTable) {
        if (row.family == family) {
            list += list.empty() ? "" : ", ";
            list += row.unit;
        }
    }
    return list;
}

bool FamilyHasUnit(UnitFamily family, std::string_view unit) {
    return findUnit(family, unit) != nullptr;
}

double MilesToKilometres(double miles) {
    return miles * kKilometresPerMile;
}

std::string ShortestText(double value) {
    char text[32]; // the longest is "-2.2250738585072014e-308"
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '\'').append(text).append(1, '\'');
    return quoted;
}
