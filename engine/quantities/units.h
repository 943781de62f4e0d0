#pragma once
// Quantities with units: the unit families of the link design's parameters,
// the units each family accepts with their exact factors, and the reading of
// a number followed by a unit ("25km", "37 dBm", "55%"). No Qt.
#include <optional>
#include <string>
#include <string_view>

// What a value measures, in the base unit every value of the family is kept
// in once read. A parameter names the unit a bare number means (its default
// unit), which need not be the base. The families of the fourteen link
// factors come first: a unit of one of them written after another factor is
// a wrong unit, other letters make no number.
enum class UnitFamily {
    Distance,    // statute miles: the window's range
    Frequency,   // MHz
    Power,       // W
    BitRate,     // kbit/s
    Decibel,     // dB
    AntennaGain, // dBi
    Length,      // m: antenna heights, dish diameters (m or ft)
    Fraction,    // 1: an efficiency, 0.55 or 55 %
    Percent,     // %
    Angle,       // degrees
    RainRate,    // mm/h
    Probability, // a plain number: a bit error rate
    Choice,      // one of a parameter's named choices
    // Earth-space atmosphere
    Temperature,   // K (degC or K)
    Pressure,      // hPa
    Altitude,      // km: station, rain and satellite heights (km or m)
    VapourDensity, // g/m3, a plain number
    ColumnDensity, // kg/m2, a plain number: columnar water vapour, cloud liquid water
    Refractivity,  // N-units, a plain number
    // Receiver chain and waveforms
    SymbolRate, // Bd (Bd, kBd, MBd)
    Count,      // a whole number of things, a plain number: bytes
    List,       // a list of texts, each read by its parameter's own reader
};

constexpr double kKilometresPerMile = 1.609344; // exact, international mile
constexpr double kKilometresPerNauticalMile = 1.852;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kDbdToDbi = 2.15; // dB, gain of a half-wave dipole over isotropic
constexpr double kCelsiusZeroK = 273.15;

// One named value of a choice parameter: the name typed and saved, and a
// longer word also accepted (or none).
struct Choice {
    const char* name;  // "h"
    const char* alias; // "horizontal"
};

// Why a text is not a quantity of a family.
enum class UnitFault {
    None,
    NotANumber, // including letters that are no unit at all
    WrongUnit,  // a unit, but of another family
    OutOfRange, // the value in the base unit is not finite
};

struct Quantity {
    double value = 0.0; // in the family's base unit
    double given = 0.0; // the number as written
    std::string unit;   // the unit as written; empty for a bare number
};

// A number, optionally followed (blanks allowed between) by a unit of the
// family; a bare number is in `defaultUnit` (nullptr: the base unit). The
// number follows the settings file's rules (blanks around it, decimal notation
// with an optional exponent, finite); an empty text is not a number.
UnitFault ParseQuantity(UnitFamily family, const char* defaultUnit, std::string_view text,
                        Quantity& out);

// The value in the base unit of `given` in `unit` (empty: `defaultUnit`);
// none when the family has no such unit.
std::optional<double> ToBaseUnit(UnitFamily family, const char* defaultUnit, double given,
                                 std::string_view unit);

// The number in `unit` (empty: `defaultUnit`) of a value in the base unit:
// the exact inverse of ToBaseUnit; none when the family has no such unit or
// the value has none in it (0 W in dBm).
std::optional<double> FromBaseUnit(UnitFamily family, const char* defaultUnit, double base,
                                   std::string_view unit);

// The units a family accepts, for messages and help: "mi, km, m, nmi".
std::string UnitList(UnitFamily family);

// True when `unit` is a unit of the family.
bool FamilyHasUnit(UnitFamily family, std::string_view unit);

// The plain reading of a number: blanks around it allowed, decimal notation
// with an optional exponent, finite, not empty.
bool ParsePlainNumber(std::string_view text, double& value);

// The text without the blanks and tabs at its ends.
std::string_view TrimBlanks(std::string_view text);

// True when the texts are equal, letter case ignored (ASCII).
bool EqualNoCase(std::string_view a, std::string_view b);

// The shortest text that reads back to the same double, always with a full
// stop ("10", "0.1", "-123.57", "1e+27"); "nan" and "inf" when not finite.
std::string ShortestText(double value);

// A text in single quotes, as messages show what was given: 'text'.
std::string Quoted(std::string_view text);

double MilesToKilometres(double miles);
