#include "calc_atmosphere_options.h"

#include "calc_text.h"

#include <algorithm>
#include <iterator>

namespace {

struct AtmosphereOption {
    ParamId id;
    const char* name;
};

constexpr AtmosphereOption kOptions[] = {
    {ParamId::Path, "--path"},
    {ParamId::SatelliteAltitude, "--satellite-altitude"},
    {ParamId::Latitude, "--latitude"},
    {ParamId::StationHeight, "--station-height"},
    {ParamId::Temperature, "--temperature"},
    {ParamId::Pressure, "--pressure"},
    {ParamId::VapourDensity, "--vapour-density"},
    {ParamId::VapourContent, "--vapour-content"},
    {ParamId::RainHeight, "--rain-height"},
    {ParamId::IsothermHeight, "--isotherm-height"},
    {ParamId::CloudLiquid, "--cloud-liquid"},
    {ParamId::WetRefractivity, "--wet-refractivity"},
};

std::string optionName(ParamId id) {
    const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                     [id](const AtmosphereOption& o) { return o.id == id; });
    return option != std::end(kOptions) ? option->name : ParamKey(ParamRowOf(id));
}

// "25", "25km", "288.15K": a bare number is in the row's default unit.
bool parseQuantityOption(const std::string& option, const ParamRow& row, std::string_view text,
                         DesignInputs& inputs, std::string& error) {
    Quantity quantity;
    if (ParseQuantity(row.family, row.defaultUnit, text, quantity) != UnitFault::None) {
        error = option + ": " + Quoted(text) + " is not a number (" + row.defaultUnit +
                ", or with a unit: " + UnitList(row.family) + ")";
        return false;
    }
    if (!ParamInBounds(row, quantity.value)) {
        error = option + ": " + Quoted(text) + " is out of range (" + row.rangeText + ")";
        return false;
    }
    inputs.add(row.id, {quantity.value, quantity.given, quantity.unit});
    return true;
}

} // namespace

bool ParseGasOption(std::string_view, DesignInputs& inputs, std::string&) {
    inputs.add(ParamId::Gas, {1.0, 1.0, {}});
    return true;
}

bool ParseAtmosphereOption(ParamId id, std::string_view value, DesignInputs& inputs,
                           std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    const std::string option = optionName(id);
    if (row.family == UnitFamily::Choice) {
        return ParseChoiceOption(option, id, value, inputs, error);
    }
    if (row.defaultUnit == nullptr) {
        return ParseNumberOption(option, id, value, inputs, error);
    }
    return parseQuantityOption(option, row, value, inputs, error);
}
