#include "path_clearance.h"

#include <cmath>

namespace {

constexpr double kFresnelConstant = 17.32; // sqrt(300): lambda = 0.3 / f m, distances in km
constexpr double kBulgeConstant = 12.74;   // 2 a in thousands of km: b in m for d in km
constexpr double kMetresPerKm = 1000.0;

} // namespace

double RadioHorizonKm(double h1M, double h2M, double earthFactor) {
    const double twoKa = 2.0 * earthFactor * kEarthRadiusKm;
    return std::sqrt(twoKa * h1M / kMetresPerKm) + std::sqrt(twoKa * h2M / kMetresPerKm);
}

double FresnelRadiusM(double d1Km, double d2Km, double freqGHz) {
    // Each distance under its own root: the product of two short (or long)
    // distances would underflow (overflow) first.
    return kFresnelConstant * std::sqrt(d1Km) * std::sqrt(d2Km / (freqGHz * (d1Km + d2Km)));
}

double EarthBulgeM(double d1Km, double d2Km, double earthFactor) {
    return d1Km * d2Km / (kBulgeConstant * earthFactor);
}

PathClearance MidPathClearance(double distanceKm, double freqGHz, double h1M, double h2M,
                               double earthFactor) {
    PathClearance p{};
    const double half = distanceKm / 2.0;
    p.horizonKm = RadioHorizonKm(h1M, h2M, earthFactor);
    p.fresnelM = FresnelRadiusM(half, half, freqGHz);
    p.bulgeM = EarthBulgeM(half, half, earthFactor);
    p.clearanceM = (h1M + h2M) / 2.0 - p.bulgeM;
    p.clearanceFraction = p.clearanceM / p.fresnelM;
    p.beyondHorizon = distanceKm > p.horizonKm;
    p.underRequired = !(p.clearanceM >= kRequiredFresnelFraction * p.fresnelM);
    return p;
}
