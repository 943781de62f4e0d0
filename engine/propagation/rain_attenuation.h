#pragma once
// Rain attenuation on a terrestrial line-of-sight path. No Qt.
//
// ITU-R P.838-3 (03/2005), specific attenuation model for rain:
//   gamma = k * R^alpha dB/km                                       eq. (1)
//   log10 k and alpha as sums of Gaussians in log10 f               eqs. (2), (3)
//   coefficients for kH, kV, alphaH, alphaV                         Tables 1 to 4
//   k and alpha for any path elevation and polarization tilt        eqs. (4), (5)
//   valid from 1 to 1000 GHz.
// ITU-R P.530-17 (12/2017) section 2.4.1, long-term statistics of rain
// attenuation: the distance factor r (step 3, at most 2.5), the attenuation
// exceeded for 0.01 % of the time A0.01 = gamma * d * r (step 4), and the
// power law that scales it to other percentages of the time (step 5).

// The coefficients of eq. (1) for one path.
struct RainCoefficients {
    double k;
    double alpha;
};

constexpr double kRainModelLowestGHz = 1.0;
constexpr double kHorizontalTiltDeg = 0.0;
constexpr double kVerticalTiltDeg = 90.0;
constexpr double kCircularTiltDeg = 45.0;

// Tables 1 to 4 through eqs. (2) and (3); f in GHz.
RainCoefficients HorizontalRainCoefficients(double freqGHz);
RainCoefficients VerticalRainCoefficients(double freqGHz);

// Eqs. (4) and (5): tilt of the polarization from the horizontal and the
// path's elevation, both in degrees.
RainCoefficients RainCoefficientsFor(double freqGHz, double tiltDeg, double elevationDeg);

// Eq. (1): dB/km at a rain rate in mm/h (0 for a rate of 0).
double RainSpecificAttenuation(const RainCoefficients& c, double rateMmH);

// Step 3: the distance factor r for a path of d km; 2.5 where the
// denominator falls below 0.4 (which includes the short paths on which it
// turns negative).
double RainDistanceFactor(double distanceKm, double rateMmH, double alpha, double freqGHz);

// Step 5: Ap / A0.01 for p percent of the time (0.001 to 1).
double RainTimeScale(double freqGHz, double percentOfTime);

// Step 5 read backwards: the percentage of the time (0.001 to 1) for which
// a loss of lossDb is exceeded on a path whose A0.01 is loss001 dB (above 0);
// held to the method's range: 0.001 for a loss above A0.001, 1 below A1.
constexpr double kRainLeastPercent = 0.001;
constexpr double kRainMostPercent = 1.0;
double RainPercentExceeded(double freqGHz, double loss001, double lossDb);

struct RainPath {
    RainCoefficients coefficients;
    double specific;       // gamma, dB/km
    double distanceFactor; // r
    double effectiveKm;    // d * r
    double loss001;        // A0.01, dB
    double loss;           // Ap, dB
};

// The whole chain for a path of d km at a rain rate exceeded for 0.01 % of
// the time, scaled to p percent of the time. A path of 0 km or less, or a
// rate of 0, has no loss.
RainPath RainPathAttenuation(double freqGHz, double distanceKm, double rateMmH,
                             double percentOfTime, double tiltDeg, double elevationDeg);
