#include "scintillation.h"

#include "gas_attenuation.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kTurbulenceHeightM = 1000.0; // h_L

} // namespace

double WetRefractivity(double temperatureK, double vapourDensityGm3) {
    const double e = VapourPressureHpa(vapourDensityGm3, temperatureK);
    return 72.0 * e / temperatureK + 3.75e5 * e / (temperatureK * temperatureK);
}

double ScintillationFadeDb(const ScintillationInput& in) {
    const double sinTheta = std::sin(in.elevationDeg * std::numbers::pi / 180.0);
    const double sigmaRef = 3.6e-3 + 1e-4 * in.wetRefractivity;
    const double pathM =
        2.0 * kTurbulenceHeightM / (std::sqrt(sinTheta * sinTheta + 2.35e-4) + sinTheta);
    const double diameter = std::sqrt(in.antennaEfficiency) * in.antennaDiameterM;
    const double x = 1.22 * diameter * diameter * in.freqGHz / pathM;
    const double averaging =
        3.86 * std::pow(x * x + 1.0, 11.0 / 12.0) * std::sin(11.0 / 6.0 * std::atan(1.0 / x)) -
        7.08 * std::pow(x, 5.0 / 6.0);
    if (!(averaging > 0.0)) {
        return 0.0;
    }
    const double sigma = sigmaRef * std::pow(in.freqGHz, 7.0 / 12.0) * std::sqrt(averaging) /
                         std::pow(sinTheta, 1.2);
    const double lp = std::log10(in.percentOfTime);
    const double a = -0.061 * lp * lp * lp + 0.072 * lp * lp - 1.71 * lp + 3.0;
    return a * sigma;
}
