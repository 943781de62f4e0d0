#pragma once
// The gain of a parabolic dish from its size. No Qt.
//
// An aperture antenna of physical area A and aperture efficiency eta has
// the gain G = 4 pi eta A / lambda^2 (the effective-area relation of the
// IEEE Standard Definitions of Terms for Antennas, IEEE Std 145-2013), which
// for a circular dish of diameter
// D is G = eta (pi D / lambda)^2. Its half-power beamwidth is about
// 70 lambda / D degrees, the usual rule for a dish with a tapered
// illumination.

constexpr double kSpeedOfLight = 299'792'458.0; // m/s
constexpr double kDefaultDishEfficiency = 0.55;

// Gain in dBi of a dish D metres across at f MHz.
double DishGainDbi(double diameterM, double efficiency, double freqMHz);

// Half-power beamwidth in degrees.
double DishBeamwidthDeg(double diameterM, double freqMHz);
