#include "calc_propagation_options.h"

#include "calc_text.h"

namespace {

// Splits "a,b" at the first comma; `second` is empty without one.
void splitComma(std::string_view text, std::string_view& first, std::string_view& second,
                bool& hasSecond) {
    const std::size_t comma = text.find(',');
    hasSecond = comma != std::string_view::npos;
    first = text.substr(0, comma);
    second = hasSecond ? text.substr(comma + 1) : std::string_view();
}

// A number with an optional unit after it: "30", "30m", "98.4 ft".
bool parseLength(std::string_view text, Quantity& length) {
    return ParseQuantity(UnitFamily::Length, nullptr, text, length) == UnitFault::None;
}

bool parseHeight(std::string_view text, Quantity& height, std::string& error) {
    if (!parseLength(text, height)) {
        error = "--heights: " + Quoted(text) + " is not a height (metres, or with ft)";
        return false;
    }
    if (!ParamInBounds(ParamRowOf(ParamId::TxHeight), height.value)) {
        error = "--heights: " + Quoted(text) + " is below 0";
        return false;
    }
    return true;
}

bool parseDish(std::string_view name, ParamId diameterId, ParamId efficiencyId,
               std::string_view value, DesignInputs& inputs, std::string& error) {
    std::string_view size;
    std::string_view efficiencyText;
    bool withEfficiency = false;
    splitComma(value, size, efficiencyText, withEfficiency);
    Quantity diameter;
    if (!parseLength(size, diameter)) {
        error = std::string(name) + ": " + Quoted(size) + " is not a diameter (metres, or with ft)";
        return false;
    }
    if (!ParamInBounds(ParamRowOf(diameterId), diameter.value)) {
        error = std::string(name) + ": the diameter " + Quoted(size) + " must be more than 0";
        return false;
    }
    Quantity efficiency;
    if (withEfficiency) {
        const ParamRow& row = ParamRowOf(efficiencyId);
        if (ParseQuantity(row.family, row.defaultUnit, efficiencyText, efficiency) !=
            UnitFault::None) {
            error =
                std::string(name) + ": efficiency " + Quoted(efficiencyText) + " is not a number";
            return false;
        }
        if (!ParamInBounds(row, efficiency.value)) {
            error = std::string(name) + ": efficiency " + Quoted(efficiencyText) +
                    " is out of range (" + row.rangeText + ")";
            return false;
        }
    }
    inputs.add(diameterId, SettingOf(diameter));
    if (withEfficiency) {
        inputs.add(efficiencyId, SettingOf(efficiency));
    }
    return true;
}

} // namespace

bool ParseRainRateOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseNumberOption("--rain-rate", ParamId::RainRate, value, inputs, error);
}

bool ParseAvailabilityOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseNumberOption("--availability", ParamId::Availability, value, inputs, error);
}

bool ParsePolarizationOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseChoiceOption("--polarization", ParamId::RainPolarization, value, inputs, error);
}

bool ParseElevationOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseNumberOption("--elevation", ParamId::Elevation, value, inputs, error);
}

bool ParseHeightsOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    std::string_view first;
    std::string_view second;
    bool two = false;
    splitComma(value, first, second, two);
    if (!two) {
        error = "--heights " + Quoted(value) + " is not H1,H2";
        return false;
    }
    Quantity tx;
    Quantity rx;
    if (!parseHeight(first, tx, error) || !parseHeight(second, rx, error)) {
        return false;
    }
    inputs.add(ParamId::TxHeight, SettingOf(tx));
    inputs.add(ParamId::RxHeight, SettingOf(rx));
    return true;
}

bool ParseTxDishOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return parseDish("--tx-dish", ParamId::TxDishDiameter, ParamId::TxDishEfficiency, value, inputs,
                     error);
}

bool ParseRxDishOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return parseDish("--rx-dish", ParamId::RxDishDiameter, ParamId::RxDishEfficiency, value, inputs,
                     error);
}
