#include "dish_antenna.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kHzPerMHz = 1e6;
constexpr double kBeamwidthConstant = 70.0; // degrees per lambda / D

double wavelengthM(double freqMHz) {
    return kSpeedOfLight / (freqMHz * kHzPerMHz);
}

} // namespace

double DishGainDbi(double diameterM, double efficiency, double freqMHz) {
    const double aperture = std::numbers::pi * diameterM / wavelengthM(freqMHz);
    return 10.0 * std::log10(efficiency * aperture * aperture);
}

double DishBeamwidthDeg(double diameterM, double freqMHz) {
    return kBeamwidthConstant * wavelengthM(freqMHz) / diameterM;
}
