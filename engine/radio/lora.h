#pragma once
// LoRa waveforms: demodulator SNR floor, sensitivity, bit rate and time on
// air. No Qt.
//
// Sources (Semtech):
//   - SX1276/77/78/79 datasheet, rev. 7 (2020), LoRa modem: the SNR floor of
//     each spreading factor (SF7 -7.5 dB ... SF12 -20 dB in 2.5 dB steps), the
//     bit rate Rb = SF * (BW / 2^SF) * 4 / (4 + CR), the low-data-rate
//     optimisation (on where the symbol lasts 16 ms or more);
//   - AN1200.22, LoRa Modulation Basics (2015): sensitivity =
//     -174 dBm/Hz + 10 log10 BW + NF + SNR floor;
//   - AN1200.13, LoRa Modem Designer's Guide (2013), time on air:
//       T_sym = 2^SF / BW
//       T_preamble = (n_preamble + 4.25) T_sym
//       n_payload = 8 + max(ceil((8 PL - 4 SF + 28 + 16 CRC - 20 IH)
//                                / (4 (SF - 2 DE))) (CR + 4), 0)
//     with PL the payload bytes, CRC = 1 (on), IH = 0 (explicit header) and
//     DE = 1 with the low-data-rate optimisation.
#include <string>
#include <string_view>

constexpr int kLoraLowestSf = 7;
constexpr int kLoraHighestSf = 12;
constexpr int kLoraMaxPayloadBytes = 255; // the radio's 8-bit payload length

struct LoraWaveform {
    int spreadingFactor = 7; // SF, 7 to 12
    int bandwidthKHz = 125;  // 125, 250 or 500
    int codingRate = 1;      // CR of 4/(4 + CR): 1 (4/5) to 4 (4/8)
    int payloadBytes = 20;   // 0 to 255
    int preambleSymbols = 8; // programmed preamble length
};

// "sfN" or "sfN:BW" (BW in kHz; letter case ignored) into the spreading
// factor and bandwidth; the bandwidth stays 125 kHz when not given.
bool ParseLoraModulation(std::string_view text, LoraWaveform& waveform, std::string& error);

// "4/5" to "4/8".
bool ParseLoraCodingRate(std::string_view text, LoraWaveform& waveform, std::string& error);

// Payload bytes, 0 to 255.
bool ParseLoraPayload(std::string_view text, LoraWaveform& waveform, std::string& error);

// T_sym in ms.
double LoraSymbolTimeMs(const LoraWaveform& waveform);

// True where the radio turns the low-data-rate optimisation on (T_sym >= 16 ms).
bool LoraLowDataRateOptimization(const LoraWaveform& waveform);

// The demodulator's SNR floor (dB) at spreading factor 7 to 12.
double LoraSnrFloorDb(int spreadingFactor);

// Sensitivity (dBm) with a receiver noise figure (dB).
double LoraSensitivityDbm(const LoraWaveform& waveform, double noiseFigureDb);

// Bit rate in bit/s.
double LoraBitRate(const LoraWaveform& waveform);

// Symbols after the preamble (header and payload), n_payload above.
int LoraPayloadSymbols(const LoraWaveform& waveform);

// Time on air of one packet, preamble included, in ms.
double LoraTimeOnAirMs(const LoraWaveform& waveform);
