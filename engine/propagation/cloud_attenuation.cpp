#include "cloud_attenuation.h"

#include <cmath>
#include <numbers>

double CloudLiquidCoefficient(double freqGHz, double temperatureK) {
    const double f = freqGHz;
    const double theta = 300.0 / temperatureK - 1.0; // theta - 1
    const double eps0 = 77.66 + 103.3 * theta;
    const double eps1 = 0.0671 * eps0;
    constexpr double eps2 = 3.52;
    const double fp = 20.20 - 146.0 * theta + 316.0 * theta * theta; // GHz
    const double fs = 39.8 * fp;
    const double principal = 1.0 + (f / fp) * (f / fp);
    const double secondary = 1.0 + (f / fs) * (f / fs);
    const double loss = f * (eps0 - eps1) / (fp * principal) + f * (eps1 - eps2) / (fs * secondary);
    const double real = (eps0 - eps1) / principal + (eps1 - eps2) / secondary + eps2;
    const double eta = (2.0 + real) / loss;
    return 0.819 * f / (loss * (1.0 + eta * eta));
}

double CloudAttenuationDb(double freqGHz, double elevationDeg, double liquidKgM2) {
    return liquidKgM2 * CloudLiquidCoefficient(freqGHz, kCloudReferenceTemperatureK) /
           std::sin(elevationDeg * std::numbers::pi / 180.0);
}
