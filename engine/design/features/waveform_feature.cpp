// A waveform's threshold in place of MinEbNoDesired (waveform_choice.h):
//   - a DVB-S2 MODCOD of ETSI EN 302 307-1 Table 13: Eb/N0 = Es/N0 less
//     10 log10 of its spectral efficiency (dvbs2.h); with a symbol rate the
//     budget's bit rate is the symbol rate times the efficiency;
//   - dvbs2:auto: the most efficient MODCOD whose threshold leaves the margin
//     (Margin) at the link's C/N0: at the symbol rate given, else at BitRate;
//   - LoRa (Semtech, lora.h): the demodulator's SNR floor in the LoRa
//     bandwidth, Eb/N0 = SNR + 10 log10 (BW / Rb), at the LoRa bit rate.
#include "section_writer.h"

#include "number_text.h"
#include "waveform_choice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kBitsPerKbit = 1000.0;
constexpr double kHzPerKHz = 1000.0;

double decibels(double ratio) {
    return 10.0 * std::log10(ratio);
}

WaveformSetting settingOf(const DesignPoint& point) {
    return WaveformOfChoice(static_cast<std::size_t>(point[ParamId::Waveform]));
}

const char* nameOf(const DesignPoint& point) {
    return WaveformChoices()[static_cast<std::size_t>(point[ParamId::Waveform])].name;
}

LoraWaveform loraOf(const DesignPoint& point, const WaveformSetting& setting) {
    LoraWaveform lora;
    lora.spreadingFactor = setting.spreadingFactor;
    lora.bandwidthKHz = setting.bandwidthKHz;
    lora.codingRate = static_cast<int>(point[ParamId::CodingRate]) + 1;
    lora.payloadBytes = static_cast<int>(point[ParamId::Payload]);
    return lora;
}

bool check(const DesignPoint& point, DesignFault& fault) {
    const bool lora = settingOf(point).kind == WaveformKind::Lora;
    if (lora && point.has(ParamId::SymbolRate)) {
        fault = {ParamId::SymbolRate,
                 std::string("a symbol rate is for a DVB-S2 waveform, not for ") + nameOf(point)};
    } else if (!lora && (point.has(ParamId::CodingRate) || point.has(ParamId::Payload))) {
        fault = {point.has(ParamId::CodingRate) ? ParamId::CodingRate : ParamId::Payload,
                 std::string("a coding rate and a payload are for a LoRa waveform, not for ") +
                     nameOf(point)};
    } else if (lora && point[ParamId::Payload] != std::floor(point[ParamId::Payload])) {
        fault = {ParamId::Payload, "the LoRa payload is a whole number of bytes"};
    } else {
        return true;
    }
    return false;
}

// The link's C/N0 (dBHz) before the waveform changes anything: it does not
// depend on the bit rate or the threshold.
double carrierToNoiseDensity(const BudgetSheet& sheet) {
    LinkResults r{};
    CalculateLink(sheet.effective, r);
    const double no = sheet.receiver && sheet.receiver->systemNoise()
                          ? sheet.receiver->noiseDensityDbmHz
                          : r.NoisePbitNo;
    return r.RxPbitEb + r.BitRatedb - no;
}

void adjustDvbs2(const DesignPoint& point, const WaveformSetting& setting, BudgetSheet& sheet,
                 WaveformBudget& waveform) {
    const bool symbolRateGiven = point.has(ParamId::SymbolRate);
    waveform.modcod = setting.modcod;
    if (setting.kind == WaveformKind::Dvbs2Auto) {
        waveform.automatic = true;
        const double cn0 = carrierToNoiseDensity(sheet);
        const double margin = point[ParamId::Margin];
        const double bitRate = sheet.effective.BitRate * kBitsPerKbit;
        const std::optional<Dvbs2Selection> chosen =
            symbolRateGiven ? SelectDvbs2ModcodForCn0(cn0, margin, point[ParamId::SymbolRate])
                            : SelectDvbs2ModcodForEbNo(cn0 - decibels(bitRate), margin, bitRate);
        waveform.closes = chosen.has_value();
        // None keeps the margin: the most robust one, which falls short least.
        waveform.modcod = chosen ? chosen->modcod : &Dvbs2ModcodTable.front();
    }
    const double efficiency = Dvbs2Efficiency(*waveform.modcod);
    if (symbolRateGiven) {
        waveform.symbolRate = point[ParamId::SymbolRate];
        waveform.bitRate = waveform.symbolRate * efficiency;
        sheet.effective.BitRate = waveform.bitRate / kBitsPerKbit;
    } else {
        waveform.bitRate = sheet.effective.BitRate * kBitsPerKbit;
        waveform.symbolRate = waveform.bitRate / efficiency;
    }
    waveform.requiredEbNoDb = Dvbs2RequiredEbNoDb(*waveform.modcod);
}

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    const WaveformSetting setting = settingOf(point);
    WaveformBudget waveform;
    if (setting.kind == WaveformKind::Lora) {
        const LoraWaveform lora = loraOf(point, setting);
        waveform.lora = lora;
        waveform.bitRate = LoraBitRate(lora);
        waveform.requiredEbNoDb = LoraSnrFloorDb(lora.spreadingFactor) +
                                  decibels(lora.bandwidthKHz * kHzPerKHz / waveform.bitRate);
        sheet.effective.BitRate = waveform.bitRate / kBitsPerKbit;
    } else {
        adjustDvbs2(point, setting, sheet, waveform);
    }
    sheet.effective.MinEbNoDesired = waveform.requiredEbNoDb;
    sheet.waveform = waveform;
}

using Lines = SectionWriter;

void dvbs2Lines(const DesignPoint& point, const BudgetSheet& sheet, const WaveformBudget& waveform,
                Lines& out) {
    const Dvbs2Modcod& modcod = *waveform.modcod;
    const double efficiency = Dvbs2Efficiency(modcod);
    if (waveform.automatic) {
        const double margin = point[ParamId::Margin];
        out.text("Modcod", "MODCOD Chosen", 0.0, modcod.name, "modcod");
        out.add("MarginKept", "Margin Asked", margin, 1, "dB", "marginDb");
        if (!waveform.closes) {
            out.note("no MODCOD leaves a fade margin of " + FormatInWidth(12, 1, margin) +
                     " dB: the most robust, " + modcod.name + ", is shown");
        }
    }
    out.add("RequiredEsNo", "Required Es/No", modcod.requiredEsNoDb, 2, "dB", "requiredEsNoDb");
    out.add("SpectralEfficiency", "Spectral Efficiency", efficiency, 6, "bit/symbol",
            "spectralEfficiency");
    out.add("RequiredEbNo", "Required Eb/No", waveform.requiredEbNoDb, 3, "dB", "requiredEbNoDb");
    out.add("EsNo", "Received Es/No", sheet.results.RxEbNo + decibels(efficiency), 2, "dB",
            "esNoDb");
    out.add("SymbolRate", "Symbol Rate", waveform.symbolRate, 1, "Bd", "symbolRateBd");
    if (point.has(ParamId::SymbolRate)) {
        out.add("Throughput", "Throughput", waveform.bitRate / kBitsPerKbit, 1, "kbps",
                "throughputKbps");
    }
}

void loraLines(const BudgetSheet& sheet, const WaveformBudget& waveform, Lines& out) {
    const LoraWaveform& lora = *waveform.lora;
    const ReceiverBudget& receiver = *sheet.receiver;
    const double sensitivity = LoraSensitivityDbm(lora, receiver.noise.receiver.noiseFigureDb);
    // The received power at the first stage's input, where the receiver's
    // sensitivity is counted.
    const double carrierDbm = sheet.results.RxPbitEb + sheet.results.BitRatedb;
    out.text("CodingRate", "Coding Rate", lora.codingRate,
             LoraCodingRates()[static_cast<std::size_t>(lora.codingRate - 1)].name, "codingRate");
    out.add("Payload", "Payload", lora.payloadBytes, 0, "bytes", "payloadBytes");
    out.add("LoraBitRate", "LoRa Bit Rate", waveform.bitRate, 2, "bit/s", "bitRateBps");
    out.add("SnrFloor", "SNR Floor", LoraSnrFloorDb(lora.spreadingFactor), 1, "dB", "snrFloorDb");
    out.add("RequiredEbNo", "Required Eb/No", waveform.requiredEbNoDb, 3, "dB", "requiredEbNoDb");
    out.add("Sensitivity", "Sensitivity", sensitivity, 2, "dBm", "sensitivityDbm");
    out.add("MarginOverSensitivity", "Margin over Sensitivity", carrierDbm - sensitivity, 2, "dB",
            "sensitivityMarginDb");
    out.add("TimeOnAir", "Time on Air", LoraTimeOnAirMs(lora), 3, "ms", "timeOnAirMs");
    const bool lowRate = LoraLowDataRateOptimization(lora);
    out.text("LowDataRateOpt", "Low Data Rate Optimize", lowRate ? 1.0 : 0.0,
             lowRate ? "on" : "off", "lowDataRateOptimization");
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    const WaveformBudget& waveform = *sheet.waveform;
    Lines out(section);
    out.text("Waveform", "Waveform", point[ParamId::Waveform], nameOf(point), "name");
    if (waveform.lora) {
        loraLines(sheet, waveform, out);
    } else {
        dvbs2Lines(point, sheet, waveform, out);
    }
}

// Where the threshold and a bit rate the waveform sets come from.
void terms(const DesignPoint& point, const BudgetSheet& sheet, std::vector<LinkTerm>& terms) {
    const bool lora = sheet.waveform->lora.has_value();
    for (LinkTerm& term : terms) {
        if (std::strcmp(term.key, "MinEbNoDesired") == 0) {
            term.source = lora ? "Semtech SX1276 SNR floor plus 10 log10 of the bandwidth over "
                                 "the bit rate"
                               : "ETSI EN 302 307-1 Table 13: the MODCOD's Es/No less 10 log10 "
                                 "of its spectral efficiency";
        } else if (std::strcmp(term.key, "BitRate") == 0 &&
                   (lora || point.has(ParamId::SymbolRate))) {
            term.source = lora ? "LoRa bit rate SF (BW / 2^SF) 4 / (4 + CR), Semtech SX1276"
                               : "the symbol rate times the MODCOD's spectral efficiency";
        }
    }
}

} // namespace

const FeatureRow kWaveformFeature{.section = "waveform",
                                  .title = "Waveform",
                                  .followsSolve = true,
                                  .pathDependent = true,
                                  .trigger = ParamId::Waveform,
                                  .check = check,
                                  .adjust = adjust,
                                  .lines = lines,
                                  .terms = terms};
