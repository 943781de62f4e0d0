#pragma once
// The values of the Waveform parameter, each by its name: the 28 DVB-S2
// MODCODs of ETSI EN 302 307-1 (dvbs2.h) as "dvbs2:qpsk-1/4", the automatic
// choice among them "dvbs2:auto", then LoRa (lora.h) at spreading factors 7
// to 12 and bandwidths of 125, 250 and 500 kHz as "lora:sf7:125" (also
// "lora:sf7"), in this order; and LoRa's coding rates. No Qt.
#include "dvbs2.h"
#include "units.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// 28 MODCODs, auto, and 6 spreading factors at 3 bandwidths.
constexpr std::size_t kWaveformChoiceCount = 28 + 1 + 6 * 3;

enum class WaveformKind { Dvbs2, Dvbs2Auto, Lora };

struct WaveformSetting {
    WaveformKind kind;
    const Dvbs2Modcod* modcod; // Dvbs2 only
    int spreadingFactor;       // Lora only
    int bandwidthKHz;          // Lora only
};

std::span<const Choice> WaveformChoices();

// The waveform of a choice index (one of WaveformChoices()).
WaveformSetting WaveformOfChoice(std::size_t index);

// "dvbs2:MODCOD", "dvbs2:auto" or "lora:sfN[:BW]", letter case ignored: its
// choice index. False with a one-line message (the DVB-S2 or LoRa reader's).
bool ParseWaveform(std::string_view text, std::size_t& index, std::string& error);

// "4/5" to "4/8": the choice index is CR - 1 of LoRa's 4/(4 + CR).
std::span<const Choice> LoraCodingRates();
