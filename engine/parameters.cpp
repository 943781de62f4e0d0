#include "parameters.h"

#include "modulation.h"
#include "number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace {

constexpr double kAny = std::numeric_limits<double>::infinity();
constexpr double kFactor = 0.0; // a factor's default comes from the factor table

constexpr std::array<Choice, 3> kPolarizations{{
    {"h", "horizontal"},
    {"v", "vertical"},
    {"c", "circular"},
}};

std::span<const Choice> polarizations() {
    return kPolarizations;
}

std::span<const Choice> modulations() {
    constexpr std::size_t kCount = std::tuple_size_v<decltype(ModulationTable)>;
    static const std::array<Choice, kCount> names = [] {
        std::array<Choice, kCount> list{};
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i] = {ModulationTable[i].name, nullptr};
        }
        return list;
    }();
    return names;
}

constexpr const char* kFreeSpace = "free-space loss 36.6 + 20 log10 f(MHz) + 20 log10 d(mi) "
                                   "dB (ITU-R P.525-4)";
constexpr const char* kFriis = "noise figure of cascaded stages, H. T. Friis, Proc. IRE 32 (1944)";
constexpr const char* kRain = "ITU-R P.838-3 and ITU-R P.530-17 section 2.4.1";
constexpr const char* kClearance = "4/3 earth (ITU-R P.310), first Fresnel zone; ITU-R P.530-17 "
                                   "section 2.2";
constexpr const char* kDish = "G = eta (pi D / lambda)^2 (IEEE Std 145-2013)";
constexpr const char* kSklar = "B. Sklar, Digital Communications, 2nd ed., chapter 4";

using G = ParamGroup;
using U = UnitFamily;

// A factor's row: what the factor table does not hold.
constexpr ParamRow factor(ParamId id, double LinkFactors::*field, U family, G group,
                          const char* help, const char* source = nullptr,
                          ParamId replacedBy = ParamId::Count) {
    return {id,
            nullptr,
            field,
            nullptr,
            family,
            nullptr,
            nullptr,
            kFactor,
            -kAny,
            kAny,
            false,
            false,
            "",
            group,
            help,
            source,
            nullptr,
            id,
            replacedBy == ParamId::Count ? id : replacedBy};
}

} // namespace

// clang-format off
const std::array<ParamRow, kParamCount> ParamTable = {{
    factor(ParamId::Range, &LinkFactors::Range, U::Distance, G::Path,
           "distance between the antennas", kFreeSpace),
    factor(ParamId::Freq, &LinkFactors::Freq, U::Frequency, G::Path, "carrier frequency", kFreeSpace),
    factor(ParamId::TxPower, &LinkFactors::TxPower, U::Power, G::Transmitter,
           "transmitter output power into the feed"),
    factor(ParamId::BitRate, &LinkFactors::BitRate, U::BitRate, G::Requirement,
           "information bit rate: Eb is the received power less 10 log10 of it"),
    factor(ParamId::MinEbNoDesired, &LinkFactors::MinEbNoDesired, U::Decibel, G::Requirement,
           "the Eb/No the demodulator needs; the fade margin is measured against it", nullptr,
           ParamId::Modulation),
    factor(ParamId::LnaNoiseFigure, &LinkFactors::LnaNoiseFigure, U::Decibel, G::Receiver,
           "noise figure of the low-noise amplifier", kFriis),
    factor(ParamId::LnaGain, &LinkFactors::LnaGain, U::Decibel, G::Receiver,
           "gain of the low-noise amplifier", kFriis),
    factor(ParamId::RxNoiseFigure, &LinkFactors::RxNoiseFigure, U::Decibel, G::Receiver,
           "noise figure of the receiver after the LNA", kFriis),
    factor(ParamId::TxFeedLoss, &LinkFactors::TxFeedLoss, U::Decibel, G::Transmitter,
           "loss between the transmitter and its antenna"),
    factor(ParamId::TxAntGain, &LinkFactors::TxAntGain, U::AntennaGain, G::Transmitter,
           "gain of the transmitting antenna over isotropic", nullptr, ParamId::TxDishDiameter),
    factor(ParamId::Weather, &LinkFactors::Weather, U::Decibel, G::Path,
           "path loss for weather; a rain rate adds its rain loss"),
    factor(ParamId::Polarization, &LinkFactors::Polarization, U::Decibel, G::Path,
           "loss from a polarization mismatch of the antennas"),
    factor(ParamId::RxAntGain, &LinkFactors::RxAntGain, U::AntennaGain, G::Receiver,
           "gain of the receiving antenna over isotropic", nullptr, ParamId::RxDishDiameter),
    factor(ParamId::RxFeedLoss, &LinkFactors::RxFeedLoss, U::Decibel, G::Receiver,
           "loss between the receiving antenna and the LNA"),
    {ParamId::Margin, "Margin", nullptr, "Required Fade Margin", U::Decibel, nullptr, "dB", 0.0,
     -kAny, kAny, false, false, "", G::Requirement,
     "the fade margin a solve aims at", nullptr, nullptr, ParamId::Margin, ParamId::Margin},
    {ParamId::RainRate, "RainRate", nullptr, "Rain Rate", U::RainRate, nullptr, "mm/h", 0.0,
     0.0, std::numeric_limits<double>::max(), false, false, "0 mm/h or more", G::Rain,
     "rain rate exceeded 0.01 % of the time; adds the rain loss to Weather", kRain, nullptr,
     ParamId::RainRate, ParamId::RainRate},
    {ParamId::Availability, "Availability", nullptr, "Availability", U::Percent, nullptr, "Percent",
     99.99, 99.0, 99.999, false, false, "99.0 to 99.999 percent", G::Rain,
     "percentage of the year the link must hold against rain", kRain, nullptr,
     ParamId::RainRate, ParamId::Availability},
    {ParamId::RainPolarization, "RainPolarization", nullptr, "Rain Polarization", U::Choice,
     nullptr, "", 1.0, 0.0, 2.0, false, false, "h, v or c", G::Rain,
     "polarization the rain loss is worked out for", "ITU-R P.838-3 eqs. (4) and (5)",
     polarizations, ParamId::RainRate, ParamId::RainPolarization},
    {ParamId::Elevation, "Elevation", nullptr, "Rain Path Elevation", U::Angle, nullptr, "deg",
     0.0, 0.0, 90.0, false, false, "0 to 90 degrees", G::Rain,
     "elevation angle of the path", "ITU-R P.838-3 eqs. (4) and (5)", nullptr,
     ParamId::RainRate, ParamId::Elevation},
    {ParamId::TxHeight, "TxHeight", nullptr, "Tx Antenna Height", U::Length, nullptr, "m", 0.0,
     0.0, kAny, false, true, "0 or more", G::Clearance,
     "transmitting antenna's height above a smooth earth", kClearance, nullptr,
     ParamId::TxHeight, ParamId::TxHeight},
    {ParamId::RxHeight, "RxHeight", nullptr, "Rx Antenna Height", U::Length, nullptr, "m", 0.0,
     0.0, kAny, false, true, "0 or more", G::Clearance,
     "receiving antenna's height above a smooth earth", kClearance, nullptr,
     ParamId::RxHeight, ParamId::RxHeight},
    {ParamId::TxDishDiameter, "TxDishDiameter", nullptr, "Tx Dish Diameter", U::Length, nullptr,
     "m", 0.6, 0.0, kAny, true, true, "more than 0", G::Transmitter,
     "diameter of a transmitting dish; its gain replaces TxAntGain", kDish, nullptr,
     ParamId::TxDishDiameter, ParamId::TxDishDiameter},
    {ParamId::TxDishEfficiency, "TxDishEfficiency", nullptr, "Tx Dish Efficiency", U::Fraction,
     nullptr, "", 0.55, 0.0, 1.0, true, false, "more than 0, at most 1 or 100%", G::Transmitter,
     "aperture efficiency of the transmitting dish", kDish, nullptr, ParamId::TxDishDiameter,
     ParamId::TxDishEfficiency},
    {ParamId::RxDishDiameter, "RxDishDiameter", nullptr, "Rx Dish Diameter", U::Length, nullptr,
     "m", 0.6, 0.0, kAny, true, true, "more than 0", G::Receiver,
     "diameter of a receiving dish; its gain replaces RxAntGain", kDish, nullptr,
     ParamId::RxDishDiameter, ParamId::RxDishDiameter},
    {ParamId::RxDishEfficiency, "RxDishEfficiency", nullptr, "Rx Dish Efficiency", U::Fraction,
     nullptr, "", 0.55, 0.0, 1.0, true, false, "more than 0, at most 1 or 100%", G::Receiver,
     "aperture efficiency of the receiving dish", kDish, nullptr, ParamId::RxDishDiameter,
     ParamId::RxDishEfficiency},
    {ParamId::Modulation, "Modulation", nullptr, "Modulation", U::Choice, nullptr, "", 1.0, 0.0,
     6.0, false, false, "", G::Modulation,
     "modulation whose bit error rate sets MinEbNoDesired", kSklar, modulations,
     ParamId::Modulation, ParamId::Modulation},
    {ParamId::TargetBer, "TargetBer", nullptr, "Target BER", U::Probability, nullptr, "", 1e-6,
     0.0, 0.5, true, true, "between 0 and 0.5", G::Modulation,
     "bit error rate the link must reach", kSklar, nullptr, ParamId::Modulation,
     ParamId::TargetBer},
    {ParamId::CodingGain, "CodingGain", nullptr, "Coding Gain", U::Decibel, nullptr, "dB", 0.0,
     -kAny, kAny, false, false, "", G::Modulation,
     "coding gain taken off the required Eb/No", nullptr, nullptr, ParamId::Modulation,
     ParamId::CodingGain},
}};
// clang-format on

const ParamRow& ParamRowOf(ParamId id) {
    return ParamTable[IndexOf(id)];
}

namespace {} // namespace

const char* ParamKey(const ParamRow& row) {
    const FactorRow* factor = FactorOfParam(row);
    return factor != nullptr ? factor->key : row.key;
}

const ParamRow* FindParam(std::string_view key) {
    for (const ParamRow& row : ParamTable) {
        if (EqualNoCase(key, ParamKey(row))) {
            return &row;
        }
    }
    return nullptr;
}

ParamId ParamOfFactor(std::size_t factor) {
    for (const ParamRow& row : ParamTable) {
        if (row.factor == FactorTable[factor].field) {
            return row.id;
        }
    }
    return ParamId::Count; // not reached: every factor has its row
}

namespace {

// The factor row of each parameter, found once: a design's numbers are read
// through it at every evaluation.
const std::array<const FactorRow*, kParamCount>& factorRows() {
    static const std::array<const FactorRow*, kParamCount> rows = [] {
        std::array<const FactorRow*, kParamCount> list{};
        for (std::size_t i = 0; i < kParamCount; ++i) {
            list[i] =
                ParamTable[i].factor != nullptr ? &FactorRowOf(ParamTable[i].factor) : nullptr;
        }
        return list;
    }();
    return rows;
}

} // namespace

const FactorRow* FactorOfParam(const ParamRow& row) {
    return factorRows()[IndexOf(row.id)];
}

const char* ParamCaption(const ParamRow& row) {
    const FactorRow* factor = FactorOfParam(row);
    return factor != nullptr ? factor->caption : row.caption;
}

const char* ParamUnitLabel(const ParamRow& row) {
    const FactorRow* factor = FactorOfParam(row);
    return factor != nullptr ? factor->unit : row.unitLabel;
}

double ParamDefault(const ParamRow& row) {
    const FactorRow* factor = FactorOfParam(row);
    return factor != nullptr ? factor->defaultValue : row.defaultValue;
}

bool ParamInBounds(const ParamRow& row, double value) {
    const bool aboveLow = row.lowOpen ? value > row.low : value >= row.low;
    const bool belowHigh = row.highOpen ? value < row.high : value <= row.high;
    return aboveLow && belowHigh;
}

std::optional<std::size_t> FindChoice(const ParamRow& row, std::string_view text) {
    if (row.choices == nullptr) {
        return std::nullopt;
    }
    const std::span<const Choice> choices = row.choices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (EqualNoCase(text, choices[i].name) ||
            (choices[i].alias != nullptr && EqualNoCase(text, choices[i].alias))) {
            return i;
        }
    }
    return std::nullopt;
}

std::string ChoiceNames(const ParamRow& row, const char* separator, const char* last) {
    std::string names;
    const std::span<const Choice> choices = row.choices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        names += i == 0 ? "" : (i + 1 == choices.size() ? last : separator);
        names += choices[i].name;
    }
    return names;
}

std::string ParamValueText(const ParamRow& row, double value) {
    if (row.factor != nullptr) {
        return FactorValueText(FactorRowOf(row.factor), value);
    }
    if (row.choices != nullptr) {
        const std::span<const Choice> choices = row.choices();
        const auto index = static_cast<std::size_t>(value);
        return index < choices.size() ? choices[index].name : std::string();
    }
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

std::optional<MetricValue> MetricValueOf(std::size_t factor, double value) {
    const FactorRow& row = FactorTable[factor];
    if (row.field == &LinkFactors::Range) {
        return MetricValue{MilesToKilometres(value), "km", 2};
    }
    if (row.field == &LinkFactors::TxPower) {
        return MetricValue{WattsToDbm(value), "dBm", 1};
    }
    return std::nullopt;
}

std::string MetricNote(std::size_t factor, double value) {
    const std::optional<MetricValue> metric = MetricValueOf(factor, value);
    if (!metric) {
        return {};
    }
    return " (" + FormatFixed(12, metric->decimals, metric->value) + " " + metric->unit + ")";
}
