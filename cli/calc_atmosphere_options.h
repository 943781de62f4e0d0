#pragma once
// The Earth-space atmosphere's options: the path (--path), the gases on a
// terrestrial path (--gas), and the values of the atmosphere's parameters
// (--temperature, --station-height, --rain-height, ...). Each sets
// parameters of the design.
#include "calc_inputs.h"

#include <string>
#include <string_view>

// --gas: a flag.
bool ParseGasOption(std::string_view value, DesignInputs& inputs, std::string& error);

// The value of `option`, the option of parameter `id`: a choice's name, a
// plain number, or a number with a unit of the parameter's family (a bare
// number in its default unit); within the parameter's bounds.
bool ParseAtmosphereOption(std::string_view option, ParamId id, std::string_view value,
                           DesignInputs& inputs, std::string& error);
