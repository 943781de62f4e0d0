#include "parameters.h"

#include "dms.h"
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

constexpr std::array<Choice, 2> kCloudMaps{{
    {"P.840-8", "840-8"},
    {"P.840-9", "840-9"},
}};

std::span<const Choice> cloudMaps() {
    return kCloudMaps;
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

NotationReading readAngle(std::string_view text, AngleAxis axis) {
    const DmsReading reading = ReadDms(text, axis);
    return {reading.kind != DmsReading::Kind::Decimal, reading.degrees, reading.error};
}

NotationReading readLatitude(std::string_view text) {
    return readAngle(text, AngleAxis::Latitude);
}

NotationReading readLongitude(std::string_view text) {
    return readAngle(text, AngleAxis::Longitude);
}

bool readFileName(std::string_view text, std::string& error) {
    if (text.empty()) {
        error = "a file or folder name is empty";
        return false;
    }
    if (text.find(';') != std::string_view::npos) {
        error = "a file or folder name with ';' cannot be kept in a design";
        return false;
    }
    return true;
}

constexpr std::array<Choice, 3> kObstructions{{
    {"extended", nullptr},
    {"isolated", nullptr},
    {"tropical", nullptr},
}};

std::span<const Choice> obstructions() {
    return kObstructions;
}

constexpr const char* kGeodesic = "geodesic on the WGS-84 ellipsoid (GeographicLib)";
constexpr const char* kHeightCriteria = "ITU-R P.530-17 section 2.2.2.1";
constexpr const char* kMultipath = "ITU-R P.530-17 section 2.3.1";

constexpr const char* kLookAngles = "look angles on the WGS-84 ellipsoid (GeographicLib)";
constexpr const char* kTilt = "polarization tilt of ITU-R P.838-3 from the look angles on the "
                              "WGS-84 ellipsoid";

using G = ParamGroup;
using U = UnitFamily;

// Domains most rows share.
constexpr double kZero = 0.0;
// A noise figure, a gain or a loss becomes a power ratio 10^(dB/10): within
// 1000 dB every product of them stays a finite number.
constexpr double kRatioDb = 1000.0;
// Farther than any link's end in the solar system (about 10,000 AU).
constexpr double kFarthestMiles = 1e12;

} // namespace

// Each row names its fields; a factor's caption, unit, default and window
// behaviour are the factor table's. A factor's domain is what its formula
// holds for: a distance, a frequency, a power and a bit rate are positive
// (their logarithms enter the budget), a noise figure and a loss are not
// negative; gains and the required Eb/No take any finite number.
// clang-format off
const std::array<ParamRow, kParamCount> ParamTable = {{
    {.id = ParamId::Range, .factor = &LinkFactors::Range, .family = U::Distance,
     .low = kZero, .high = kFarthestMiles, .lowOpen = true,
     .rangeText = "more than 0, at most 1e12 miles", .group = G::Path,
     .help = "distance between the antennas", .source = kFreeSpace},
    {.id = ParamId::Freq, .factor = &LinkFactors::Freq, .family = U::Frequency,
     .low = kZero, .lowOpen = true, .rangeText = "more than 0", .group = G::Path,
     .help = "carrier frequency", .source = kFreeSpace},
    {.id = ParamId::TxPower, .factor = &LinkFactors::TxPower, .family = U::Power,
     .low = kZero, .lowOpen = true, .rangeText = "more than 0", .group = G::Transmitter,
     .help = "transmitter output power into the feed"},
    {.id = ParamId::BitRate, .factor = &LinkFactors::BitRate, .family = U::BitRate,
     .low = kZero, .lowOpen = true, .rangeText = "more than 0", .group = G::Requirement,
     .help = "information bit rate: Eb is the received power less 10 log10 of it"},
    {.id = ParamId::MinEbNoDesired, .factor = &LinkFactors::MinEbNoDesired, .family = U::Decibel,
     .group = G::Requirement,
     .help = "the Eb/No the demodulator needs; the fade margin is measured against it",
     .replacedBy = ParamId::Modulation},
    {.id = ParamId::LnaNoiseFigure, .factor = &LinkFactors::LnaNoiseFigure, .family = U::Decibel,
     .low = kZero, .high = kRatioDb, .rangeText = "0 to 1000 dB", .group = G::Receiver,
     .help = "noise figure of the low-noise amplifier", .source = kFriis,
     .replacedBy = ParamId::ReceiverStages},
    {.id = ParamId::LnaGain, .factor = &LinkFactors::LnaGain, .family = U::Decibel,
     .low = -kRatioDb, .high = kRatioDb, .rangeText = "-1000 to 1000 dB", .group = G::Receiver, .help = "gain of the low-noise amplifier", .source = kFriis,
     .replacedBy = ParamId::ReceiverStages},
    {.id = ParamId::RxNoiseFigure, .factor = &LinkFactors::RxNoiseFigure, .family = U::Decibel,
     .low = kZero, .high = kRatioDb, .rangeText = "0 to 1000 dB", .group = G::Receiver,
     .help = "noise figure of the receiver after the LNA", .source = kFriis,
     .replacedBy = ParamId::ReceiverStages},
    {.id = ParamId::TxFeedLoss, .factor = &LinkFactors::TxFeedLoss, .family = U::Decibel,
     .low = kZero, .high = kRatioDb, .rangeText = "0 to 1000 dB", .group = G::Transmitter,
     .help = "loss between the transmitter and its antenna"},
    {.id = ParamId::TxAntGain, .factor = &LinkFactors::TxAntGain, .family = U::AntennaGain,
     .group = G::Transmitter, .help = "gain of the transmitting antenna over isotropic",
     .replacedBy = ParamId::TxDishDiameter},
    {.id = ParamId::Weather, .factor = &LinkFactors::Weather, .family = U::Decibel,
     .low = kZero, .rangeText = "0 dB or more", .group = G::Path,
     .help = "path loss for weather; a rain rate adds its rain loss"},
    {.id = ParamId::Polarization, .factor = &LinkFactors::Polarization, .family = U::Decibel,
     .low = kZero, .rangeText = "0 dB or more", .group = G::Path,
     .help = "loss from a polarization mismatch of the antennas",
     .replacedBy = ParamId::TxAxialRatio},
    {.id = ParamId::RxAntGain, .factor = &LinkFactors::RxAntGain, .family = U::AntennaGain,
     .group = G::Receiver, .help = "gain of the receiving antenna over isotropic",
     .replacedBy = ParamId::RxDishDiameter},
    {.id = ParamId::RxFeedLoss, .factor = &LinkFactors::RxFeedLoss, .family = U::Decibel,
     .low = kZero, .high = kRatioDb, .rangeText = "0 to 1000 dB", .group = G::Receiver,
     .help = "loss between the receiving antenna and the LNA"},
    {.id = ParamId::Margin, .key = "Margin", .caption = "Required Fade Margin",
     .family = U::Decibel, .unitLabel = "dB", .group = G::Requirement,
     .help = "the fade margin the link must keep: the verdict, the solve and the chart's line"},
    {.id = ParamId::RainRate, .key = "RainRate", .caption = "Rain Rate", .family = U::RainRate,
     .unitLabel = "mm/h", .low = kZero, .high = 1000.0, .rangeText = "0 to 1000 mm/h",
     .group = G::Rain,
     .help = "rain rate exceeded 0.01 % of the time; adds the rain loss to Weather",
     .source = kRain},
    {.id = ParamId::Availability, .key = "Availability", .caption = "Availability",
     .family = U::Percent, .unitLabel = "Percent", .defaultValue = 99.99, .low = 95.0,
     .high = 99.999, .rangeText = "95 to 99.999 percent", .group = G::Rain,
     .help = "percentage of the year the link must hold against rain (an Earth-space path: "
             "against the whole atmosphere)",
     .source = kRain, .needs = ParamId::RainRate, .alsoAppliesOn = OnEarthSpacePath},
    {.id = ParamId::RainPolarization, .key = "RainPolarization", .caption = "Rain Polarization",
     .family = U::Choice, .unitLabel = "", .defaultValue = 1.0, .low = 0.0, .high = 2.0,
     .rangeText = "h, v or c", .group = G::Rain,
     .help = "polarization the rain loss is worked out for",
     .source = "ITU-R P.838-3 eqs. (4) and (5)", .choices = polarizations,
     .needs = ParamId::RainRate},
    {.id = ParamId::Elevation, .key = "Elevation", .caption = "Path Elevation",
     .family = U::Angle, .unitLabel = "deg", .low = 0.0, .high = 90.0,
     .rangeText = "0 to 90 degrees", .group = G::Rain,
     .help = "elevation angle of the path (an Earth-space path: of the satellite, 5 to 90 "
             "degrees)",
     .source = "ITU-R P.838-3 eqs. (4) and (5)", .needs = ParamId::RainRate,
     .alsoAppliesOn = OnEarthSpacePath},
    {.id = ParamId::TxHeight, .key = "TxHeight", .caption = "Tx Antenna Height",
     .family = U::Length, .unitLabel = "m", .low = 0.0, .highOpen = true,
     .rangeText = "0 or more", .group = G::Clearance,
     .help = "transmitting antenna's height above a smooth earth", .source = kClearance},
    {.id = ParamId::RxHeight, .key = "RxHeight", .caption = "Rx Antenna Height",
     .family = U::Length, .unitLabel = "m", .low = 0.0, .highOpen = true,
     .rangeText = "0 or more", .group = G::Clearance,
     .help = "receiving antenna's height above a smooth earth", .source = kClearance},
    {.id = ParamId::EarthFactor, .key = "EarthFactor", .caption = "Effective Earth Factor k",
     .family = U::Fraction, .unitLabel = "", .defaultValue = 4.0 / 3.0, .low = 0.0,
     .high = 100.0, .lowOpen = true, .rangeText = "more than 0, at most 100",
     .group = G::Clearance,
     .help = "effective earth radius factor of the clearance: 4/3 for the median refraction, "
             "down to about 2/3 for the worst",
     .source = kClearance, .needs = ParamId::TxHeight},
    {.id = ParamId::TxDishDiameter, .key = "TxDishDiameter", .caption = "Tx Dish Diameter",
     .family = U::Length, .unitLabel = "m", .defaultValue = 0.6, .low = 0.01, .high = 1000.0,
     .rangeText = "0.01 to 1000 m", .group = G::Transmitter,
     .help = "diameter of a transmitting dish; its gain replaces TxAntGain", .source = kDish},
    {.id = ParamId::TxDishEfficiency, .key = "TxDishEfficiency", .caption = "Tx Dish Efficiency",
     .family = U::Fraction, .unitLabel = "", .defaultValue = 0.55, .low = 0.0, .high = 1.0,
     .lowOpen = true, .rangeText = "more than 0, at most 1 or 100%", .group = G::Transmitter,
     .help = "aperture efficiency of the transmitting dish", .source = kDish,
     .needs = ParamId::TxDishDiameter},
    {.id = ParamId::RxDishDiameter, .key = "RxDishDiameter", .caption = "Rx Dish Diameter",
     .family = U::Length, .unitLabel = "m", .defaultValue = 0.6, .low = 0.01, .high = 1000.0,
     .rangeText = "0.01 to 1000 m", .group = G::Receiver,
     .help = "diameter of a receiving dish; its gain replaces RxAntGain", .source = kDish},
    {.id = ParamId::RxDishEfficiency, .key = "RxDishEfficiency", .caption = "Rx Dish Efficiency",
     .family = U::Fraction, .unitLabel = "", .defaultValue = 0.55, .low = 0.0, .high = 1.0,
     .lowOpen = true, .rangeText = "more than 0, at most 1 or 100%", .group = G::Receiver,
     .help = "aperture efficiency of the receiving dish", .source = kDish,
     .needs = ParamId::RxDishDiameter},
    {.id = ParamId::Modulation, .key = "Modulation", .caption = "Modulation", .family = U::Choice,
     .unitLabel = "", .defaultValue = 1.0, .low = 0.0, .high = 6.0, .group = G::Modulation,
     .help = "modulation whose bit error rate sets MinEbNoDesired", .source = kSklar,
     .choices = modulations},
    {.id = ParamId::TargetBer, .key = "TargetBer", .caption = "Target BER",
     .family = U::Probability, .unitLabel = "", .defaultValue = 1e-6, .low = 0.0, .high = 0.5,
     .lowOpen = true, .highOpen = true, .rangeText = "between 0 and 0.5",
     .group = G::Modulation, .help = "bit error rate the link must reach", .source = kSklar,
     .needs = ParamId::Modulation},
    {.id = ParamId::CodingGain, .key = "CodingGain", .caption = "Coding Gain",
     .family = U::Decibel, .unitLabel = "dB", .group = G::Modulation,
     .help = "coding gain taken off the required Eb/No", .needs = ParamId::Modulation},
    // Earth-space atmosphere
    {.id = ParamId::Path, .key = "Path", .caption = "Path", .family = U::Choice, .unitLabel = "",
     .low = 0.0, .high = 1.0, .rangeText = "terrestrial or earth-space", .group = G::Path,
     .help = "terrestrial, or Earth-space: Range is the slant path and the atmosphere is in the "
             "budget",
     .source = kTotal, .choices = pathKinds},
    {.id = ParamId::Gas, .key = "Gas", .caption = "Gaseous Absorption", .family = U::Choice,
     .unitLabel = "", .low = 0.0, .high = 1.0, .rangeText = "off or on", .group = G::Atmosphere,
     .help = "adds the gases' loss to a terrestrial path (an Earth-space path always has it)",
     .source = "ITU-R P.676-12 Annex 1", .choices = onOff},
    {.id = ParamId::SatelliteAltitude, .key = "SatelliteAltitude", .caption = "Satellite Altitude",
     .family = U::Altitude, .defaultUnit = "km", .unitLabel = "km", .defaultValue = 35786.0,
     .low = 0.0, .high = 1e12, .lowOpen = true, .rangeText = "more than 0, at most 1e12 km",
     .group = G::Path, .help = "altitude of the satellite: Range becomes the slant path to it",
     .source = "law of cosines over a spherical earth of radius 6371 km",
     .needs = ParamId::Path},
    {.id = ParamId::Latitude, .key = "Latitude", .caption = "Station Latitude", .family = U::Angle,
     .unitLabel = "deg", .low = -90.0, .high = 90.0, .rangeText = "-90 to 90 degrees",
     .group = G::Atmosphere,
     .help = "latitude of the earth station (north positive; or as 45d4m12sN), for the "
             "slant-path rain and the site",
     .source = kSlantRain, .needs = ParamId::Path, .readNotation = readLatitude},
    {.id = ParamId::StationHeight, .key = "StationHeight", .caption = "Station Height",
     .family = U::Altitude, .defaultUnit = "m", .unitLabel = "km", .low = -0.5, .high = 10.0,
     .rangeText = "-500 m to 10 km", .group = G::Atmosphere,
     .help = "height of the earth station above mean sea level", .source = kReference},
    {.id = ParamId::Temperature, .key = "Temperature", .caption = "Temperature",
     .family = U::Temperature, .defaultUnit = "degC", .unitLabel = "K", .defaultValue = 288.15,
     .low = 173.15, .high = 373.15, .rangeText = "-100 to 100 degC",
     .group = G::Atmosphere,
     .help = "surface air temperature at the station; else the reference atmosphere's",
     .source = kReference},
    {.id = ParamId::Pressure, .key = "Pressure", .caption = "Pressure", .family = U::Pressure,
     .defaultUnit = "hPa", .unitLabel = "hPa", .defaultValue = 1013.25, .low = 0.0,
     .high = 1200.0, .lowOpen = true, .rangeText = "more than 0, at most 1200 hPa",
     .group = G::Atmosphere,
     .help = "barometric pressure at the station (dry air and water vapour); else the reference "
             "atmosphere's",
     .source = kReference},
    {.id = ParamId::VapourDensity, .key = "VapourDensity", .caption = "Water Vapour Density",
     .family = U::VapourDensity, .unitLabel = "g/m3", .defaultValue = 7.5, .low = 0.0,
     .highOpen = true, .rangeText = "0 g/m3 or more", .group = G::Atmosphere,
     .help = "water-vapour density at the station; else the reference atmosphere's",
     .source = kReference},
    // 15 kg/m2: the column of the reference atmosphere, 7.5 g/m3 over a 2 km scale height.
    // The domain holds ITU-R P.836's columns; the vapour's mean temperature of
    // ITU-R P.676-12 Annex 2, 14 ln(0.22 V / 2.38) + 3 degC, falls below 0 K
    // for a column under 3e-8 kg/m2.
    {.id = ParamId::VapourContent, .key = "VapourContent", .caption = "Water Vapour Content",
     .family = U::ColumnDensity, .unitLabel = "kg/m2", .defaultValue = 15.0, .low = 0.1,
     .high = 100.0, .rangeText = "0.1 to 100 kg/m2",
     .group = G::Atmosphere,
     .help = "total columnar water vapour V_t (ITU-R P.836 maps it): the zenith water-vapour "
             "loss from it",
     .source = kGas, .needs = ParamId::Path},
    {.id = ParamId::RainHeight, .key = "RainHeight", .caption = "Rain Height",
     .family = U::Altitude, .defaultUnit = "km", .unitLabel = "km", .defaultValue = 3.36,
     .low = 0.0, .highOpen = true, .rangeText = "0 km or more", .group = G::Atmosphere,
     .help = "rain height h_R of the slant-path rain (ITU-R P.839 maps it)",
     .source = kSlantRain, .needs = ParamId::RainRate},
    {.id = ParamId::IsothermHeight, .key = "IsothermHeight", .caption = "0 degC Isotherm Height",
     .family = U::Altitude, .defaultUnit = "km", .unitLabel = "km", .defaultValue = 3.0,
     .low = 0.0, .highOpen = true, .rangeText = "0 km or more", .group = G::Atmosphere,
     .help = "mean 0 degC isotherm height h_0 (ITU-R P.839 maps it): h_R = h_0 + 0.36 km",
     .source = "ITU-R P.839-4", .needs = ParamId::RainRate},
    {.id = ParamId::CloudLiquid, .key = "CloudLiquid", .caption = "Cloud Liquid Water",
     .family = U::ColumnDensity, .unitLabel = "kg/m2", .low = 0.0, .highOpen = true,
     .rangeText = "0 kg/m2 or more", .group = G::Atmosphere,
     .help = "reduced columnar cloud liquid water L (ITU-R P.840 maps it): adds the clouds' loss",
     .source = "ITU-R P.840-8", .needs = ParamId::Path},
    // 47.5: ITU-R P.453-14 of the reference atmosphere at sea level.
    {.id = ParamId::WetRefractivity, .key = "WetRefractivity", .caption = "Wet Refractivity",
     .family = U::Refractivity, .unitLabel = "N-units", .defaultValue = 47.5, .low = 0.0,
     .highOpen = true, .rangeText = "0 or more", .group = G::Atmosphere,
     .help = "wet term N_wet of the surface refractivity (ITU-R P.453 maps it); else from the "
             "air",
     .source = "ITU-R P.453-14, ITU-R P.618-13 section 2.4.1", .needs = ParamId::Path},
    // Receiver chain and waveforms
    {.id = ParamId::ReceiverStages, .key = "ReceiverStages", .caption = "Receiver Stages",
     .family = U::List, .unitLabel = "", .low = 0.0, .highOpen = true, .group = G::Receiver,
     .help = "the receiver's stages from the antenna on, NAME,NF,GAIN each (NF in dB, or a noise "
             "temperature with K; GAIN in dB): they replace LnaNoiseFigure, LnaGain and "
             "RxNoiseFigure",
     .source = kFriis, .readItem = readStage},
    {.id = ParamId::AntennaTemperature, .key = "AntennaTemperature",
     .caption = "Antenna Temperature", .family = U::Temperature, .defaultUnit = "K",
     .unitLabel = "K", .defaultValue = 290.0, .low = 0.0, .highOpen = true,
     .rangeText = "0 K or more", .group = G::Receiver,
     .help = "noise temperature of the antenna: No becomes k Tsys in place of the 290 K "
             "reference",
     .source = kSystemNoise, .replacedBy = ParamId::SkyNoise},
    {.id = ParamId::SkyNoise, .key = "SkyNoise", .caption = "Sky Noise", .family = U::Choice,
     .unitLabel = "", .low = 0.0, .high = 0.0, .rangeText = "sky", .group = G::Receiver,
     .help = "the antenna temperature of the sky behind the path's atmospheric attenuation",
     .source = "ITU-R P.618-13 section 3", .choices = sky},
    {.id = ParamId::Bandwidth, .key = "Bandwidth", .caption = "Noise Bandwidth",
     .family = U::Frequency, .defaultUnit = "Hz", .unitLabel = "Hz", .defaultValue = 1.0,
     .low = 0.0, .lowOpen = true, .highOpen = true, .rangeText = "more than 0 Hz",
     .group = G::Receiver,
     .help = "noise bandwidth of the noise power k Tsys B and of C/N", .source = kSystemNoise},
    {.id = ParamId::TxPointingError, .key = "TxPointingError", .caption = "Tx Pointing Error",
     .family = U::Angle, .unitLabel = "deg", .low = 0.0, .high = 90.0, .highOpen = true,
     .rangeText = "0 to 90 degrees", .group = G::Transmitter,
     .help = "angle between the transmitting antenna's axis and the path", .source = kPointing},
    {.id = ParamId::RxPointingError, .key = "RxPointingError", .caption = "Rx Pointing Error",
     .family = U::Angle, .unitLabel = "deg", .low = 0.0, .high = 90.0, .highOpen = true,
     .rangeText = "0 to 90 degrees", .group = G::Receiver,
     .help = "angle between the receiving antenna's axis and the path", .source = kPointing,
     .needs = ParamId::TxPointingError},
    {.id = ParamId::TxAxialRatio, .key = "TxAxialRatio", .caption = "Tx Axial Ratio",
     .family = U::Decibel, .unitLabel = "dB", .low = 0.0, .highOpen = true,
     .rangeText = "0 dB or more", .group = G::Transmitter,
     .help = "axial ratio of the transmitting antenna's polarization (0 dB circular): with the "
             "receiving one's it sets Polarization",
     .source = kAxialRatio},
    {.id = ParamId::RxAxialRatio, .key = "RxAxialRatio", .caption = "Rx Axial Ratio",
     .family = U::Decibel, .unitLabel = "dB", .low = 0.0, .highOpen = true,
     .rangeText = "0 dB or more", .group = G::Receiver,
     .help = "axial ratio of the receiving antenna's polarization (0 dB circular)",
     .source = kAxialRatio, .needs = ParamId::TxAxialRatio},
    {.id = ParamId::AxialRatioTilt, .key = "AxialRatioTilt", .caption = "Polarization Tilt",
     .family = U::Angle, .unitLabel = "deg", .group = G::Path,
     .help = "angle between the major axes of the two antennas' polarizations, 0 aligned",
     .source = kAxialRatio, .needs = ParamId::TxAxialRatio},
    {.id = ParamId::Waveform, .key = "Waveform", .caption = "Waveform", .family = U::Choice,
     .unitLabel = "", .low = 0.0, .high = kWaveformChoiceCount - 1.0, .group = G::Modulation,
     .help = "DVB-S2 MODCOD or LoRa setting whose threshold sets MinEbNoDesired",
     .source = kWaveforms, .choices = WaveformChoices},
    {.id = ParamId::CodingRate, .key = "CodingRate", .caption = "LoRa Coding Rate",
     .family = U::Choice, .unitLabel = "", .low = 0.0, .high = 3.0,
     .rangeText = "4/5, 4/6, 4/7 or 4/8", .group = G::Modulation,
     .help = "coding rate of a LoRa waveform", .source = kWaveforms, .choices = LoraCodingRates,
     .needs = ParamId::Waveform},
    {.id = ParamId::Payload, .key = "Payload", .caption = "LoRa Payload", .family = U::Count,
     .unitLabel = "bytes", .defaultValue = 20.0, .low = 0.0, .high = 255.0,
     .rangeText = "0 to 255 bytes", .group = G::Modulation,
     .help = "payload of a LoRa packet, for its time on air", .source = kWaveforms,
     .needs = ParamId::Waveform},
    {.id = ParamId::SymbolRate, .key = "SymbolRate", .caption = "Symbol Rate",
     .family = U::SymbolRate, .unitLabel = "Bd", .defaultValue = 1e6, .low = 0.0, .lowOpen = true,
     .highOpen = true, .rangeText = "more than 0 Bd", .group = G::Modulation,
     .help = "symbol rate of a DVB-S2 waveform: BitRate becomes it times the MODCOD's efficiency",
     .source = kWaveforms, .needs = ParamId::Waveform},
    // The site
    {.id = ParamId::StationLongitude, .key = "StationLongitude", .caption = "Station Longitude",
     .family = U::Angle, .unitLabel = "deg", .low = -180.0, .high = 360.0,
     .rangeText = "-180 to 360 degrees", .group = G::Site,
     .help = "longitude of the earth station (east positive; or as 7d41m24sE): with the "
             "satellite's place, the look angles give the elevation and the slant range",
     .source = kLookAngles, .needs = ParamId::Path, .readNotation = readLongitude},
    {.id = ParamId::AntennaHeight, .key = "AntennaHeight", .caption = "Antenna Height",
     .family = U::Altitude, .defaultUnit = "m", .unitLabel = "km", .low = 0.0, .high = 2.0,
     .rangeText = "0 to 2 km", .group = G::Site,
     .help = "height of the station's antenna above the ground (StationHeight), for the look "
             "angles",
     .source = kLookAngles, .needs = ParamId::StationLongitude},
    {.id = ParamId::SatelliteLongitude, .key = "SatelliteLongitude",
     .caption = "Satellite Longitude", .family = U::Angle, .unitLabel = "deg", .low = -180.0,
     .high = 360.0, .rangeText = "-180 to 360 degrees", .group = G::Site,
     .help = "longitude of the satellite's sub-satellite point (a geostationary satellite's "
             "orbital position): replaces Elevation and Range",
     .source = kLookAngles, .needs = ParamId::StationLongitude, .readNotation = readLongitude},
    {.id = ParamId::SatelliteLatitude, .key = "SatelliteLatitude", .caption = "Satellite Latitude",
     .family = U::Angle, .unitLabel = "deg", .low = -90.0, .high = 90.0,
     .rangeText = "-90 to 90 degrees", .group = G::Site,
     .help = "latitude of the sub-satellite point (0, the equator, for a geostationary "
             "satellite); its height is SatelliteAltitude",
     .source = kLookAngles, .needs = ParamId::SatelliteLongitude, .readNotation = readLatitude},
    {.id = ParamId::PolarizationAngle, .key = "PolarizationAngle",
     .caption = "Polarization Angle", .family = U::Angle, .unitLabel = "deg", .low = -360.0,
     .high = 360.0, .rangeText = "-360 to 360 degrees", .group = G::Site,
     .help = "angle of the satellite's linear polarization from its horizontal (normal to its "
             "local north) toward its vertical: the rain's polarization tilt at the station "
             "follows from it",
     .source = kTilt, .needs = ParamId::SatelliteLongitude},
    // P.840-8 by default: the cloud model is P.840-8's, and a design keeps its
    // numbers until P.840-9's maps are asked for.
    {.id = ParamId::CloudMaps, .key = "CloudMaps", .caption = "Cloud Maps", .family = U::Choice,
     .unitLabel = "", .low = 0.0, .high = 1.0, .rangeText = "P.840-8 or P.840-9",
     .group = G::Site,
     .help = "the Recommendation whose maps give the site's cloud liquid water: P.840-8 "
             "(reduced L, 0.1 to 99 %) or P.840-9 (L, 0.01 to 100 %); the loss from it by P.840-8's "
             "K_l",
     .source = "ITU-R P.840-8, ITU-R P.840-9", .choices = cloudMaps,
     .needs = ParamId::StationLongitude},
    // A terrestrial hop over terrain
    {.id = ParamId::TxLatitude, .key = "TxLatitude", .caption = "Tx Site Latitude",
     .family = U::Angle, .unitLabel = "deg", .low = -90.0, .high = 90.0,
     .rangeText = "-90 to 90 degrees", .group = G::Hop,
     .help = "latitude of the transmitting end (north positive; or as 45d4m12sN)",
     .source = kGeodesic, .needs = ParamId::TxLongitude, .readNotation = readLatitude},
    {.id = ParamId::TxLongitude, .key = "TxLongitude", .caption = "Tx Site Longitude",
     .family = U::Angle, .unitLabel = "deg", .low = -180.0, .high = 360.0,
     .rangeText = "-180 to 360 degrees", .group = G::Hop,
     .help = "longitude of the transmitting end (east positive; or as 7d41m24sE): with the "
             "receiving end's, the geodesic between them gives Range",
     .source = kGeodesic, .readNotation = readLongitude},
    {.id = ParamId::TxGround, .key = "TxGround", .caption = "Tx Site Ground Height",
     .family = U::Length, .unitLabel = "m", .low = -500.0, .high = 9000.0,
     .rangeText = "-500 to 9000 m", .group = G::Hop,
     .help = "ground height above mean sea level at the transmitting end; else the profile's",
     .source = kGeodesic, .needs = ParamId::TxLongitude},
    {.id = ParamId::RxLatitude, .key = "RxLatitude", .caption = "Rx Site Latitude",
     .family = U::Angle, .unitLabel = "deg", .low = -90.0, .high = 90.0,
     .rangeText = "-90 to 90 degrees", .group = G::Hop,
     .help = "latitude of the receiving end (north positive; or as 45d4m12sN)",
     .source = kGeodesic, .needs = ParamId::RxLongitude, .readNotation = readLatitude},
    {.id = ParamId::RxLongitude, .key = "RxLongitude", .caption = "Rx Site Longitude",
     .family = U::Angle, .unitLabel = "deg", .low = -180.0, .high = 360.0,
     .rangeText = "-180 to 360 degrees", .group = G::Hop,
     .help = "longitude of the receiving end (east positive; or as 7d41m24sE)",
     .source = kGeodesic, .readNotation = readLongitude},
    {.id = ParamId::RxGround, .key = "RxGround", .caption = "Rx Site Ground Height",
     .family = U::Length, .unitLabel = "m", .low = -500.0, .high = 9000.0,
     .rangeText = "-500 to 9000 m", .group = G::Hop,
     .help = "ground height above mean sea level at the receiving end; else the profile's",
     .source = kGeodesic, .needs = ParamId::RxLongitude},
    {.id = ParamId::Profile, .key = "Profile", .caption = "Terrain Profile File",
     .family = U::List, .unitLabel = "", .low = 0.0, .highOpen = true, .group = G::Hop,
     .help = "a CSV file of the terrain from the transmitting end: distance in km, height above "
             "sea level in m; Range becomes its length",
     .source = "ITU-R P.526-15 section 4.5, ITU-R P.530-17", .readItem = readFileName},
    {.id = ParamId::Terrain, .key = "Terrain", .caption = "Elevation Tiles Folder",
     .family = U::List, .unitLabel = "", .low = 0.0, .highOpen = true, .group = G::Hop,
     .help = "a folder of elevation tiles (SRTM .hgt, GeoTIFF): with both sites, the profile "
             "between them is sampled from it",
     .source = kGeodesic, .needs = ParamId::TxLongitude, .readItem = readFileName},
    {.id = ParamId::MinimumEarthFactor, .key = "MinimumEarthFactor",
     .caption = "Minimum Earth Factor k", .family = U::Fraction, .unitLabel = "",
     .defaultValue = 2.0 / 3.0, .low = 0.0, .high = 100.0, .lowOpen = true,
     .rangeText = "more than 0, at most 100", .group = G::Hop,
     .help = "the effective earth radius factor exceeded for 99.9 % of the worst month (from "
             "the path length, ITU-R P.530-17 Fig. 3), for the antenna-height criteria",
     .source = kHeightCriteria},
    {.id = ParamId::Obstruction, .key = "Obstruction", .caption = "Obstruction",
     .family = U::Choice, .unitLabel = "", .group = G::Hop,
     .help = "the path's obstruction for the criteria at the minimum k: extended (0.3 F1), "
             "isolated (grazing, 0 F1) or tropical (0.6 F1)",
     .source = kHeightCriteria, .choices = obstructions},
    {.id = ParamId::RefractivityGradient, .key = "RefractivityGradient",
     .caption = "Refractivity Gradient dN1", .family = U::Refractivity, .unitLabel = "N/km",
     .low = -5000.0, .high = 500.0, .rangeText = "-5000 to 500 N-units/km", .group = G::Hop,
     .help = "point refractivity gradient of the lowest 65 m not exceeded for 1 % of an "
             "average year, for the multipath outage; else ITU-R P.453-14's map",
     .source = kMultipath},
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
    case ParamGroup::Site:
        return "Site";
    case ParamGroup::Hop:
        return "Terrain Path";
    }
    return "Other";
}

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

// The slant-path methods of ITU-R P.618-13 hold from 5 degrees of elevation.
constexpr PathBoundsRow kPathBounds[] = {
    {ParamId::Availability, PathKind::Terrestrial, {99.0, 99.999, "99.0 to 99.999 percent"}},
    {ParamId::Elevation, PathKind::EarthSpace, {5.0, 90.0, "5 to 90 degrees"}},
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
