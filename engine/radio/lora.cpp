#include "lora.h"

#include "number_parse.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<int, 3> kBandwidthsKHz = {125, 250, 500};
constexpr double kLowDataRateSymbolMs = 16.0; // the radio's threshold
constexpr double kThermalNoiseDbmHz = -174.0; // at 290 K, rounded as Semtech gives it
constexpr double kSnrFloorSf7Db = -7.5;
constexpr double kSnrFloorStepDb = 2.5;        // per step of the spreading factor
constexpr double kPreambleExtraSymbols = 4.25; // sync word and start of frame
constexpr int kHeaderSymbols = 8;
constexpr int kCrcOn = 1;
constexpr int kImplicitHeader = 0;

bool readInteger(std::string_view text, int& value) {
    int32_t number = 0;
    if (text.empty() || !TextToLong(text, 10, number)) {
        return false;
    }
    value = number;
    return true;
}

} // namespace

bool ParseLoraModulation(std::string_view text, LoraWaveform& waveform, std::string& error) {
    const std::string quoted = "LoRa modulation '" + std::string(text) + "': ";
    if (text.size() < 2 || (text[0] != 's' && text[0] != 'S') ||
        (text[1] != 'f' && text[1] != 'F')) {
        error = quoted + "expected sfN or sfN:BW (e.g. sf9 or sf9:250)";
        return false;
    }
    const std::string_view rest = text.substr(2);
    const std::size_t colon = rest.find(':');
    int sf = 0;
    if (!readInteger(rest.substr(0, colon), sf) || sf < kLoraLowestSf || sf > kLoraHighestSf) {
        error = quoted + "the spreading factor must be 7 to 12";
        return false;
    }
    int bandwidth = kBandwidthsKHz.front();
    if (colon != std::string_view::npos && (!readInteger(rest.substr(colon + 1), bandwidth) ||
                                            std::find(kBandwidthsKHz.begin(), kBandwidthsKHz.end(),
                                                      bandwidth) == kBandwidthsKHz.end())) {
        error = quoted + "the bandwidth must be 125, 250 or 500 kHz";
        return false;
    }
    waveform.spreadingFactor = sf;
    waveform.bandwidthKHz = bandwidth;
    return true;
}

bool ParseLoraCodingRate(std::string_view text, LoraWaveform& waveform, std::string& error) {
    int denominator = 0;
    if (text.size() < 3 || text.substr(0, 2) != "4/" || !readInteger(text.substr(2), denominator) ||
        denominator < 5 || denominator > 8) {
        error = "LoRa coding rate '" + std::string(text) + "': expected 4/5, 4/6, 4/7 or 4/8";
        return false;
    }
    waveform.codingRate = denominator - 4;
    return true;
}

bool ParseLoraPayload(std::string_view text, LoraWaveform& waveform, std::string& error) {
    int bytes = 0;
    if (!readInteger(text, bytes) || bytes < 0 || bytes > kLoraMaxPayloadBytes) {
        error = "LoRa payload '" + std::string(text) + "': expected 0 to 255 bytes";
        return false;
    }
    waveform.payloadBytes = bytes;
    return true;
}

double LoraSymbolTimeMs(const LoraWaveform& waveform) {
    return std::ldexp(1.0, waveform.spreadingFactor) / waveform.bandwidthKHz;
}

bool LoraLowDataRateOptimization(const LoraWaveform& waveform) {
    return LoraSymbolTimeMs(waveform) >= kLowDataRateSymbolMs;
}

double LoraSnrFloorDb(int spreadingFactor) {
    return kSnrFloorSf7Db - kSnrFloorStepDb * (spreadingFactor - kLoraLowestSf);
}

double LoraSensitivityDbm(const LoraWaveform& waveform, double noiseFigureDb) {
    const double bandwidthHz = waveform.bandwidthKHz * 1e3;
    return kThermalNoiseDbmHz + 10.0 * std::log10(bandwidthHz) + noiseFigureDb +
           LoraSnrFloorDb(waveform.spreadingFactor);
}

double LoraBitRate(const LoraWaveform& waveform) {
    const double symbolRate =
        waveform.bandwidthKHz * 1e3 / std::ldexp(1.0, waveform.spreadingFactor);
    return waveform.spreadingFactor * symbolRate * 4.0 / (4.0 + waveform.codingRate);
}

int LoraPayloadSymbols(const LoraWaveform& waveform) {
    const int sf = waveform.spreadingFactor;
    const int de = LoraLowDataRateOptimization(waveform) ? 1 : 0;
    const int bits = 8 * waveform.payloadBytes - 4 * sf + 28 + 16 * kCrcOn - 20 * kImplicitHeader;
    const int perBlock = 4 * (sf - 2 * de);
    // Integer ceiling that also holds for a negative numerator.
    const int blocks = bits > 0 ? (bits + perBlock - 1) / perBlock : -(-bits / perBlock);
    return kHeaderSymbols + std::max(blocks * (waveform.codingRate + 4), 0);
}

double LoraTimeOnAirMs(const LoraWaveform& waveform) {
    const double preamble = waveform.preambleSymbols + kPreambleExtraSymbols;
    return (preamble + LoraPayloadSymbols(waveform)) * LoraSymbolTimeMs(waveform);
}
