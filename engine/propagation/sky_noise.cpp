#include "sky_noise.h"

#include <cmath>

namespace {

// T_mr = a + b T_s, both in K.
constexpr double kMeanRadiatingOffsetK = 37.34;
constexpr double kMeanRadiatingSlope = 0.81;

} // namespace

double MeanRadiatingTemperatureK(std::optional<double> surfaceTemperatureK) {
    if (!surfaceTemperatureK) {
        return kDefaultMeanRadiatingK;
    }
    return kMeanRadiatingOffsetK + kMeanRadiatingSlope * *surfaceTemperatureK;
}

double SkyNoiseTemperatureK(double attenuationDb, double meanRadiatingK) {
    const double transmission = std::pow(10.0, -attenuationDb / 10.0);
    return meanRadiatingK * (1.0 - transmission) + kCosmicBackgroundK * transmission;
}
