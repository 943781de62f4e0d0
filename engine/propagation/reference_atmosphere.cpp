#include "reference_atmosphere.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr double kEarthRadiusKm = 6356.766; // the recommendation's, for h'
constexpr double kHydrostatic = 34.1632;    // g0 M / R, K/km
constexpr double kLayerTopKm = 84.852;      // h' of the last layer's top (h = 86 km)
constexpr double kUpperBaseKm = 86.0;
constexpr double kIsothermalTopKm = 91.0;

// One layer below 86 km: its base h' (km), temperature (K), gradient (K/km)
// and pressure (hPa) at the base.
struct Layer {
    double baseKm;
    double temperatureK;
    double gradientKPerKm;
    double pressureHpa;
};

constexpr Layer kLayers[] = {
    {0.0, 288.15, -6.5, 1013.25},     {11.0, 216.65, 0.0, 226.3226},
    {20.0, 216.65, 1.0, 54.74980},    {32.0, 228.65, 2.8, 8.680422},
    {47.0, 270.65, 0.0, 1.109106},    {51.0, 270.65, -2.8, 0.6694167},
    {71.0, 214.65, -2.0, 0.03956649},
};

// P = exp(a0 + a1 h + ... + a4 h^4) from 86 to 100 km.
constexpr double kUpperPressure[] = {95.571899, -4.011801, 6.424731e-2, -4.789660e-4, 1.340543e-6};

constexpr double kSeaLevelVapourGm3 = 7.5;
constexpr double kVapourScaleKm = 2.0;
constexpr double kLeastMixingRatio = 2e-6;

} // namespace

double GeopotentialHeightKm(double heightKm) {
    return kEarthRadiusKm * heightKm / (kEarthRadiusKm + heightKm);
}

ReferenceAtmosphere ReferenceAtmosphereAt(double heightKm) {
    const double h = std::min(heightKm, kReferenceHighestKm);
    ReferenceAtmosphere air{};
    if (h <= kUpperBaseKm) {
        const double hp = std::min(GeopotentialHeightKm(h), kLayerTopKm);
        const Layer* layer = std::begin(kLayers);
        for (const Layer& next : kLayers) {
            if (hp >= next.baseKm) {
                layer = &next;
            }
        }
        const double rise = hp - layer->baseKm;
        air.temperatureK = layer->temperatureK + layer->gradientKPerKm * rise;
        air.pressureHpa =
            layer->gradientKPerKm == 0.0
                ? layer->pressureHpa * std::exp(-kHydrostatic * rise / layer->temperatureK)
                : layer->pressureHpa * std::pow(layer->temperatureK / air.temperatureK,
                                                kHydrostatic / layer->gradientKPerKm);
    } else {
        const double above = (h - kIsothermalTopKm) / 19.9429;
        air.temperatureK =
            h <= kIsothermalTopKm ? 186.8673 : 263.1905 - 76.3232 * std::sqrt(1.0 - above * above);
        double exponent = 0.0;
        for (double power = 1.0; const double a : kUpperPressure) {
            exponent += a * power;
            power *= h;
        }
        air.pressureHpa = std::exp(exponent);
    }
    const double vapour = kSeaLevelVapourGm3 * std::exp(-h / kVapourScaleKm);
    // rho giving e = 2e-6 P, from e = rho T / 216.7.
    const double least = kLeastMixingRatio * air.pressureHpa * 216.7 / air.temperatureK;
    air.vapourDensityGm3 = std::max(vapour, least);
    return air;
}
