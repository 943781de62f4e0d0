#include "antenna_losses.h"

#include "dish_antenna.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPointingLossFactor = 12.0; // dB at theta = theta_3dB
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// sin and cos of 2 epsilon, the latitude on the Poincare sphere, of an axial
// ratio in dB. With t = tan |epsilon| = 1 / r they are 2t / (1 + t^2) and
// (1 - t^2) / (1 + t^2): exact at the pole (circular, t = 1) and on the
// equator (linear, t = 0), so orthogonal pairs give exactly no coupling.
struct Latitude {
    double sin2e;
    double cos2e;
};

Latitude latitude(double axialRatioDb) {
    const double t = std::pow(10.0, -std::fabs(axialRatioDb) / 20.0);
    const double d = 1.0 + t * t;
    return {2.0 * t / d, (1.0 - t * t) / d};
}

} // namespace

double PointingLossDb(double offsetDeg, double beamwidthDeg) {
    const double relative = offsetDeg / beamwidthDeg;
    return kPointingLossFactor * relative * relative;
}

double DishPointingLossDb(double offsetDeg, double diameterM, double freqMHz) {
    return PointingLossDb(offsetDeg, DishBeamwidthDeg(diameterM, freqMHz));
}

double PolarizationEfficiency(double axialRatio1Db, double axialRatio2Db, double tiltDeg,
                              PolarizationSense sense) {
    const Latitude m1 = latitude(axialRatio1Db);
    const Latitude m2 = latitude(axialRatio2Db);
    const double senseSign = sense == PolarizationSense::Same ? 1.0 : -1.0;
    // Cosine of the angle between the two points on the sphere.
    const double cosAngle = senseSign * m1.sin2e * m2.sin2e +
                            m1.cos2e * m2.cos2e * std::cos(2.0 * tiltDeg * kRadiansPerDegree);
    // cos^2(MM/2), kept within [0, 1] against rounding.
    const double p = (1.0 + cosAngle) / 2.0;
    return std::fmin(1.0, std::fmax(0.0, p));
}

double PolarizationMismatchLossDb(double axialRatio1Db, double axialRatio2Db, double tiltDeg,
                                  PolarizationSense sense) {
    const double p = PolarizationEfficiency(axialRatio1Db, axialRatio2Db, tiltDeg, sense);
    return p > 0.0 ? -10.0 * std::log10(p) : std::numeric_limits<double>::infinity();
}
