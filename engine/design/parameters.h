#pragma once
// The parameter registry: every input of a link design declared once. The
// fourteen link factors are rows that refer to the factor table (which stays
// the one source of their captions, units, defaults and window behaviour);
// the design inputs of the propagation and modulation features carry their
// own. The command line, the design file, the budget sheet and the design
// window all read their parameters from here. No Qt.
#include "link_factors.h"
#include "units.h"

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct DesignPoint;

// In registry order; the first fourteen are the factors in table order.
enum class ParamId : std::size_t {
    Range,
    Freq,
    TxPower,
    BitRate,
    MinEbNoDesired,
    LnaNoiseFigure,
    LnaGain,
    RxNoiseFigure,
    TxFeedLoss,
    TxAntGain,
    Weather,
    Polarization,
    RxAntGain,
    RxFeedLoss,
    Margin,
    RainRate,
    Availability,
    RainPolarization,
    Elevation,
    TxHeight,
    RxHeight,
    EarthFactor,
    TxDishDiameter,
    TxDishEfficiency,
    RxDishDiameter,
    RxDishEfficiency,
    Modulation,
    TargetBer,
    CodingGain,
    // Earth-space atmosphere
    Path,
    Gas,
    SatelliteAltitude,
    Latitude,
    StationHeight,
    Temperature,
    Pressure,
    VapourDensity,
    VapourContent,
    RainHeight,
    IsothermHeight,
    CloudLiquid,
    WetRefractivity,
    // Receiver chain and waveforms
    ReceiverStages,
    AntennaTemperature,
    SkyNoise,
    Bandwidth,
    TxPointingError,
    RxPointingError,
    TxAxialRatio,
    RxAxialRatio,
    AxialRatioTilt,
    Waveform,
    CodingRate,
    Payload,
    SymbolRate,
    // The site: where the ends of an Earth-space link are
    StationLongitude,
    AntennaHeight,
    SatelliteLongitude,
    SatelliteLatitude,
    PolarizationAngle,
    CloudMaps,
    // A terrestrial hop over terrain: its two sites and its profile
    TxLatitude,
    TxLongitude,
    TxGround,
    RxLatitude,
    RxLongitude,
    RxGround,
    Profile,
    Terrain,
    MinimumEarthFactor,
    Obstruction,
    RefractivityGradient,
    Count,
};
constexpr std::size_t kParamCount = static_cast<std::size_t>(ParamId::Count);

constexpr std::size_t IndexOf(ParamId id) {
    return static_cast<std::size_t>(id);
}

// How the design window groups its rows, in this order.
enum class ParamGroup {
    Transmitter,
    Path,
    Receiver,
    Requirement,
    Rain,
    Clearance,
    Modulation,
    Atmosphere,
    Site,
    Hop,
};

// A group's heading in the design window: "Transmitter", "Rain".
const char* ParamGroupTitle(ParamGroup group);

// A value written in a notation of its own besides a number with a unit
// (degrees, minutes and seconds): `inNotation` false when the text is not in
// it, else the value in the base unit or a one-line message.
struct NotationReading {
    bool inNotation = false;
    double value = 0.0;
    std::string error;
};

// The values a parameter takes (its domain), in the base unit: every value
// outside it is refused wherever it is given, so that no evaluation meets a
// value its formulas do not hold for.
constexpr double kNoBound = std::numeric_limits<double>::infinity();

// A row names its fields (designated initializers); what most rows leave out
// has its default here.
struct ParamRow {
    ParamId id;
    const char* key = nullptr;             // the design file's key, e.g. "RainRate"
    double LinkFactors::*factor = nullptr; // the factor's row in FactorTable, or none
    const char* caption = nullptr;         // none for a factor: the table's
    UnitFamily family = UnitFamily::Decibel;
    const char* defaultUnit = nullptr; // what a bare number means; none: the family's base unit
    const char* unitLabel = nullptr;   // shown beside the value; none for a factor: the table's
    double defaultValue = 0.0;         // in the base unit; none for a factor: the table's
    // The domain, in the base unit, and in words for messages.
    double low = -kNoBound;
    double high = kNoBound;
    bool lowOpen = false;       // low itself is refused
    bool highOpen = false;      // high itself is refused
    const char* rangeText = ""; // the bounds in words, for messages
    ParamGroup group = ParamGroup::Path;
    const char* help = "";        // one line
    const char* source = nullptr; // the published source of its formula, or none
    std::span<const Choice> (*choices)() = nullptr;
    // When the parameter applies: only once `needs` is set (none: always),
    // and not once `replacedBy` is set (none: never). ParamId::Count: none.
    ParamId needs = ParamId::Count;
    ParamId replacedBy = ParamId::Count;
    // A list's reader of one entry (UnitFamily::List): false with a one-line
    // message when the entry is refused.
    bool (*readItem)(std::string_view item, std::string& error) = nullptr;
    // Where it applies without `needs` as well (none: nowhere), e.g. the
    // elevation on an Earth-space path without rain.
    bool (*alsoAppliesOn)(const DesignPoint& point) = nullptr;
    // Its own notation, read before a number with a unit (none: only that).
    NotationReading (*readNotation)(std::string_view text) = nullptr;
};

extern const std::array<ParamRow, kParamCount> ParamTable;

const ParamRow& ParamRowOf(ParamId id);

// The row of a key, letter case ignored.
const ParamRow* FindParam(std::string_view key);

// The parameter of a factor, and the factor row of a parameter (none for the
// design inputs).
ParamId ParamOfFactor(std::size_t factor);
const FactorRow* FactorOfParam(const ParamRow& row);

// What the registry's rows say, with the factor table's columns for factors.
const char* ParamKey(const ParamRow& row);
const char* ParamCaption(const ParamRow& row);
const char* ParamUnitLabel(const ParamRow& row);
double ParamDefault(const ParamRow& row);
bool ParamInBounds(const ParamRow& row, double value);

// The Path parameter's choices, in order.
enum class PathKind { Terrestrial, EarthSpace };

// The CloudMaps parameter's choices, in order: which Recommendation's maps
// give a site's cloud liquid water.
enum class CloudMapsChoice { P840_8, P840_9 };

// True when the design's path is an Earth-space one (the Path parameter).
bool OnEarthSpacePath(const DesignPoint& point);
// The opposite: a terrestrial path, set or by default.
bool OnTerrestrialPath(const DesignPoint& point);

// The values a parameter takes on a path (the Path parameter's value): the
// row's, or fewer where the path's method predicts less (rain on a terrestrial
// path, ITU-R P.530-17, for 99.0 to 99.999 % of the year; on an Earth-space
// path, ITU-R P.618-13, from 95 %).
struct ParamBounds {
    double low;
    double high;
    const char* text; // the bounds in words, for messages
};
ParamBounds BoundsOnPath(const ParamRow& row, double path);
bool InBoundsOnPath(const ParamRow& row, double value, double path);
// True when some path takes fewer values than the row.
bool BoundsDependOnPath(const ParamRow& row);

// A choice by name or by its alias (letter case ignored): its index.
std::optional<std::size_t> FindChoice(const ParamRow& row, std::string_view text);

// The names of a choice parameter: "h, v or c" style lists for messages.
std::string ChoiceNames(const ParamRow& row, const char* separator, const char* last);

// The value text of a parameter as the outputs show it: a factor's as the
// window shows it, a choice's name, else the shortest round-trip number.
std::string ParamValueText(const ParamRow& row, double value);

// The metric value of a factor beside the window's unit: Range in km,
// TxPower in dBm; none for the rest.
struct MetricValue {
    double value;
    const char* unit;
    int decimals; // of its text
};
std::optional<MetricValue> MetricValueOf(std::size_t factor, double value);

// " (16.09 km)" after Range, " (37.0 dBm)" after TxPower, empty for the rest.
std::string MetricNote(std::size_t factor, double value);
