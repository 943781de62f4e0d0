#include "dish_antenna.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kHzPerMHz = 1e6;
constexpr double kBeamwidthConstant = 70.0; // degrees per lambda / D

double WavelengthM(double freqMHz) {
    return kSpeedOfLight / (freqMHz * kHzPerMHz);
}

} // namespace

double DishGainDbi(double diameterM, double efficiency, double freqMHz) {
    const double aperture = std::numbers::pi * diameterM / WavelengthM(freqMHz);
    return 10.0 * std::log10(efficiency * aperture * aperture);
}

double DishBeamwidthDeg(double diameterM, double freqMHz) {
    return kBeamwidthConstant * WavelengthM(freqMHz) / diameterM;
}
