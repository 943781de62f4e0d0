#include "link_factors.h"

#include "number_text.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr const char* kMainMenu = "PopupMenuMainFactors";
constexpr const char* kNoiseMenu = "PopupMenuNoise";
constexpr const char* kAntennaMenu = "PopupMenuAnttena";

} // namespace

// clang-format off
const std::array<FactorRow, kFactorCount> FactorTable = {{
    // field, key, default, slider, min, max, form position, scale, value label, decimals, unit,
    // panel, caption, pop-up menu, menu item, menu caption, prompt bounds, prompt text and
    // decimals, unit family, how it is solved for, whether solving gives the largest value
    {&LinkFactors::Range, "Range", 10.0, "ScrollBarRange", 1, 200, 1, 1, "LabelRange", 1, "Miles",
     FactorPanel::Panel1, "Range", kMainMenu, "PopMenuRange", "Range", 0.1, 10000,
     "Enter the range (miles)", 1, UnitFamily::Distance, SolveForm::Amplitude, true},
    {&LinkFactors::Freq, "Freq", 2250.0, "ScrollBarFreq", 2000, 35000, 2000, 10, "LabelFreq", 1, "MHz",
     FactorPanel::Panel1, "Frequency", kMainMenu, "PopMenuFrequency", "Frequency", 0.1, 10000,
     "Enter the frequency (MHz)", 1, UnitFamily::Frequency, SolveForm::Amplitude, true},
    {&LinkFactors::TxPower, "TxPower", 5.0, "ScrollBarTxPower", 1, 200, 1, 10, "LabelTxPower", 1, "Watts",
     FactorPanel::Panel1, "Tx Power", kMainMenu, "PopMenuTxPower", "Tx Power", 0.1, 10000,
     "Enter the transmit power (watts)", 1, UnitFamily::Power, SolveForm::Power, false},
    {&LinkFactors::BitRate, "BitRate", 1000.0, "ScrollBarBitRate", 1, 300000, 10, 10, "LabelBitRate", 1, "kbps",
     FactorPanel::Panel1, "Bit Rate", kMainMenu, "PopMenuBitRate", "Bit Rate", 1, 500000000,
     "Enter the bit rate", 0, UnitFamily::BitRate, SolveForm::Rate, true},
    {&LinkFactors::MinEbNoDesired, "MinEbNoDesired", 15.0, "ScrollBarMinEbNoDesired", 1, 50, 1, 1,
     "LabelMinEbNoDesired", 1, "dB",
     FactorPanel::Panel5, "Minimum Eb/No Desired", kMainMenu, "MinEbNoDesired1", "Min Eb/No Desired", 1, 50,
     "Enter the minimum Eb/No desired", 0, UnitFamily::Decibel, SolveForm::Reference, true},
    {&LinkFactors::LnaNoiseFigure, "LnaNoiseFigure", 0.1, "ScrollBarLnaNoiseFigure", 0, 300, 1, 10,
     "LabelLnaNoiseFigure", 1, "dB",
     FactorPanel::Panel4, "LNA Noise Figure", kNoiseMenu, "PopLNANoiseFigure", "LNA Noise Figure", 0, 300,
     "Enter the LNA Noise Figure", 1, UnitFamily::Decibel, SolveForm::Search, true},
    {&LinkFactors::LnaGain, "LnaGain", 6.0, "ScrollBarLnaGain", 0, 400, 1, 10, "LabelLnaGain", 1, "dB",
     FactorPanel::Panel4, "LNA Gain", kNoiseMenu, "PopLNAGain", "LNA Gain", 0, 400,
     "Enter the LNA Gain", 1, UnitFamily::Decibel, SolveForm::Search, false},
    {&LinkFactors::RxNoiseFigure, "RxNoiseFigure", 0.1, "ScrollBarRxNoiseFigure", 1, 300, 1, 10,
     "LabelRxNoiseFigure", 1, "dB",
     FactorPanel::Panel4, "Rx Noise Figure", kNoiseMenu, "PopRxNoiseFigure", "Rx Noise Figure", 0, 300,
     "Enter Rx Noise Figure", 1, UnitFamily::Decibel, SolveForm::Search, true},
    {&LinkFactors::TxFeedLoss, "TxFeedLoss", 1.0, "ScrollBarTxFeedLoss", 0, 300, 1, 10, "LabelTxFeedLoss", 1, "dB",
     FactorPanel::Panel3, "Tx Feed Loss", kAntennaMenu, "PopTxFeedLoss", "Tx Feed Loss", 0, 300,
     "Enter Tx Feed Loss", 1, UnitFamily::Decibel, SolveForm::Loss, true},
    {&LinkFactors::TxAntGain, "TxAntGain", 1.1, "ScrollBarTxAntGain", -500, 500, 1, 10, "LabelTxAntGain", 2, "dBi",
     FactorPanel::Panel3, "Tx Ant Gain", kAntennaMenu, "PopTxAntGain", "Tx Ant Gain", -500, 500,
     "Enter Tx Ant Gain", 1, UnitFamily::AntennaGain, SolveForm::Gain, false},
    {&LinkFactors::Weather, "Weather", 0.1, "ScrollBarWeather", 0, 200, 1, 10, "LabelWeather", 1, "dB",
     FactorPanel::Panel3, "Weather", kAntennaMenu, "PopWeather", "Weather", 0, 200,
     "Enter Weather Loss", 1, UnitFamily::Decibel, SolveForm::Loss, true},
    {&LinkFactors::Polarization, "Polarization", 0.1, "ScrollBarPolarization", 0, 200, 1, 10,
     "LabelPolarization", 1, "dB",
     FactorPanel::Panel3, "Polarization", kAntennaMenu, "PopPolarization", "Polarization", 0, 200,
     "Enter Polarization Loss", 1, UnitFamily::Decibel, SolveForm::Loss, true},
    {&LinkFactors::RxAntGain, "RxAntGain", 10.0, "ScrollBarRxAntGain", 0, 500, 1, 10, "LabelRxAntGain", 1, "dBi",
     FactorPanel::Panel3, "Rx Ant Gain", kAntennaMenu, "RxAntGain1", "Rx Ant Gain", 0, 500,
     "Enter Rx Antenna Gain", 1, UnitFamily::AntennaGain, SolveForm::Gain, false},
    {&LinkFactors::RxFeedLoss, "RxFeedLoss", 0.1, "ScrollBarRxFeedLoss", 0, 300, 1, 10, "LabelRxFeedLoss", 1, "dB",
     FactorPanel::Panel3, "Rx Feed Loss", kAntennaMenu, "PopRxFeedLoss", "Rx Feed Loss", 0, 300,
     "Enter Rx Feed Loss", 1, UnitFamily::Decibel, SolveForm::Loss, true},
}};
// clang-format on

std::size_t FactorIndexOf(double LinkFactors::*field) {
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        if (FactorTable[i].field == field) {
            return i;
        }
    }
    return FactorTable.size(); // not reached: every field has its row
}

const FactorRow& FactorRowOf(double LinkFactors::*field) {
    return FactorTable[FactorIndexOf(field)];
}

std::optional<std::size_t> FindFactor(std::string_view key) {
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        if (EqualNoCase(key, FactorTable[i].key)) {
            return i;
        }
    }
    return std::nullopt;
}

void SetDefaultFactors(LinkFactors& factors) {
    for (const FactorRow& row : FactorTable) {
        factors.*row.field = row.defaultValue;
    }
}

double SliderValue(const FactorRow& row, int position) {
    // One division of two exact doubles: the double nearest to position / scale.
    return static_cast<double>(position) / static_cast<double>(row.scale);
}

int SliderPosition(const FactorRow& row, double value) {
    const int32_t position = RoundNearest(value * row.scale);
    return std::clamp<int>(position, row.min, row.max);
}

std::string FactorValueText(const FactorRow& row, double value) {
    return FormatFixed(12, row.decimals, value);
}

std::string FactorShownText(const FactorRow& row, double value) {
    return FormatInWidth(12, row.decimals, value);
}

void SlidersToFactors(const SliderPositions& positions, LinkFactors& factors) {
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        factors.*FactorTable[i].field = SliderValue(FactorTable[i], positions[i]);
    }
}
