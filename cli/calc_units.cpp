#include "calc_units.h"

#include "calc_options.h"
#include "link_calculation.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace {

enum class Conversion {
    Scale,  // own = value * factor
    Offset, // own = value + factor (dB against dB)
    Dbm,    // own watts from dBm
    Dbw,    // own watts from dBW
};

struct UnitRow {
    const char* factorUnit; // the factor's own unit label, e.g. "Miles"
    const char* unit;       // as written after the number
    Conversion conversion;
    double factor;
};

// clang-format off
constexpr std::array<UnitRow, 19> kUnitTable = {{
    {"Miles", "mi", Conversion::Scale, 1.0},
    {"Miles", "km", Conversion::Scale, 1.0 / kKilometresPerMile},
    {"Miles", "m", Conversion::Scale, 1.0 / (1000.0 * kKilometresPerMile)},
    {"Miles", "nmi", Conversion::Scale, kKilometresPerNauticalMile / kKilometresPerMile},
    {"MHz", "Hz", Conversion::Scale, 1e-6},
    {"MHz", "kHz", Conversion::Scale, 1e-3},
    {"MHz", "MHz", Conversion::Scale, 1.0},
    {"MHz", "GHz", Conversion::Scale, 1e3},
    {"Watts", "W", Conversion::Scale, 1.0},
    {"Watts", "mW", Conversion::Scale, 1e-3},
    {"Watts", "dBm", Conversion::Dbm, 0.0},
    {"Watts", "dBW", Conversion::Dbw, 0.0},
    {"kbps", "bps", Conversion::Scale, 1e-3},
    {"kbps", "kbps", Conversion::Scale, 1.0},
    {"kbps", "Mbps", Conversion::Scale, 1e3},
    {"dB", "dB", Conversion::Offset, 0.0},
    {"dBi", "dB", Conversion::Offset, 0.0},
    {"dBi", "dBi", Conversion::Offset, 0.0},
    {"dBi", "dBd", Conversion::Offset, kDbdToDbi},
}};
// clang-format on

bool sameText(const char* a, std::string_view b) {
    return std::string_view(a) == b;
}

double convert(const UnitRow& row, double value) {
    switch (row.conversion) {
    case Conversion::Scale:
        return value * row.factor;
    case Conversion::Offset:
        return value + row.factor;
    case Conversion::Dbm:
        return std::pow(10.0, (value - 30.0) / 10.0);
    case Conversion::Dbw:
        return std::pow(10.0, value / 10.0);
    }
    return value;
}

bool isUnitLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

} // namespace

std::string UnitList(std::size_t factor) {
    std::string list;
    for (const UnitRow& row : kUnitTable) {
        if (sameText(row.factorUnit, FactorTable[factor].unit)) {
            list += list.empty() ? "" : ", ";
            list += row.unit;
        }
    }
    return list;
}

bool ParseValueWithUnit(std::size_t factor, std::string_view text, double& value,
                        std::string& error) {
    const FactorRow& factorRow = FactorTable[factor];
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    std::size_t start = end;
    while (start > 0 && isUnitLetter(text[start - 1])) {
        --start;
    }
    // A number never ends in a letter: "2e" is a number with a unit "e".
    const std::string_view unit = text.substr(start, end - start);
    const std::string_view number = text.substr(0, start);
    double parsed = 0.0;
    if (!ParseFactorValue(number, parsed)) {
        error = "value '" + std::string(text) + "' of " + factorRow.key + " is not a number";
        return false;
    }
    if (unit.empty()) {
        value = parsed;
        return true;
    }
    const auto row = std::find_if(kUnitTable.begin(), kUnitTable.end(), [&](const UnitRow& r) {
        return sameText(r.factorUnit, factorRow.unit) && sameText(r.unit, unit);
    });
    if (row == kUnitTable.end()) {
        // Letters that are no unit at all make the text no number.
        const bool known = std::any_of(kUnitTable.begin(), kUnitTable.end(),
                                       [unit](const UnitRow& r) { return sameText(r.unit, unit); });
        error = known
                    ? "unit '" + std::string(unit) + "' does not fit " + factorRow.key +
                          " (units: " + UnitList(factor) + ")"
                    : "value '" + std::string(text) + "' of " + factorRow.key + " is not a number";
        return false;
    }
    const double converted = convert(*row, parsed);
    if (!std::isfinite(converted)) {
        error = "value '" + std::string(text) + "' of " + factorRow.key + " is out of range";
        return false;
    }
    value = converted;
    return true;
}

double MilesToKilometres(double miles) {
    return miles * kKilometresPerMile;
}

double WattsToDbm(double watts) {
    return 10.0 * SafeLog10(watts / kMilliwatt);
}

std::optional<MetricValue> MetricValueOf(std::size_t factor, double value) {
    const FactorRow& row = FactorTable[factor];
    if (row.field == &LinkFactors::Range) {
        return MetricValue{MilesToKilometres(value), "km", 2};
    }
    if (row.field == &LinkFactors::TxPower) {
        return MetricValue{WattsToDbm(value), "dBm", 1};
    }
    return std::nullopt;
}

std::string MetricNote(std::size_t factor, double value) {
    const std::optional<MetricValue> metric = MetricValueOf(factor, value);
    if (!metric) {
        return {};
    }
    return " (" + FormatFixed(12, metric->decimals, metric->value) + " " + metric->unit + ")";
}

void PutMetricJson(BufferedOutput& out, const MetricValue& metric) {
    out.put("{\"value\": ");
    PutJsonNumber(out, metric.value);
    out.put(", \"unit\": ");
    PutJsonString(out, metric.unit);
    out.put('}');
}

FactorNotes MetricNotes(const LinkFactors& factors) {
    FactorNotes notes;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        notes[i] = MetricNote(i, factors.*FactorTable[i].field);
    }
    return notes;
}

JsonMember MetricJson(const LinkFactors& factors) {
    return {"metric", [factors](BufferedOutput& out) {
                const char* separator = "{";
                for (std::size_t i = 0; i < FactorTable.size(); ++i) {
                    const FactorRow& row = FactorTable[i];
                    if (const auto metric = MetricValueOf(i, factors.*row.field)) {
                        out.put(separator);
                        PutJsonString(out, row.key);
                        out.put(": ");
                        PutMetricJson(out, *metric);
                        separator = ", ";
                    }
                }
                out.put('}');
            }};
}
