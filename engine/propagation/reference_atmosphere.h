#pragma once
// The mean annual global reference atmosphere. No Qt.
//
// ITU-R P.835-6 (12/2017), Annex 1, the mean annual global reference
// atmosphere (after the U.S. Standard Atmosphere 1976):
//   geopotential height h' = 6356.766 h / (6356.766 + h) km from the
//   geometric height h;
//   up to h' = 84.852 km (h = 86 km), seven layers in h' with a constant
//   temperature gradient each, from 288.15 K and 1013.25 hPa at sea level:
//   T = T_b + L (h' - h'_b) and P = P_b (T_b / T)^(34.1632 / L), or
//   P = P_b exp(-34.1632 (h' - h'_b) / T_b) where L = 0;
//   from 86 to 100 km, T and P as functions of the geometric height (T =
//   186.8673 K to 91 km, then an ellipse; P = exp of a quartic in h);
//   water vapour rho = 7.5 exp(-h / 2) g/m3, raised where needed so that the
//   mixing ratio e / P is at least 2e-6 (e = rho T / 216.7).

constexpr double kReferenceHighestKm = 100.0;

struct ReferenceAtmosphere {
    double temperatureK;     // T
    double pressureHpa;      // total pressure P
    double vapourDensityGm3; // rho
};

double GeopotentialHeightKm(double heightKm);

// At a geometric height of h km, 0 to 100 km; below sea level the lowest
// layer continues, above 100 km the values at 100 km stand.
ReferenceAtmosphere ReferenceAtmosphereAt(double heightKm);
