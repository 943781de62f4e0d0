#include "calc_atmosphere_options.h"

bool ParseGasOption(std::string_view, DesignInputs& inputs, std::string&) {
    inputs.add(ParamId::Gas, {1.0, 1.0, {}});
    return true;
}

bool ParseAtmosphereOption(std::string_view option, ParamId id, std::string_view value,
                           DesignInputs& inputs, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    if (row.family == UnitFamily::Choice) {
        return ParseChoiceOption(option, id, value, inputs, error);
    }
    if (row.defaultUnit == nullptr) {
        return ParseNumberOption(option, id, value, inputs, error);
    }
    return ParseQuantityOption(option, id, value, inputs, error);
}
