#pragma once
// Values with units on the command line ("Range=25km", "TxPower=37dBm") and
// the metric texts beside the window's own units.
#include "calc_budget.h"
#include "link_factors.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

constexpr double kKilometresPerMile = 1.609344; // exact, international mile
constexpr double kKilometresPerNauticalMile = 1.852;
constexpr double kDbdToDbi = 2.15; // dB, gain of a half-wave dipole over isotropic

// A value of factor `factor` (index into FactorTable): a number, optionally
// followed (blanks allowed between) by a unit that the factor accepts; the
// result is in the factor's own unit. False with a one-line message naming
// the unit and the units the factor accepts, or saying it is not a number.
bool ParseValueWithUnit(std::size_t factor, std::string_view text, double& value,
                        std::string& error);

// The units a factor accepts, for messages and help: "mi, km, m, nmi".
std::string UnitList(std::size_t factor);

double MilesToKilometres(double miles);
double WattsToDbm(double watts); // dBm; the calculation's sentinel for 0 W or less

// The metric value of a factor beside the window's unit: Range in km,
// TxPower in dBm; none for the rest.
struct MetricValue {
    double value;
    const char* unit;
    int decimals; // of its text
};
std::optional<MetricValue> MetricValueOf(std::size_t factor, double value);

// {"value": 16.09344, "unit": "km"}
void PutMetricJson(BufferedOutput& out, const MetricValue& metric);

// " (16.09 km)" after Range, " (37.0 dBm)" after TxPower, empty for the rest.
std::string MetricNote(std::size_t factor, double value);

// The metric notes of every factor, and the "metric" member of the JSON
// budget: Range in km, TxPower in dBm.

FactorNotes MetricNotes(const LinkFactors& factors);
JsonMember MetricJson(const LinkFactors& factors);
