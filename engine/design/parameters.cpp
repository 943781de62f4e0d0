#include "parameters.h"

#include "design.h"

#include "link_calculation.h"
#include "modulation.h"
#include "number_text.h"
#include "receiver_chain.h"
#include "waveform_choice.h"

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

constexpr std::array<Choice, 2> kPathKinds{{
    {"terrestrial", nullptr},
    {"earth-space", nullptr},
}};

std::span<const Choice> pathKinds() {
    return kPathKinds;
}

constexpr std::array<Choice, 2> kSwitch{{
    {"off", nullptr},
    {"on", nullptr},
}};

std::span<const Choice> onOff() {
    return kSwitch;
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
constexpr const char* kTotal = "ITU-R P.618-13 section 2.5";
constexpr const char* kGas = "ITU-R P.676-12 Annexes 1 and 2";
constexpr const char* kReference = "ITU-R P.835-6, the mean annual global reference atmosphere";
constexpr const char* kSlantRain = "ITU-R P.618-13 section 2.2.1.1";
constexpr const char* kSystemNoise =
    "No = k Tsys, Tsys = Tant + (L - 1) 290 K + L Trx (G. Maral, M. Bousquet, Satellite "
    "Communications Systems, 5th ed., chapter 5)";
constexpr const char* kPointing = "12 (theta / theta_3dB)^2 dB (G. Maral, M. Bousquet, Satellite "
                                  "Communications Systems, 5th ed., chapter 5)";
constexpr const char* kAxialRatio = "polarization efficiency of two ellipses of the same hand on "
                                    "the Poincare sphere (W. L. Stutzman, Polarization in "
                                    "Electromagnetic Systems)";
constexpr const char* kWaveforms =
    "ETSI EN 302 307-1 Table 13; Semtech SX1276 datasheet, AN1200.13";

constexpr std::array<Choice, 1> kSky{{{"sky", nullptr}}};

std::span<const Choice> sky() {
    return kSky;
}

bool readStage(std::string_view text, std::string& error) {
    ReceiverStage stage;
    return ParseReceiverStage(text, stage, error);
}

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
           "noise figure of the low-noise amplifier", kFriis, ParamId::ReceiverStages),
    factor(ParamId::LnaGain, &LinkFactors::LnaGain, U::Decibel, G::Receiver,
           "gain of the low-noise amplifier", kFriis, ParamId::ReceiverStages),
    factor(ParamId::RxNoiseFigure, &LinkFactors::RxNoiseFigure, U::Decibel, G::Receiver,
           "noise figure of the receiver after the LNA", kFriis, ParamId::ReceiverStages),
    factor(ParamId::TxFeedLoss, &LinkFactors::TxFeedLoss, U::Decibel, G::Transmitter,
           "loss between the transmitter and its antenna"),
    factor(ParamId::TxAntGain, &LinkFactors::TxAntGain, U::AntennaGain, G::Transmitter,
           "gain of the transmitting antenna over isotropic", nullptr, ParamId::TxDishDiameter),
    factor(ParamId::Weather, &LinkFactors::Weather, U::Decibel, G::Path,
           "path loss for weather; a rain rate adds its rain loss"),
    factor(ParamId::Polarization, &LinkFactors::Polarization, U::Decibel, G::Path,
           "loss from a polarization mismatch of the antennas", nullptr, ParamId::TxAxialRatio),
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
     99.99, 95.0, 99.999, false, false, "95 to 99.999 percent", G::Rain,
     "percentage of the year the link must hold against rain (an Earth-space path: against "
     "the whole atmosphere)", kRain, nullptr, ParamId::RainRate, ParamId::Availability, nullptr,
     OnEarthSpacePath},
    {ParamId::RainPolarization, "RainPolarization", nullptr, "Rain Polarization", U::Choice,
     nullptr, "", 1.0, 0.0, 2.0, false, false, "h, v or c", G::Rain,
     "polarization the rain loss is worked out for", "ITU-R P.838-3 eqs. (4) and (5)",
     polarizations, ParamId::RainRate, ParamId::RainPolarization},
    {ParamId::Elevation, "Elevation", nullptr, "Path Elevation", U::Angle, nullptr, "deg",
     0.0, 0.0, 90.0, false, false, "0 to 90 degrees", G::Rain,
     "elevation angle of the path (an Earth-space path: of the satellite, 5 to 90 degrees)",
     "ITU-R P.838-3 eqs. (4) and (5)", nullptr,
     ParamId::RainRate, ParamId::Elevation, nullptr, OnEarthSpacePath},
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
    // Earth-space atmosphere
    {ParamId::Path, "Path", nullptr, "Path", U::Choice, nullptr, "", 0.0, 0.0, 1.0, false, false,
     "terrestrial or earth-space", G::Path,
     "terrestrial, or Earth-space: Range is the slant path and the atmosphere is in the budget",
     kTotal, pathKinds, ParamId::Path, ParamId::Path},
    {ParamId::Gas, "Gas", nullptr, "Gaseous Absorption", U::Choice, nullptr, "", 0.0, 0.0, 1.0,
     false, false, "off or on", G::Atmosphere,
     "adds the gases' loss to a terrestrial path (an Earth-space path always has it)",
     "ITU-R P.676-12 Annex 1", onOff, ParamId::Gas, ParamId::Gas},
    {ParamId::SatelliteAltitude, "SatelliteAltitude", nullptr, "Satellite Altitude", U::Altitude,
     "km", "km", 35786.0, 0.0, kAny, true, true, "more than 0 km", G::Path,
     "altitude of the satellite: Range becomes the slant path to it",
     "law of cosines over a spherical earth of radius 6371 km", nullptr, ParamId::Path,
     ParamId::SatelliteAltitude},
    {ParamId::Latitude, "Latitude", nullptr, "Station Latitude", U::Angle, nullptr, "deg", 0.0,
     -90.0, 90.0, false, false, "-90 to 90 degrees", G::Atmosphere,
     "latitude of the earth station, for the slant-path rain", kSlantRain, nullptr,
     ParamId::Path, ParamId::Latitude},
    {ParamId::StationHeight, "StationHeight", nullptr, "Station Height", U::Altitude, "m", "km",
     0.0, -0.5, 10.0, false, false, "-500 m to 10 km", G::Atmosphere,
     "height of the earth station above mean sea level", kReference, nullptr,
     ParamId::StationHeight, ParamId::StationHeight},
    {ParamId::Temperature, "Temperature", nullptr, "Temperature", U::Temperature, "degC", "K",
     288.15, 0.0, kAny, true, true, "above 0 K", G::Atmosphere,
     "surface air temperature at the station; else the reference atmosphere's", kReference,
     nullptr, ParamId::Temperature, ParamId::Temperature},
    {ParamId::Pressure, "Pressure", nullptr, "Pressure", U::Pressure, "hPa", "hPa", 1013.25,
     0.0, kAny, true, true, "more than 0 hPa", G::Atmosphere,
     "barometric pressure at the station (dry air and water vapour); else the reference "
     "atmosphere's", kReference, nullptr, ParamId::Pressure, ParamId::Pressure},
    {ParamId::VapourDensity, "VapourDensity", nullptr, "Water Vapour Density", U::VapourDensity,
     nullptr, "g/m3", 7.5, 0.0, kAny, false, true, "0 g/m3 or more", G::Atmosphere,
     "water-vapour density at the station; else the reference atmosphere's", kReference, nullptr,
     ParamId::VapourDensity, ParamId::VapourDensity},
    // 15 kg/m2: the column of the reference atmosphere, 7.5 g/m3 over a 2 km scale height.
    {ParamId::VapourContent, "VapourContent", nullptr, "Water Vapour Content", U::ColumnDensity,
     nullptr, "kg/m2", 15.0, 0.0, kAny, true, true, "more than 0 kg/m2", G::Atmosphere,
     "total columnar water vapour V_t (ITU-R P.836 maps it): the zenith water-vapour loss "
     "from it", kGas, nullptr, ParamId::Path, ParamId::VapourContent},
    {ParamId::RainHeight, "RainHeight", nullptr, "Rain Height", U::Altitude, "km", "km", 3.36,
     0.0, kAny, false, true, "0 km or more", G::Atmosphere,
     "rain height h_R of the slant-path rain (ITU-R P.839 maps it)", kSlantRain, nullptr,
     ParamId::RainRate, ParamId::RainHeight},
    {ParamId::IsothermHeight, "IsothermHeight", nullptr, "0 degC Isotherm Height", U::Altitude,
     "km", "km", 3.0, 0.0, kAny, false, true, "0 km or more", G::Atmosphere,
     "mean 0 degC isotherm height h_0 (ITU-R P.839 maps it): h_R = h_0 + 0.36 km",
     "ITU-R P.839-4", nullptr, ParamId::RainRate, ParamId::IsothermHeight},
    {ParamId::CloudLiquid, "CloudLiquid", nullptr, "Cloud Liquid Water", U::ColumnDensity,
     nullptr, "kg/m2", 0.0, 0.0, kAny, false, true, "0 kg/m2 or more", G::Atmosphere,
     "reduced columnar cloud liquid water L (ITU-R P.840 maps it): adds the clouds' loss",
     "ITU-R P.840-8", nullptr, ParamId::Path, ParamId::CloudLiquid},
    // 47.5: ITU-R P.453-14 of the reference atmosphere at sea level.
    {ParamId::WetRefractivity, "WetRefractivity", nullptr, "Wet Refractivity", U::Refractivity,
     nullptr, "N-units", 47.5, 0.0, kAny, false, true, "0 or more", G::Atmosphere,
     "wet term N_wet of the surface refractivity (ITU-R P.453 maps it); else from the air",
     "ITU-R P.453-14, ITU-R P.618-13 section 2.4.1", nullptr, ParamId::Path,
     ParamId::WetRefractivity},
    // Receiver chain and waveforms
    {ParamId::ReceiverStages, "ReceiverStages", nullptr, "Receiver Stages", U::List, nullptr, "",
     0.0, 0.0, kAny, false, true, "", G::Receiver,
     "the receiver's stages from the antenna on, NAME,NF,GAIN each (NF in dB, or a noise "
     "temperature with K; GAIN in dB): they replace LnaNoiseFigure, LnaGain and RxNoiseFigure",
     kFriis, nullptr, ParamId::ReceiverStages, ParamId::ReceiverStages, readStage},
    {ParamId::AntennaTemperature, "AntennaTemperature", nullptr, "Antenna Temperature",
     U::Temperature, "K", "K", 290.0, 0.0, kAny, false, true, "0 K or more", G::Receiver,
     "noise temperature of the antenna: No becomes k Tsys in place of the 290 K reference",
     kSystemNoise, nullptr, ParamId::AntennaTemperature, ParamId::SkyNoise},
    {ParamId::SkyNoise, "SkyNoise", nullptr, "Sky Noise", U::Choice, nullptr, "", 0.0, 0.0, 0.0,
     false, false, "sky", G::Receiver,
     "the antenna temperature of the sky behind the path's atmospheric attenuation",
     "ITU-R P.618-13 section 3", sky, ParamId::SkyNoise, ParamId::SkyNoise},
    {ParamId::Bandwidth, "Bandwidth", nullptr, "Noise Bandwidth", U::Frequency, "Hz", "Hz", 1.0,
     0.0, kAny, true, true, "more than 0 Hz", G::Receiver,
     "noise bandwidth of the noise power k Tsys B and of C/N", kSystemNoise, nullptr,
     ParamId::Bandwidth, ParamId::Bandwidth},
    {ParamId::TxPointingError, "TxPointingError", nullptr, "Tx Pointing Error", U::Angle, nullptr,
     "deg", 0.0, 0.0, 90.0, false, true, "0 to 90 degrees", G::Transmitter,
     "angle between the transmitting antenna's axis and the path", kPointing, nullptr,
     ParamId::TxPointingError, ParamId::TxPointingError},
    {ParamId::RxPointingError, "RxPointingError", nullptr, "Rx Pointing Error", U::Angle, nullptr,
     "deg", 0.0, 0.0, 90.0, false, true, "0 to 90 degrees", G::Receiver,
     "angle between the receiving antenna's axis and the path", kPointing, nullptr,
     ParamId::TxPointingError, ParamId::RxPointingError},
    {ParamId::TxAxialRatio, "TxAxialRatio", nullptr, "Tx Axial Ratio", U::Decibel, nullptr, "dB",
     0.0, 0.0, kAny, false, true, "0 dB or more", G::Transmitter,
     "axial ratio of the transmitting antenna's polarization (0 dB circular): with the receiving "
     "one's it sets Polarization", kAxialRatio, nullptr, ParamId::TxAxialRatio,
     ParamId::TxAxialRatio},
    {ParamId::RxAxialRatio, "RxAxialRatio", nullptr, "Rx Axial Ratio", U::Decibel, nullptr, "dB",
     0.0, 0.0, kAny, false, true, "0 dB or more", G::Receiver,
     "axial ratio of the receiving antenna's polarization (0 dB circular)", kAxialRatio, nullptr,
     ParamId::TxAxialRatio, ParamId::RxAxialRatio},
    {ParamId::AxialRatioTilt, "AxialRatioTilt", nullptr, "Polarization Tilt", U::Angle, nullptr,
     "deg", 0.0, -kAny, kAny, false, false, "", G::Path,
     "angle between the major axes of the two antennas' polarizations, 0 aligned", kAxialRatio,
     nullptr, ParamId::TxAxialRatio, ParamId::AxialRatioTilt},
    {ParamId::Waveform, "Waveform", nullptr, "Waveform", U::Choice, nullptr, "", 0.0, 0.0,
     kWaveformChoiceCount - 1.0, false, false, "", G::Modulation,
     "DVB-S2 MODCOD or LoRa setting whose threshold sets MinEbNoDesired", kWaveforms,
     WaveformChoices, ParamId::Waveform, ParamId::Waveform},
    {ParamId::CodingRate, "CodingRate", nullptr, "LoRa Coding Rate", U::Choice, nullptr, "", 0.0,
     0.0, 3.0, false, false, "4/5, 4/6, 4/7 or 4/8", G::Modulation,
     "coding rate of a LoRa waveform", kWaveforms, LoraCodingRates, ParamId::Waveform,
     ParamId::CodingRate},
    {ParamId::Payload, "Payload", nullptr, "LoRa Payload", U::Count, nullptr, "bytes", 20.0, 0.0,
     255.0, false, false, "0 to 255 bytes", G::Modulation,
     "payload of a LoRa packet, for its time on air", kWaveforms, nullptr, ParamId::Waveform,
     ParamId::Payload},
    {ParamId::SymbolRate, "SymbolRate", nullptr, "Symbol Rate", U::SymbolRate, nullptr, "Bd", 1e6,
     0.0, kAny, true, true, "more than 0 Bd", G::Modulation,
     "symbol rate of a DVB-S2 waveform: BitRate becomes it times the MODCOD's efficiency",
     kWaveforms, nullptr, ParamId::Waveform, ParamId::SymbolRate},
}};
// clang-format on

const ParamRow& ParamRowOf(ParamId id) {
    return ParamTable[IndexOf(id)];
}

const char* ParamGroupTitle(ParamGroup group) {
    // No default: a new group without its heading is a compiler warning.
    switch (group) {
    case ParamGroup::Transmitter:
        return "Transmitter";
    case ParamGroup::Path:
        return "Path";
    case ParamGroup::Receiver:
        return "Receiver";
    case ParamGroup::Requirement:
        return "Requirement";
    case ParamGroup::Rain:
        return "Rain";
    case ParamGroup::Clearance:
        return "Path Clearance";
    case ParamGroup::Modulation:
        return "Modulation";
    case ParamGroup::Atmosphere:
        return "Atmosphere";
    }
    return "Other";
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

namespace {

// Where a path takes fewer values than its row, on the closed interval.
struct PathBoundsRow {
    ParamId id;
    PathKind path;
    ParamBounds bounds;
};

constexpr PathBoundsRow kPathBounds[] = {
    {ParamId::Availability, PathKind::Terrestrial, {99.0, 99.999, "99.0 to 99.999 percent"}},
};

const PathBoundsRow* narrowedOn(const ParamRow& row, double path) {
    for (const PathBoundsRow& narrowed : kPathBounds) {
        if (narrowed.id == row.id && static_cast<double>(narrowed.path) == path) {
            return &narrowed;
        }
    }
    return nullptr;
}

} // namespace

ParamBounds BoundsOnPath(const ParamRow& row, double path) {
    const PathBoundsRow* narrowed = narrowedOn(row, path);
    return narrowed != nullptr ? narrowed->bounds : ParamBounds{row.low, row.high, row.rangeText};
}

bool InBoundsOnPath(const ParamRow& row, double value, double path) {
    const PathBoundsRow* narrowed = narrowedOn(row, path);
    return ParamInBounds(row, value) && (narrowed == nullptr || (value >= narrowed->bounds.low &&
                                                                 value <= narrowed->bounds.high));
}

bool BoundsDependOnPath(const ParamRow& row) {
    return std::any_of(std::begin(kPathBounds), std::end(kPathBounds),
                       [&row](const PathBoundsRow& narrowed) { return narrowed.id == row.id; });
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
    return ShortestText(value);
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
