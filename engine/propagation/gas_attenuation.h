#pragma once
// Attenuation by atmospheric gases. No Qt.
//
// ITU-R P.676-12 (08/2019), Annex 1, line-by-line specific attenuation from
// the dry-air pressure p (hPa), the water-vapour partial pressure e (hPa) and
// the temperature T (K), 1 to 1000 GHz:
//   gamma = gamma_o + gamma_w = 0.1820 f (N''_Oxygen + N''_WaterVapour)  dB/km  eq. (1)
//   N''_Oxygen = sum_i S_i F_i + N''_D,  N''_WaterVapour = sum_i S_i F_i  eqs. (2a), (2b)
//   line strengths S_i from Tables 1 and 2                             eq. (3)
//   theta = 300 / T, e = rho T / 216.7                                  eq. (4)
//   line shape F_i, line width Delta f, interference correction delta eqs. (5) to (7)
//   dry continuum (Debye and pressure-induced nitrogen) N''_D and d     eqs. (8), (9)
// and a terrestrial path of d km: A = gamma d (section 2.1).
//
// Annex 2, approximate slant-path attenuation, 1 to 350 GHz, from the
// instantaneous surface values of the total pressure P = p + e, T and rho:
//   slant paths: the equivalent heights of oxygen h_o (terms t1, t2, t3, the
//   surface-temperature factor A = 0.7832 + 0.00709 (T - 273.15), and the
//   limit h_o <= 10.7 r_p^0.3 below 70 GHz) and of water vapour h_w (sigma_w),
//   r_p = P / 1013.25; the zenith attenuations A_o = gamma_o h_o and
//   A_w = gamma_w h_w; the slant path A = (A_o + A_w) / sin(elevation) for
//   elevations of 5 to 90 degrees.
//   zenith water vapour from V_t: the attenuation from the total columnar
//   content V_t (kg/m2) and the station height h (km), scaled from gamma_w at
//   20.6 GHz, 845 hPa, rho = V_t / 2.38 and T = 14 ln(0.22 V_t / 2.38) + 3 degC,
//   with the factor (a h^b + 1) above 20 GHz.
#include <array>
#include <optional>
#include <span>

constexpr double kGasLowestGHz = 1.0;
constexpr double kGasSlantHighestGHz = 350.0; // Annex 2
constexpr double kGasSlantLowestElevationDeg = 5.0;

// One row of Table 1 (a1 to a6) or Table 2 (b1 to b6).
struct SpectralLine {
    double f0; // GHz
    std::array<double, 6> c;
};

std::span<const SpectralLine> OxygenLines();      // Table 1
std::span<const SpectralLine> WaterVapourLines(); // Table 2

// Eq. (4): e (hPa) from rho (g/m3) and T (K).
double VapourPressureHpa(double vapourDensityGm3, double temperatureK);

struct GasSpecific {
    double oxygen;      // gamma_o, dB/km
    double waterVapour; // gamma_w, dB/km
};

// Eqs. (1) to (9) at f GHz, dry-air pressure p (hPa), T (K), rho (g/m3).
GasSpecific GasSpecificAttenuation(double freqGHz, double dryPressureHpa, double temperatureK,
                                   double vapourDensityGm3);

// A = gamma d over a terrestrial path of d km (dB).
double TerrestrialGasLossDb(const GasSpecific& gamma, double distanceKm);

// The air at the station: what a barometer, a thermometer and a hygrometer read.
struct SurfaceAir {
    double pressureHpa;      // total barometric pressure P = p + e
    double temperatureK;     // T
    double vapourDensityGm3; // rho
};

struct EquivalentHeights {
    double oxygenKm;      // h_o
    double waterVapourKm; // h_w
};

EquivalentHeights GasEquivalentHeights(double freqGHz, const SurfaceAir& air);

// Annex 2: A_w (dB) at the zenith from V_t (kg/m2, > 0) for a station
// h km high (the recommendation's 0 to 4 km; the nearest end outside them).
double ZenithWaterVapourFromColumnDb(double freqGHz, double columnarVapourKgM2,
                                     double stationHeightKm);

struct SlantGas {
    GasSpecific specific; // at the station, dB/km
    EquivalentHeights heights;
    double oxygenZenithDb;      // A_o
    double waterVapourZenithDb; // A_w: from V_t when it is given, else gamma_w h_w
    double lossDb;              // (A_o + A_w) / sin(elevation)
};

// The Earth-space path from a station with surface air `air`; empty for an
// elevation outside 5 to 90 degrees, where the method gives no number.
std::optional<SlantGas> SlantGasAttenuation(double freqGHz, double elevationDeg,
                                            const SurfaceAir& air,
                                            std::optional<double> columnarVapourKgM2,
                                            double stationHeightKm);
