#include "link_calculation.h"

#include "number_text.h"

#include <cmath>

// Eb/No (dB) against errors per bit, used exactly as measured, including the
// rises from 8 to 9 dB and from 10 to 11 dB.
constexpr std::array<BepPoint, 8> BepTable = {{
    {8.0, 0.03},
    {9.0, 0.08},
    {10.0, 0.001},
    {11.0, 0.008},
    {12.0, 0.0005},
    {13.0, 0.00001},
    {14.0, 0.000001},
    {15.0, 0.0000001},
}};

const std::array<ResultRow, kResultCount> ResultTable = {{
    {&LinkResults::FreeSpaceAtten, "LabelFreeSpaceAtten", "Free Space Attenuation", "dB", 1.0},
    {&LinkResults::TxPowerdb, "LabelTxPowerdb", "Tx Power ", "dBm", 1.0},
    {&LinkResults::BitRatedb, "LabelBitRatedb", "Bit Rate", "dB", 1.0},
    {&LinkResults::NoiseTemp, "LabelNoiseTemp", "Noise Temp 290 deg K", "dBm/Hz", 1.0},
    {&LinkResults::NoisePbitNo, "LabelNoisePbitNo", "Noise pwr/bit No", "dB", 1.0},
    {&LinkResults::RxPbitEb, "LabelRxPbitEb", "Rx pwr/bit Eb", "dB", 1.0},
    {&LinkResults::RxEbNo, "LabelRxEbNo", "Received Eb/No", "dB", 1.0},
    {&LinkResults::FadeMargin, "LabelFadeMargin", "Fade Margin", "dB", 1.0},
    {&LinkResults::Reliability, "LabelReliability", "Link Reliability", "Percent", 100.0},
}};

namespace {

using BepColumn = std::array<double, BepTable.size()>;

constexpr BepColumn bepColumn(double BepPoint::*member) {
    BepColumn column{};
    for (std::size_t i = 0; i < BepTable.size(); ++i) {
        column[i] = BepTable[i].*member;
    }
    return column;
}

constexpr BepColumn kBepEbNo = bepColumn(&BepPoint::ebNo);
constexpr BepColumn kBepErrors = bepColumn(&BepPoint::bep);

constexpr double kDecibelToRatio = 0.1;

} // namespace

double SafeLog10(double x) {
    // Written so that a NaN fails the test as well.
    if (!(x > 0.0)) {
        return FailureSentinel;
    }
    return std::log10(x);
}

double WattsToDbm(double watts) {
    return 10.0 * SafeLog10(watts / kMilliwatt);
}

double SafePow(double base, double exponent) {
    // Overflow gives infinity, an invalid operation NaN: both are failures.
    // An underflow gives a finite tiny value or zero, which is the true one.
    const double result = std::pow(base, exponent);
    return std::isfinite(result) ? result : FailureSentinel;
}

void CalculateLink(const LinkFactors& f, LinkResults& r) {
    const double a = 20.0 * SafeLog10(f.Freq);
    const double b = 20.0 * SafeLog10(f.Range);
    const double s = b + a;
    r.FreeSpaceAtten = -(s + kFreeSpaceConstant);

    r.TxPowerdb = 10.0 * SafeLog10(f.TxPower / kMilliwatt);
    r.BitRatedb = 10.0 * SafeLog10(f.BitRate * kKilo);
    r.NoiseTemp = kNoiseDensity290K;

    // Two-stage cascade: LNA (F1, G) followed by the receiver (F2), as ratios.
    const double g = SafePow(10.0, kDecibelToRatio * f.LnaGain);
    const double f2 = SafePow(10.0, kDecibelToRatio * f.RxNoiseFigure);
    const double f1 = SafePow(10.0, kDecibelToRatio * f.LnaNoiseFigure);
    r.NoisePbitNo = 10.0 * SafeLog10(f1 + (f2 - 1.0) / g) + r.NoiseTemp;

    const double path =
        (r.TxPowerdb + r.FreeSpaceAtten - r.BitRatedb) - f.TxFeedLoss - f.Weather - f.Polarization;
    const double antennas = f.TxAntGain + f.RxAntGain - f.RxFeedLoss;
    r.RxPbitEb = path + antennas;

    r.RxEbNo = r.RxPbitEb - r.NoisePbitNo;
    r.FadeMargin = r.RxEbNo - f.MinEbNoDesired;

    const double o = SafePow(10.0, kDecibelToRatio * r.FadeMargin);
    const double outage = o == 0.0 ? 1.0 : 1.0 / o;
    r.Reliability = 1.0 - outage;
}

double InterpolateTable(int n, const double* xs, const double* ys, double x) {
    if (n <= 1) {
        return 0.0;
    }
    // Negated so that a NaN holds at the first point.
    if (!(x > xs[0])) {
        return ys[0];
    }
    if (x >= xs[n - 1]) {
        return ys[n - 1];
    }
    // x < xs[n-1] here, so the search ends by the last interval at the latest.
    int i = 0;
    while (i < n - 2 && !(x < xs[i + 1])) {
        ++i;
    }
    return ys[i + 1] + (x - xs[i + 1]) * (ys[i + 1] - ys[i]) / (xs[i + 1] - xs[i]);
}

double BitErrorPerformance(double minEbNo) {
    return InterpolateTable(static_cast<int>(BepTable.size()), kBepEbNo.data(), kBepErrors.data(),
                            minEbNo);
}

const ResultRow& ResultRowOf(double LinkResults::*field) {
    for (const ResultRow& row : ResultTable) {
        if (row.field == field) {
            return row;
        }
    }
    return ResultTable.front(); // not reached: every field has its row
}

std::string_view ResultKey(std::size_t index) {
    constexpr std::string_view kPrefix = "Label";
    std::string_view label = ResultTable[index].label;
    if (label.substr(0, kPrefix.size()) == kPrefix) {
        label.remove_prefix(kPrefix.size());
    }
    return label;
}

std::string BepText(double minEbNo) {
    const double bep = BitErrorPerformance(minEbNo);
    const std::string text = FormatExponent(2, 1, bep);
    if (minEbNo < kBepEbNo.front()) {
        return "< " + text;
    }
    if (minEbNo > kBepEbNo.back()) {
        return "> " + text;
    }
    return text;
}

std::string ResultText(const ResultRow& row, double value) {
    return FormatFixed(7, 1, value * row.displayScale);
}

std::string ResultShownText(const ResultRow& row, double value) {
    return FormatInWidth(7, 1, value * row.displayScale);
}

namespace {

constexpr const char* kDecibels = "10 log10 of the ratio";
constexpr const char* kFreeSpaceLoss =
    "free-space loss 36.6 + 20 log10 f(MHz) + 20 log10 d(mi) dB (ITU-R P.525-4)";
constexpr const char* kThermalNoise = "thermal noise density kT at 290 K";
constexpr const char* kFriisCascade =
    "two-stage cascade F = F1 + (F2 - 1) / G1, H. T. Friis, Proc. IRE 32 (1944)";

const char* factorCaption(double LinkFactors::*field) {
    return FactorRowOf(field).caption;
}

const char* resultCaption(double LinkResults::*field) {
    return ResultRowOf(field).caption;
}

} // namespace

std::array<LinkTerm, kLinkTermCount> LinkTerms(const LinkFactors& f, const LinkResults& r) {
    using L = LinkFactors;
    const double noiseFigure = r.NoisePbitNo - r.NoiseTemp; // dB, of the cascade
    return {{
        {"TxPower", factorCaption(&L::TxPower), r.TxPowerdb, "dBm", r.TxPowerdb, TermSide::Signal,
         kDecibels},
        {"TxFeedLoss", factorCaption(&L::TxFeedLoss), f.TxFeedLoss, "dB", -f.TxFeedLoss,
         TermSide::Signal, "as given"},
        {"TxAntGain", factorCaption(&L::TxAntGain), f.TxAntGain, "dBi", f.TxAntGain,
         TermSide::Signal, "as given"},
        {"FreeSpaceAtten", resultCaption(&LinkResults::FreeSpaceAtten), r.FreeSpaceAtten, "dB",
         r.FreeSpaceAtten, TermSide::Signal, kFreeSpaceLoss},
        {"Weather", factorCaption(&L::Weather), f.Weather, "dB", -f.Weather, TermSide::Signal,
         "as given"},
        {"Polarization", factorCaption(&L::Polarization), f.Polarization, "dB", -f.Polarization,
         TermSide::Signal, "as given"},
        {"RxAntGain", factorCaption(&L::RxAntGain), f.RxAntGain, "dBi", f.RxAntGain,
         TermSide::Signal, "as given"},
        {"RxFeedLoss", factorCaption(&L::RxFeedLoss), f.RxFeedLoss, "dB", -f.RxFeedLoss,
         TermSide::Signal, "as given"},
        {"BitRate", factorCaption(&L::BitRate), r.BitRatedb, "dB", -r.BitRatedb, TermSide::Signal,
         "Eb: the received power per bit, less 10 log10 of the bit rate in bit/s"},
        {"NoiseTemp", resultCaption(&LinkResults::NoiseTemp), r.NoiseTemp, "dBm/Hz", -r.NoiseTemp,
         TermSide::Noise, kThermalNoise},
        {"NoiseFigure", "Noise figure (LNA and receiver)", noiseFigure, "dB", -noiseFigure,
         TermSide::Noise, kFriisCascade},
        {"MinEbNoDesired", factorCaption(&L::MinEbNoDesired), f.MinEbNoDesired, "dB",
         -f.MinEbNoDesired, TermSide::Requirement, "as given"},
    }};
}
