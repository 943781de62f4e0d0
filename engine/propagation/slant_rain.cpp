#include "slant_rain.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kEffectiveEarthRadiusKm = 8500.0; // step 2, below 5 degrees
constexpr double kLowElevationDeg = 5.0;
constexpr double kTropicsDeg = 36.0; // chi and beta change at this latitude

} // namespace

double RainHeightFromIsothermKm(double isothermHeightKm) {
    return isothermHeightKm + kIsothermToRainHeightKm;
}

bool RainHeightBelowStation(double rainHeightKm, double stationHeightKm) {
    return rainHeightKm < stationHeightKm;
}

SlantRain SlantRainAttenuation(const SlantRainInput& in) {
    SlantRain rain{};
    const double depth = in.rainHeightKm - in.stationHeightKm; // h_R - h_s
    rain.coefficients = RainCoefficientsFor(in.freqGHz, in.tiltDeg, in.elevationDeg);
    if (!(depth > 0.0) || !(in.rateMmH > 0.0)) {
        return rain; // steps 2 and 4: no rain on the path
    }
    rain.pathInRain = true;
    const double theta = in.elevationDeg;
    const double sinTheta = std::sin(theta * kDegree);
    const double cosTheta = std::cos(theta * kDegree);
    const double f = in.freqGHz;
    rain.slantKm =
        theta >= kLowElevationDeg
            ? depth / sinTheta
            : 2.0 * depth /
                  (std::sqrt(sinTheta * sinTheta + 2.0 * depth / kEffectiveEarthRadiusKm) +
                   sinTheta);
    rain.horizontalKm = rain.slantKm * cosTheta;
    rain.specific = RainSpecificAttenuation(rain.coefficients, in.rateMmH);
    const double lg = rain.horizontalKm;
    rain.horizontalFactor =
        1.0 / (1.0 + 0.78 * std::sqrt(lg * rain.specific / f) - 0.38 * (1.0 - std::exp(-2.0 * lg)));
    const double zetaDeg = std::atan2(depth, lg * rain.horizontalFactor) / kDegree;
    const double rainKm =
        zetaDeg > theta ? lg * rain.horizontalFactor / cosTheta : depth / sinTheta;
    const double latitude = std::fabs(in.latitudeDeg);
    const double chi = latitude < kTropicsDeg ? kTropicsDeg - latitude : 0.0;
    rain.verticalFactor =
        1.0 / (1.0 + std::sqrt(sinTheta) * (31.0 * (1.0 - std::exp(-theta / (1.0 + chi))) *
                                                std::sqrt(rainKm * rain.specific) / (f * f) -
                                            0.45));
    rain.effectiveKm = rainKm * rain.verticalFactor;
    rain.loss001 = rain.specific * rain.effectiveKm;
    const double p = in.percentOfTime;
    double beta = 0.0;
    if (p < 1.0 && latitude < kTropicsDeg) {
        beta = -0.005 * (latitude - kTropicsDeg);
        if (theta < 25.0) {
            beta += 1.8 - 4.25 * sinTheta;
        }
    }
    const double exponent =
        0.655 + 0.033 * std::log(p) - 0.045 * std::log(rain.loss001) - beta * (1.0 - p) * sinTheta;
    rain.loss = rain.loss001 * std::pow(p / 0.01, -exponent);
    return rain;
}
