#include "calc_modulation_options.h"

#include "calc_text.h"
#include "modulation.h"

std::string ModulationNames() {
    return ChoiceNames(ParamRowOf(ParamId::Modulation), ", ", ", ");
}

bool ParseModulationOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    const ModulationRow* modulation = FindModulation(value);
    if (modulation == nullptr) {
        error = "unknown modulation " + Quoted(value) + " (" + ModulationNames() + ")";
        return false;
    }
    const auto index = static_cast<double>(modulation - ModulationTable.data());
    inputs.add(ParamId::Modulation, {index, index, {}});
    return true;
}

bool ParseBerOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    double ber = 0.0;
    if (!ReadOptionNumber("--ber", value, ber, error)) {
        return false;
    }
    if (!ParamInBounds(ParamRowOf(ParamId::TargetBer), ber)) {
        error =
            "--ber " + std::string(value) + " must lie " + ParamRowOf(ParamId::TargetBer).rangeText;
        return false;
    }
    inputs.add(ParamId::TargetBer, {ber, ber, {}});
    return true;
}

bool ParseCodingGainOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    double gain = 0.0;
    if (!ReadOptionNumber("--coding-gain", value, gain, error)) {
        return false;
    }
    inputs.add(ParamId::CodingGain, {gain, gain, {}});
    return true;
}
