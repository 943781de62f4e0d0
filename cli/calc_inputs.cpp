#include "calc_inputs.h"

#include "calc_text.h"

#include <algorithm>
#include <cctype>

namespace {

std::string keyList() {
    std::string list;
    for (const FactorRow& row : FactorTable) {
        list += list.empty() ? "" : ", ";
        list += row.key;
    }
    return list;
}

} // namespace

bool DesignInputs::givesValue(ParamId id) const {
    return std::any_of(settings.begin(), settings.end(),
                       [id](const ParamAssignment& a) { return a.keyValue && a.id == id; });
}

void DesignInputs::applyTo(Design& design) const {
    for (const ParamAssignment& assignment : settings) {
        design.set(assignment.id, assignment.setting);
    }
}

bool DesignInputs::checkPathBounds(const DesignPoint& point, std::string& error) const {
    for (const PathBoundedValue& given : pathBounded) {
        const ParamRow& row = ParamRowOf(given.id);
        const double path = point[ParamId::Path];
        if (!InBoundsOnPath(row, given.value, path)) {
            error = given.option + ": " + Quoted(given.text) + " is out of range (" +
                    BoundsOnPath(row, path).text + ")";
            return false;
        }
    }
    return true;
}

std::string UnknownKeyMessage(std::string_view key) {
    return "unknown key " + Quoted(key) + " (keys: " + keyList() + ")";
}

bool ParseFactorQuantity(std::size_t factor, std::string_view text, Quantity& quantity,
                         std::string& error) {
    const FactorRow& row = FactorTable[factor];
    const std::string value = "value " + Quoted(text) + " of " + row.key;
    switch (ParseQuantity(row.units, nullptr, text, quantity)) {
    case UnitFault::None:
        return true;
    case UnitFault::NotANumber:
        error = value + " is not a number";
        return false;
    case UnitFault::WrongUnit: {
        std::size_t start = text.find_last_not_of(" \t");
        const std::size_t end = start + 1;
        while (start > 0 && std::isalpha(static_cast<unsigned char>(text[start - 1])) != 0) {
            --start;
        }
        error = "unit " + Quoted(text.substr(start, end - start)) + " does not fit " + row.key +
                " (units: " + UnitList(row.units) + ")";
        return false;
    }
    case UnitFault::OutOfRange:
        break;
    }
    error = value + " is out of range";
    return false;
}

bool ParseAssignment(std::string_view arg, DesignInputs& inputs, std::string& error) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string_view::npos) {
        error = "unexpected argument " + Quoted(arg) + " (expected Key=value or an option)";
        return false;
    }
    const std::string_view key = TrimBlanks(arg.substr(0, eq));
    const std::optional<std::size_t> factor = FindFactor(key);
    if (!factor) {
        error = UnknownKeyMessage(key);
        return false;
    }
    Quantity quantity;
    if (!ParseFactorQuantity(*factor, arg.substr(eq + 1), quantity, error)) {
        return false;
    }
    inputs.add(ParamOfFactor(*factor), SettingOf(quantity), true);
    return true;
}

bool ReadOptionNumber(std::string_view option, std::string_view value, double& number,
                      std::string& error) {
    if (!ParsePlainNumber(value, number)) {
        error = std::string(option) + " " + Quoted(value) + " is not a number";
        return false;
    }
    return true;
}

bool ParseNumberOption(std::string_view option, ParamId id, std::string_view text,
                       DesignInputs& inputs, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    double value = 0.0;
    if (!ParsePlainNumber(text, value)) {
        error = std::string(option) + ": " + Quoted(text) + " is not a number";
        return false;
    }
    if (BoundsDependOnPath(row)) {
        inputs.pathBounded.push_back({id, std::string(option), std::string(text), value});
    } else if (!ParamInBounds(row, value)) {
        error =
            std::string(option) + ": " + Quoted(text) + " is out of range (" + row.rangeText + ")";
        return false;
    }
    inputs.add(id, {value, value, {}});
    return true;
}

bool ParseChoiceOption(std::string_view option, ParamId id, std::string_view text,
                       DesignInputs& inputs, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    const std::optional<std::size_t> choice = FindChoice(row, TrimBlanks(text));
    if (!choice) {
        error =
            std::string(option) + ": " + Quoted(text) + " is not " + ChoiceNames(row, ", ", " or ");
        return false;
    }
    const double index = static_cast<double>(*choice);
    inputs.add(id, {index, index, {}});
    return true;
}

bool ParseQuantityOption(std::string_view option, ParamId id, std::string_view text,
                         Quantity& quantity, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    if (ParseQuantity(row.family, row.defaultUnit, text, quantity) != UnitFault::None) {
        const std::string unit = row.defaultUnit != nullptr ? row.defaultUnit : row.unitLabel;
        error = std::string(option) + ": " + Quoted(text) + " is not a number (" + unit +
                ", or with a unit: " + UnitList(row.family) + ")";
        return false;
    }
    if (!ParamInBounds(row, quantity.value)) {
        error =
            std::string(option) + ": " + Quoted(text) + " is out of range (" + row.rangeText + ")";
        return false;
    }
    return true;
}

bool ParseQuantityOption(std::string_view option, ParamId id, std::string_view text,
                         DesignInputs& inputs, std::string& error) {
    Quantity quantity;
    if (!ParseQuantityOption(option, id, text, quantity, error)) {
        return false;
    }
    inputs.add(id, SettingOf(quantity));
    return true;
}

bool ParseListItemOption(std::string_view option, ParamId id, std::string_view text,
                         DesignInputs& inputs, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    if (row.readItem != nullptr && !row.readItem(text, error)) {
        error = std::string(option) + ": " + error;
        return false;
    }
    const auto earlier = std::find_if(inputs.settings.begin(), inputs.settings.end(),
                                      [id](const ParamAssignment& a) { return a.id == id; });
    if (earlier == inputs.settings.end()) {
        inputs.add(id, {1.0, 1.0, {}, {std::string(text)}});
        return true;
    }
    ParamSetting& setting = earlier->setting;
    setting.items.emplace_back(text);
    setting.value = setting.given = static_cast<double>(setting.items.size());
    return true;
}
