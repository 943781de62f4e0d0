#pragma once
// --modulation M --ber P [--coding-gain DB]: MinEbNoDesired from a modulation
// and a target bit error rate, less a coding gain.
#include "calc_inputs.h"

#include <string>
#include <string_view>

bool ParseModulationOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseBerOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseCodingGainOption(std::string_view value, DesignInputs& inputs, std::string& error);

// "bpsk, qpsk, ...": for the help text.
std::string ModulationNames();
