#pragma once
// Rain attenuation on an Earth-space path. No Qt.
//
// ITU-R P.618-13 (12/2017), section 2.2.1.1, long-term statistics of the
// slant-path rain attenuation at one place, up to 55 GHz, in ten steps:
//   1  the rain height h_R (here typed, or by ITU-R P.839-4 from the mean
//      0 degC isotherm height: h_R = h_0 + 0.36 km);
//   2  the slant path below the rain height L_s = (h_R - h_s) / sin(theta)
//      from 5 degrees up, and 2 (h_R - h_s) / (sqrt(sin^2 theta
//      + 2 (h_R - h_s) / R_e) + sin theta) below, R_e = 8500 km; where
//      h_R - h_s <= 0 the predicted attenuation is zero for every p;
//   3  its horizontal projection L_G = L_s cos(theta);
//   4  the rain rate R0.01 exceeded for 0.01 % of an average year (a rate
//      of 0 gives zero attenuation);
//   5  gamma_R = k R0.01^alpha with k and alpha of ITU-R P.838-3
//      (rain_attenuation.h) for the path's elevation and polarization tilt;
//   6  the horizontal reduction factor
//      r0.01 = 1 / (1 + 0.78 sqrt(L_G gamma_R / f) - 0.38 (1 - exp(-2 L_G)));
//   7  the vertical adjustment factor nu0.01 from zeta = atan((h_R - h_s) /
//      (L_G r0.01)), L_R, and chi = 36 - |latitude| below 36 degrees (else 0):
//      nu0.01 = 1 / (1 + sqrt(sin theta) (31 (1 - exp(-theta / (1 + chi)))
//      sqrt(L_R gamma_R) / f^2 - 0.45));
//   8  the effective path length L_E = L_R nu0.01;
//   9  A0.01 = gamma_R L_E;
//   10 A_p = A0.01 (p / 0.01)^-(0.655 + 0.033 ln p - 0.045 ln A0.01
//      - beta (1 - p) sin theta) for p from 0.001 % to 5 %, with beta from the
//      latitude, p and the elevation.
// A rain height at or below the station gives no loss (step 2); a rain height
// below it is most likely a mistake, which RainHeightBelowStation tells.
#include "rain_attenuation.h"

constexpr double kIsothermToRainHeightKm = 0.36; // ITU-R P.839-4
constexpr double kSlantRainLowestPercent = 0.001;
constexpr double kSlantRainHighestPercent = 5.0;
constexpr double kSlantRainHighestGHz = 55.0;

// ITU-R P.839-4: h_R (km) from the 0 degC isotherm height h_0 (km).
double RainHeightFromIsothermKm(double isothermHeightKm);

bool RainHeightBelowStation(double rainHeightKm, double stationHeightKm);

struct SlantRainInput {
    double freqGHz;
    double elevationDeg;    // theta
    double latitudeDeg;     // phi
    double stationHeightKm; // h_s
    double rainHeightKm;    // h_R
    double rateMmH;         // R0.01
    double percentOfTime;   // p, 0.001 to 5
    double tiltDeg;         // polarization tilt from the horizontal
};

struct SlantRain {
    bool pathInRain;     // false: h_R <= h_s or R0.01 = 0, no loss
    double slantKm;      // L_s
    double horizontalKm; // L_G
    RainCoefficients coefficients;
    double specific;         // gamma_R, dB/km
    double horizontalFactor; // r0.01
    double verticalFactor;   // nu0.01
    double effectiveKm;      // L_E
    double loss001;          // A0.01, dB
    double loss;             // A_p, dB
};

SlantRain SlantRainAttenuation(const SlantRainInput& in);
