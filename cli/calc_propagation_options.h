#pragma once
// The propagation options: rain attenuation from a rain rate (--rain-rate,
// --availability, --polarization, --elevation), the path's clearance over
// the earth (--heights) and antenna gains from dish sizes (--tx-dish,
// --rx-dish). Each sets parameters of the design.
#include "calc_inputs.h"

#include <string>
#include <string_view>

bool ParseRainRateOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseAvailabilityOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParsePolarizationOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseElevationOption(std::string_view value, DesignInputs& inputs, std::string& error);
// "H1,H2": metres, or with ft.
bool ParseHeightsOption(std::string_view value, DesignInputs& inputs, std::string& error);
// "D[,EFF]": D in metres or with ft; EFF a fraction (0.55) or a percentage (55%).
bool ParseTxDishOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseRxDishOption(std::string_view value, DesignInputs& inputs, std::string& error);
