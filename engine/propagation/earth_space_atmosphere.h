#pragma once
// The atmosphere on an Earth-space path, all at once. No Qt.
//
// ITU-R P.618-13 (12/2017), section 2.5, the total attenuation exceeded for
// p % of the time, 0.001 % to 50 %:
//   A_T(p) = A_G(p) + sqrt((A_R(p) + A_C(p))^2 + A_S(p)^2)
// with A_G and A_C taken at 1 % where p < 1 %, since at high percentages of
// the time much of their share is already in the rain statistics. The parts:
//   A_G  gases, ITU-R P.676-12 Annex 2 (gas_attenuation.h);
//   A_C  clouds, ITU-R P.840-8 (cloud_attenuation.h);
//   A_R  rain, section 2.2.1.1 (slant_rain.h);
//   A_S  scintillation, section 2.4.1 (scintillation.h).
// The station's temperature, pressure and water-vapour density are the typed
// ones or, where not typed, those of the ITU-R P.835-6 mean annual global
// reference atmosphere at the station height (reference_atmosphere.h).
//
// The slant range to a satellite uses a spherical earth of radius 6371 km
// (path_clearance.h) and the law of cosines in the triangle of the earth's
// centre, the station and the satellite.
#include "gas_attenuation.h"

#include <optional>
#include <string>
#include <vector>

struct EarthSpaceInput {
    double freqGHz = 0.0;
    double elevationDeg = 0.0;
    double latitudeDeg = 0.0;
    double stationHeightKm = 0.0;
    double percentOfTime = 1.0;               // p, %
    std::optional<double> temperatureK;       // T at the station
    std::optional<double> pressureHpa;        // P, what a barometer reads (p + e)
    std::optional<double> vapourDensityGm3;   // rho at the station
    std::optional<double> columnarVapourKgM2; // V_t
    std::optional<double> liquidWaterKgM2;    // L, reduced to 0 degC: adds clouds
    std::optional<double> rainRateMmH;        // R0.01: adds rain
    std::optional<double> rainHeightKm;       // h_R
    std::optional<double> isothermHeightKm;   // h_0, for h_R = h_0 + 0.36 km
    std::optional<double> tiltDeg;            // polarization; circular (45) if not typed
    std::optional<double> wetRefractivity;    // N_wet; else from T and rho
    std::optional<double> antennaDiameterM;   // D: adds scintillation
    std::optional<double> antennaEfficiency;  // eta; 0.5 if not typed
};

// Where an atmospheric value came from.
enum class InputOrigin {
    Typed,
    ReferenceAtmosphere, // ITU-R P.835-6 at the station height
    FromIsotherm,        // h_R = h_0 + 0.36 km, ITU-R P.839-4
    FromSurface,         // N_wet from T and rho, ITU-R P.453-14
};

// "typed", "P.835-6 reference atmosphere", ...: for the reports.
const char* InputOriginName(InputOrigin origin);

struct SourcedValue {
    double value;
    InputOrigin origin;
};

struct EarthSpaceResult {
    double gammaOxygen;      // dB/km at the station
    double gammaWaterVapour; // dB/km at the station
    EquivalentHeights heights;
    double gas;                          // A_G, dB
    std::optional<double> cloud;         // A_C, dB, when L is typed
    std::optional<double> rain;          // A_R, dB, when R0.01 is typed
    std::optional<double> scintillation; // A_S, dB, when D is typed
    double total;                        // A_T, dB
    SourcedValue temperatureK;
    SourcedValue pressureHpa; // total
    SourcedValue vapourDensityGm3;
    std::optional<SourcedValue> columnarVapourKgM2;
    std::optional<SourcedValue> liquidWaterKgM2;
    std::optional<SourcedValue> rainHeightKm;
    std::optional<SourcedValue> wetRefractivity;
};

// What is wrong with the input, one line each (no newline); empty when the
// input can be evaluated.
std::vector<std::string> EarthSpaceInputErrors(const EarthSpaceInput& in);

// Empty exactly when EarthSpaceInputErrors is not.
std::optional<EarthSpaceResult> EvaluateEarthSpace(const EarthSpaceInput& in);

// The parts of section 2.5, dB; the gas and cloud parts also at 1 %.
struct AttenuationParts {
    double gas;
    double gasAt1Percent;
    double cloud;
    double cloudAt1Percent;
    double rain;
    double scintillation;
};

double TotalAttenuationDb(const AttenuationParts& parts, double percentOfTime);

// The distance (km) from a station h_s km high to a satellite H km above a
// spherical earth, seen at an elevation of -90 to 90 degrees.
double SlantRangeKm(double elevationDeg, double satelliteAltitudeKm, double stationHeightKm);
