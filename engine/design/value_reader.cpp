#include "value_reader.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

ValueReading refused(ValueFault fault) {
    ValueReading reading;
    reading.fault = fault;
    return reading;
}

// The letters after the number: the unit a WrongUnit reading names.
std::string writtenUnit(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])) == 0 &&
           text[start - 1] != '.' && text[start - 1] != ' ' && text[start - 1] != '\t') {
        --start;
    }
    return std::string(text.substr(start));
}

ValueReading inDomain(const ParamRow& row, ParamSetting setting, double path) {
    if (!InDomain(row, setting.value, path)) {
        return refused(ValueFault::OutOfRange);
    }
    ValueReading reading;
    reading.setting = std::move(setting);
    return reading;
}

// True when the text starts with a number too large for a double (1e999):
// a value out of range rather than no number at all.
bool overflows(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc::result_out_of_range && end != text.data();
}

} // namespace

bool InDomain(const ParamRow& row, double value, double path) {
    return std::isfinite(value) && InBoundsOnPath(row, value, path);
}

ValueReading ReadValueText(const ParamRow& row, std::string_view text, double path,
                           std::string_view pickedUnit) {
    if (row.family == UnitFamily::List) {
        ValueReading reading;
        if (!ReadListSetting(row, text, reading.setting, reading.reason)) {
            reading.fault = ValueFault::BadEntry;
        }
        return reading;
    }
    if (row.choices != nullptr) {
        const std::optional<std::size_t> index = FindChoice(row, TrimBlanks(text));
        if (!index) {
            return refused(ValueFault::NotAChoice);
        }
        const auto value = static_cast<double>(*index);
        return inDomain(row, ParamSetting{value, value, {}}, path);
    }
    if (row.readNotation != nullptr) {
        const NotationReading notation = row.readNotation(text);
        if (notation.inNotation && !notation.error.empty()) {
            ValueReading reading = refused(ValueFault::BadEntry);
            reading.reason = notation.error;
            return reading;
        }
        if (notation.inNotation) {
            return inDomain(row, ParamSetting{notation.value, notation.value, {}}, path);
        }
    }
    Quantity quantity;
    switch (ParseQuantity(row.family, row.defaultUnit, text, quantity)) {
    case UnitFault::None:
        break;
    case UnitFault::NotANumber:
        return refused(overflows(text) ? ValueFault::OutOfRange : ValueFault::NotANumber);
    case UnitFault::WrongUnit: {
        ValueReading reading = refused(ValueFault::WrongUnit);
        reading.unit = writtenUnit(text);
        return reading;
    }
    case UnitFault::OutOfRange:
        return refused(ValueFault::OutOfRange);
    }
    if (quantity.unit.empty() && !pickedUnit.empty()) {
        return ReadValueNumber(row, quantity.given, pickedUnit, path);
    }
    return inDomain(row, SettingOf(quantity), path);
}

ValueReading ReadValueNumber(const ParamRow& row, double given, std::string_view unit,
                             double path) {
    const std::optional<double> base = ToBaseUnit(row.family, row.defaultUnit, given, unit);
    if (!base) {
        ValueReading reading = refused(ValueFault::WrongUnit);
        reading.unit = unit;
        return reading;
    }
    return inDomain(row, ParamSetting{*base, given, std::string(unit)}, path);
}

std::string ValueMessage(std::string_view subject, std::string_view shown, const ParamRow& row,
                         const ValueReading& reading, double path) {
    const std::string start = std::string(subject) + std::string(shown);
    const std::string units = UnitList(row.family);
    switch (reading.fault) {
    case ValueFault::None:
        break;
    case ValueFault::NotANumber: {
        // Where the family has a unit to write, say which a bare number is in.
        if (units.empty() || units.find(',') == std::string::npos) {
            return start + " is not a number";
        }
        const char* bare = row.defaultUnit != nullptr ? row.defaultUnit : ParamUnitLabel(row);
        return start + " is not a number (" + bare + ", or with a unit: " + units + ")";
    }
    case ValueFault::WrongUnit:
        return std::string(subject) + "unit " + Quoted(reading.unit) + " does not fit " +
               ParamKey(row) + " (units: " + units + ")";
    case ValueFault::OutOfRange: {
        const std::string bounds = BoundsOnPath(row, path).text;
        return start + " is out of range" + (bounds.empty() ? "" : " (" + bounds + ")");
    }
    case ValueFault::NotAChoice:
        return start + " is not " + ChoiceNames(row, ", ", " or ");
    case ValueFault::BadEntry:
        return std::string(subject) + reading.reason;
    }
    return start;
}
