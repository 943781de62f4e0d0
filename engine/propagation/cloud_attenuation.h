#pragma once
// Attenuation due to clouds. No Qt.
//
// ITU-R P.840-8 (08/2019):
//   the specific attenuation coefficient of cloud liquid water
//   from the double-Debye model of the permittivity of water:
//     K_l = 0.819 f / (eps'' (1 + eta^2))  (dB/km)/(g/m3), eta = (2 + eps') / eps''
//     eps''(f), eps'(f) from eps0 = 77.66 + 103.3 (theta - 1), eps1 = 0.0671 eps0,
//     eps2 = 3.52, the principal and secondary relaxation frequencies
//     fp = 20.20 - 146 (theta - 1) + 316 (theta - 1)^2 GHz and fs = 39.8 fp,
//     theta = 300 / T;
//   along a slant path, from the reduced columnar liquid water content
//   L (kg/m2): A_C = L K_l(f, 273.15 K) / sin(elevation), 5 to 90 degrees.

constexpr double kCloudReferenceTemperatureK = 273.15;

// K_l at f GHz and T K, (dB/km)/(g/m3).
double CloudLiquidCoefficient(double freqGHz, double temperatureK);

// A_C (dB) through L kg/m2 of reduced liquid water, elevation 5 to 90 degrees.
double CloudAttenuationDb(double freqGHz, double elevationDeg, double liquidKgM2);
