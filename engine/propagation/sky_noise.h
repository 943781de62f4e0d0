#pragma once
// Sky noise temperature at an earth station's antenna. No Qt.
//
// ITU-R P.618-13 (12/2017), Annex 1, section 3 (noise temperature):
//   T_sky = T_mr (1 - 10^(-A/10)) + 2.7 * 10^(-A/10)  K
// where A is the total atmospheric attenuation excluding scintillation (dB)
// and 2.7 K the cosmic background seen through it. The atmospheric mean
// radiating temperature T_mr may be estimated from the surface temperature
// T_s (K) as T_mr = 37.34 + 0.81 T_s; in the absence of local data the
// recommendation allows T_mr = 275 K for clear and rainy weather.
#include <optional>

constexpr double kCosmicBackgroundK = 2.7;
constexpr double kDefaultMeanRadiatingK = 275.0;

// T_mr (K): from the surface temperature (K) when it is known, else 275 K.
double MeanRadiatingTemperatureK(std::optional<double> surfaceTemperatureK = std::nullopt);

// T_sky (K) behind an atmospheric attenuation of `attenuationDb` (>= 0).
double SkyNoiseTemperatureK(double attenuationDb, double meanRadiatingK = kDefaultMeanRadiatingK);
