#include "gas_attenuation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Table 1: f0 (GHz), a1 to a6.
constexpr SpectralLine kOxygenLines[] = {
    {50.474214, {0.975, 9.651, 6.69, 0.0, 2.566, 6.85}},
    {50.987745, {2.529, 8.653, 7.17, 0.0, 2.246, 6.8}},
    {51.50336, {6.193, 7.709, 7.64, 0.0, 1.947, 6.729}},
    {52.021429, {14.32, 6.819, 8.11, 0.0, 1.667, 6.64}},
    {52.542418, {31.24, 5.983, 8.58, 0.0, 1.388, 6.526}},
    {53.066934, {64.29, 5.201, 9.06, 0.0, 1.349, 6.206}},
    {53.595775, {124.6, 4.474, 9.55, 0.0, 2.227, 5.085}},
    {54.130025, {227.3, 3.8, 9.96, 0.0, 3.17, 3.75}},
    {54.67118, {389.7, 3.182, 10.37, 0.0, 3.558, 2.654}},
    {55.221384, {627.1, 2.618, 10.89, 0.0, 2.56, 2.952}},
    {55.783815, {945.3, 2.109, 11.34, 0.0, -1.172, 6.135}},
    {56.264774, {543.4, 0.014, 17.03, 0.0, 3.525, -0.978}},
    {56.363399, {1331.8, 1.654, 11.89, 0.0, -2.378, 6.547}},
    {56.968211, {1746.6, 1.255, 12.23, 0.0, -3.545, 6.451}},
    {57.612486, {2120.1, 0.91, 12.62, 0.0, -5.416, 6.056}},
    {58.323877, {2363.7, 0.621, 12.95, 0.0, -1.932, 0.436}},
    {58.446588, {1442.1, 0.083, 14.91, 0.0, 6.768, -1.273}},
    {59.164204, {2379.9, 0.387, 13.53, 0.0, -6.561, 2.309}},
    {59.590983, {2090.7, 0.207, 14.08, 0.0, 6.957, -0.776}},
    {60.306056, {2103.4, 0.207, 14.15, 0.0, -6.395, 0.699}},
    {60.434778, {2438.0, 0.386, 13.39, 0.0, 6.342, -2.825}},
    {61.150562, {2479.5, 0.621, 12.92, 0.0, 1.014, -0.584}},
    {61.800158, {2275.9, 0.91, 12.63, 0.0, 5.014, -6.619}},
    {62.41122, {1915.4, 1.255, 12.17, 0.0, 3.029, -6.759}},
    {62.486253, {1503.0, 0.083, 15.13, 0.0, -4.499, 0.844}},
    {62.997984, {1490.2, 1.654, 11.74, 0.0, 1.856, -6.675}},
    {63.568526, {1078.0, 2.108, 11.34, 0.0, 0.658, -6.139}},
    {64.127775, {728.7, 2.617, 10.88, 0.0, -3.036, -2.895}},
    {64.67891, {461.3, 3.181, 10.38, 0.0, -3.968, -2.59}},
    {65.224078, {274.0, 3.8, 9.96, 0.0, -3.528, -3.68}},
    {65.764779, {153.0, 4.473, 9.55, 0.0, -2.548, -5.002}},
    {66.302096, {80.4, 5.2, 9.06, 0.0, -1.66, -6.091}},
    {66.836834, {39.8, 5.982, 8.58, 0.0, -1.68, -6.393}},
    {67.369601, {18.56, 6.818, 8.11, 0.0, -1.956, -6.475}},
    {67.900868, {8.172, 7.708, 7.64, 0.0, -2.216, -6.545}},
    {68.431006, {3.397, 8.652, 7.17, 0.0, -2.492, -6.6}},
    {68.960312, {1.334, 9.65, 6.69, 0.0, -2.773, -6.65}},
    {118.750334, {940.3, 0.01, 16.64, 0.0, -0.439, 0.079}},
    {368.498246, {67.4, 0.048, 16.4, 0.0, 0.0, 0.0}},
    {424.76302, {637.7, 0.044, 16.4, 0.0, 0.0, 0.0}},
    {487.249273, {237.4, 0.049, 16.0, 0.0, 0.0, 0.0}},
    {715.392902, {98.1, 0.145, 16.0, 0.0, 0.0, 0.0}},
    {773.83949, {572.3, 0.141, 16.2, 0.0, 0.0, 0.0}},
    {834.145546, {183.1, 0.145, 14.7, 0.0, 0.0, 0.0}},
};

// Table 2: f0 (GHz), b1 to b6.
constexpr SpectralLine kWaterVapourLines[] = {
    {22.23508, {0.1079, 2.144, 26.38, 0.76, 5.087, 1.0}},
    {67.80396, {0.0011, 8.732, 28.58, 0.69, 4.93, 0.82}},
    {119.99594, {0.0007, 8.353, 29.48, 0.7, 4.78, 0.79}},
    {183.310087, {2.273, 0.668, 29.06, 0.77, 5.022, 0.85}},
    {321.22563, {0.047, 6.179, 24.04, 0.67, 4.398, 0.54}},
    {325.152888, {1.514, 1.541, 28.23, 0.64, 4.893, 0.74}},
    {336.227764, {0.001, 9.825, 26.93, 0.69, 4.74, 0.61}},
    {380.197353, {11.67, 1.048, 28.11, 0.54, 5.063, 0.89}},
    {390.134508, {0.0045, 7.347, 21.52, 0.63, 4.81, 0.55}},
    {437.346667, {0.0632, 5.048, 18.45, 0.6, 4.23, 0.48}},
    {439.150807, {0.9098, 3.595, 20.07, 0.63, 4.483, 0.52}},
    {443.018343, {0.192, 5.048, 15.55, 0.6, 5.083, 0.5}},
    {448.001085, {10.41, 1.405, 25.64, 0.66, 5.028, 0.67}},
    {470.888999, {0.3254, 3.597, 21.34, 0.66, 4.506, 0.65}},
    {474.689092, {1.26, 2.379, 23.2, 0.65, 4.804, 0.64}},
    {488.490108, {0.2529, 2.852, 25.86, 0.69, 5.201, 0.72}},
    {503.568532, {0.0372, 6.731, 16.12, 0.61, 3.98, 0.43}},
    {504.482692, {0.0124, 6.731, 16.12, 0.61, 4.01, 0.45}},
    {547.67644, {0.9785, 0.158, 26.0, 0.7, 4.5, 1.0}},
    {552.02096, {0.184, 0.158, 26.0, 0.7, 4.5, 1.0}},
    {556.935985, {497.0, 0.159, 30.86, 0.69, 4.552, 1.0}},
    {620.700807, {5.015, 2.391, 24.38, 0.71, 4.856, 0.68}},
    {645.766085, {0.0067, 8.633, 18.0, 0.6, 4.0, 0.5}},
    {658.00528, {0.2732, 7.816, 32.1, 0.69, 4.14, 1.0}},
    {752.033113, {243.4, 0.396, 30.86, 0.68, 4.352, 0.84}},
    {841.051732, {0.0134, 8.177, 15.9, 0.33, 5.76, 0.45}},
    {859.965698, {0.1325, 8.055, 30.6, 0.68, 4.09, 0.84}},
    {899.303175, {0.0547, 7.914, 29.85, 0.68, 4.53, 0.9}},
    {902.611085, {0.0386, 8.429, 28.65, 0.7, 5.1, 0.95}},
    {906.205957, {0.1836, 5.11, 24.08, 0.7, 4.7, 0.53}},
    {916.171582, {8.4, 1.441, 26.73, 0.7, 5.15, 0.78}},
    {923.112692, {0.0079, 10.293, 29.0, 0.7, 5.0, 0.8}},
    {970.315022, {9.009, 1.919, 25.5, 0.64, 4.94, 0.67}},
    {987.926764, {134.6, 0.257, 29.85, 0.68, 4.55, 0.9}},
    {1780.0, {17506.0, 0.952, 196.3, 2.0, 24.15, 5.0}},
};

// The lines of t2 in h_o (Annex 2): weight and frequency (GHz).
constexpr std::array<std::array<double, 2>, 7> kOxygenHeightLines{{{0.1597, 118.750334},
                                                                   {0.1066, 368.498246},
                                                                   {0.1325, 424.763020},
                                                                   {0.1242, 487.249273},
                                                                   {0.0938, 715.392902},
                                                                   {0.1448, 773.839490},
                                                                   {0.1374, 834.145546}}};

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kStandardPressureHpa = 1013.25;
constexpr double kKelvinAtZeroCelsius = 273.15;

// Eq. (5) for one line: its two terms, at f0 - f and at f0 + f.
double lineShape(double f, double f0, double width, double delta) {
    const double below = f0 - f;
    const double above = f0 + f;
    const double w2 = width * width;
    return f / f0 *
           ((width - delta * below) / (below * below + w2) +
            (width - delta * above) / (above * above + w2));
}

// A line's strength S_i (eq. (3)), width Delta f (eq. (6)) and interference
// correction delta (eq. (7)): all but the frequency itself.
struct LineState {
    double strength;
    double width;
    double delta;
};

using OxygenStates = std::array<LineState, std::size(kOxygenLines)>;
using WaterVapourStates = std::array<LineState, std::size(kWaterVapourLines)>;

// theta^x as exp(x ln theta): the exponents differ from line to line.
OxygenStates oxygenStates(double p, double e, double theta) {
    const double logTheta = std::log(theta);
    const double theta3 = theta * theta * theta;
    const double theta08 = std::exp(0.8 * logTheta);
    OxygenStates states;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const auto& a = kOxygenLines[i].c;
        const double width =
            a[2] * 1e-4 * (p * std::exp((0.8 - a[3]) * logTheta) + 1.1 * e * theta);
        states[i] = {a[0] * 1e-7 * p * theta3 * std::exp(a[1] * (1.0 - theta)),
                     std::sqrt(width * width + 2.25e-6),
                     (a[4] + a[5] * theta) * 1e-4 * (p + e) * theta08};
    }
    return states;
}

WaterVapourStates waterVapourStates(double p, double e, double theta) {
    const double logTheta = std::log(theta);
    const double theta35 = std::exp(3.5 * logTheta);
    WaterVapourStates states;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const auto& b = kWaterVapourLines[i].c;
        const double f0 = kWaterVapourLines[i].f0;
        const double width =
            b[2] * 1e-4 * (p * std::exp(b[3] * logTheta) + b[4] * e * std::exp(b[5] * logTheta));
        states[i] = {
            b[0] * 1e-1 * e * theta35 * std::exp(b[1] * (1.0 - theta)),
            0.535 * width + std::sqrt(0.217 * width * width + 2.1316e-12 * f0 * f0 / theta), 0.0};
    }
    return states;
}

// The line sums of eqs. (2a) (without N''_D) and (2b) at f GHz.
template <std::size_t N>
double lineSum(double f, std::span<const SpectralLine> lines,
               const std::array<LineState, N>& states) {
    double sum = 0.0;
    for (std::size_t i = 0; i < N; ++i) {
        sum += states[i].strength * lineShape(f, lines[i].f0, states[i].width, states[i].delta);
    }
    return sum;
}

// Eqs. (8) and (9).
double dryContinuum(double f, double p, double e, double theta) {
    const double d = 5.6e-4 * (p + e) * std::pow(theta, 0.8);
    const double ratio = f / d;
    return f * p * theta * theta *
           (6.14e-5 / (d * (1.0 + ratio * ratio)) +
            1.4e-12 * p * std::pow(theta, 1.5) / (1.0 + 1.9e-5 * std::pow(f, 1.5)));
}

} // namespace

std::span<const SpectralLine> OxygenLines() {
    return kOxygenLines;
}

std::span<const SpectralLine> WaterVapourLines() {
    return kWaterVapourLines;
}

double VapourPressureHpa(double vapourDensityGm3, double temperatureK) {
    return vapourDensityGm3 * temperatureK / 216.7;
}

GasSpecific GasSpecificAttenuation(double freqGHz, double dryPressureHpa, double temperatureK,
                                   double vapourDensityGm3) {
    const double theta = 300.0 / temperatureK;
    const double e = VapourPressureHpa(vapourDensityGm3, temperatureK);
    const double oxygen = lineSum(freqGHz, kOxygenLines, oxygenStates(dryPressureHpa, e, theta)) +
                          dryContinuum(freqGHz, dryPressureHpa, e, theta);
    const double water =
        lineSum(freqGHz, kWaterVapourLines, waterVapourStates(dryPressureHpa, e, theta));
    return {0.1820 * freqGHz * oxygen, 0.1820 * freqGHz * water};
}

double TerrestrialGasLossDb(const GasSpecific& gamma, double distanceKm) {
    return (gamma.oxygen + gamma.waterVapour) * distanceKm;
}

EquivalentHeights GasEquivalentHeights(double freqGHz, const SurfaceAir& air) {
    const double f = freqGHz;
    const double rp = air.pressureHpa / kStandardPressureHpa;
    const double band = (f - 59.7) / (2.87 + 12.4 * std::exp(-7.9 * rp));
    const double t1 = 5.1040 / (1.0 + 0.066 * std::pow(rp, -2.3)) * std::exp(-band * band);
    double t2 = 0.0;
    for (const auto& [weight, fi] : kOxygenHeightLines) {
        t2 += weight * std::exp(2.12 * rp) / ((f - fi) * (f - fi) + 0.025 * std::exp(2.2 * rp));
    }
    const double t3 = 0.0114 * f / (1.0 + 0.14 * std::pow(rp, -2.6)) *
                      (15.02 * f * f - 1353.0 * f + 5.333e4) /
                      (f * f * f - 151.3 * f * f + 9629.0 * f - 6803.0);
    const double a = 0.7832 + 0.00709 * (air.temperatureK - kKelvinAtZeroCelsius);
    double oxygen = 6.1 * a / (1.0 + 0.17 * std::pow(rp, -1.1)) * (1.0 + t1 + t2 + t3);
    if (f < 70.0) {
        oxygen = std::min(oxygen, 10.7 * std::pow(rp, 0.3));
    }
    const double sigma = 1.013 / (1.0 + std::exp(-8.6 * (rp - 0.57)));
    const auto line = [&](double c, double fi, double w) {
        return c * sigma / ((f - fi) * (f - fi) + w * sigma);
    };
    const double water = 1.66 * (1.0 + line(1.39, 22.235, 2.56) + line(3.37, 183.31, 4.69) +
                                 line(1.58, 325.1, 2.89));
    return {oxygen, water};
}

double ZenithWaterVapourFromColumnDb(double freqGHz, double columnarVapourKgM2,
                                     double stationHeightKm) {
    if (!(columnarVapourKgM2 > 0.0)) {
        return 0.0;
    }
    constexpr double kReferenceGHz = 20.6;
    constexpr double kReferencePressureHpa = 845.0;
    const double f = freqGHz;
    const double vt = columnarVapourKgM2;
    const double density = vt / 2.38;
    const double temperature = 14.0 * std::log(0.22 * vt / 2.38) + 3.0 + kKelvinAtZeroCelsius;
    // gamma_w(f) / gamma_w(20.6 GHz) at one state of the air: the lines once.
    const double e = VapourPressureHpa(density, temperature);
    const WaterVapourStates states =
        waterVapourStates(kReferencePressureHpa, e, 300.0 / temperature);
    const double zenith = 0.0176 * vt * f * lineSum(f, kWaterVapourLines, states) /
                          (kReferenceGHz * lineSum(kReferenceGHz, kWaterVapourLines, states));
    if (f <= 20.0) {
        return zenith;
    }
    const auto peak = [f](double fi, double width) {
        const double z = (f - fi) / width;
        return std::exp(-z * z);
    };
    const double a = 0.2048 * peak(22.43, 3.097) + 0.2326 * peak(183.5, 4.096) +
                     0.2073 * peak(325.0, 3.651) - 0.1113;
    const double b = 8.741e4 * std::exp(-0.587 * f) + 312.2 * std::pow(f, -2.38) + 0.723;
    const double h = std::clamp(stationHeightKm, 0.0, 4.0);
    return zenith * (a * std::pow(h, b) + 1.0);
}

std::optional<SlantGas> SlantGasAttenuation(double freqGHz, double elevationDeg,
                                            const SurfaceAir& air,
                                            std::optional<double> columnarVapourKgM2,
                                            double stationHeightKm) {
    if (!(elevationDeg >= kGasSlantLowestElevationDeg && elevationDeg <= 90.0)) {
        return std::nullopt;
    }
    SlantGas gas{};
    const double e = VapourPressureHpa(air.vapourDensityGm3, air.temperatureK);
    gas.specific = GasSpecificAttenuation(freqGHz, air.pressureHpa - e, air.temperatureK,
                                          air.vapourDensityGm3);
    gas.heights = GasEquivalentHeights(freqGHz, air);
    gas.oxygenZenithDb = gas.specific.oxygen * gas.heights.oxygenKm;
    gas.waterVapourZenithDb =
        columnarVapourKgM2
            ? ZenithWaterVapourFromColumnDb(freqGHz, *columnarVapourKgM2, stationHeightKm)
            : gas.specific.waterVapour * gas.heights.waterVapourKm;
    gas.lossDb = (gas.oxygenZenithDb + gas.waterVapourZenithDb) / std::sin(elevationDeg * kDegree);
    return gas;
}
