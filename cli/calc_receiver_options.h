#pragma once
// The receiver and waveform options: the receiver's chain (--stage, once per
// stage), the antenna's noise temperature (--antenna-temperature T|sky), the
// noise bandwidth, the antennas' pointing errors and axial ratios, and the
// waveform (--waveform with --coding-rate, --payload and --symbol-rate).
// Each sets parameters of the design.
#include "calc_inputs.h"
#include "waveform_choice.h"

#include <optional>
#include <string>
#include <string_view>

bool ParseStageOption(std::string_view value, DesignInputs& inputs, std::string& error);
// T in K (or with degC), or "sky".
bool ParseAntennaTemperatureOption(std::string_view value, DesignInputs& inputs,
                                   std::string& error);
bool ParseBandwidthOption(std::string_view value, DesignInputs& inputs, std::string& error);
// "TX_DEG[,RX_DEG]".
bool ParsePointingErrorOption(std::string_view value, DesignInputs& inputs, std::string& error);
// "TX_DB,RX_DB[,TILT_DEG]".
bool ParseAxialRatioOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseWaveformOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseCodingRateOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParsePayloadOption(std::string_view value, DesignInputs& inputs, std::string& error);
bool ParseSymbolRateOption(std::string_view value, DesignInputs& inputs, std::string& error);

// The kind of the waveform the command line gives, if it gives one.
std::optional<WaveformKind> GivenWaveform(const DesignInputs& inputs);
