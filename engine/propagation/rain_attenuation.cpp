#include "rain_attenuation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// One row of Tables 1 to 4: eq. (2) or (3) is
//   sum_j a_j exp(-((log10 f - b_j) / c_j)^2) + m * log10 f + c.
template <std::size_t N> struct GaussianFit {
    std::array<double, N> a;
    std::array<double, N> b;
    std::array<double, N> c;
    double m;
    double constant;

    double operator()(double log10f) const {
        double sum = m * log10f + constant;
        for (std::size_t j = 0; j < N; ++j) {
            const double z = (log10f - b[j]) / c[j];
            sum += a[j] * std::exp(-z * z);
        }
        return sum;
    }
};

// Table 1.
constexpr GaussianFit<4> kLog10KH{{-5.33980, -0.35351, -0.23789, -0.94158},
                                  {-0.10008, 1.26970, 0.86036, 0.64552},
                                  {1.13098, 0.45400, 0.15354, 0.16817},
                                  -0.18961,
                                  0.71147};
// Table 2.
constexpr GaussianFit<4> kLog10KV{{-3.80595, -3.44965, -0.39902, 0.50167},
                                  {0.56934, -0.22911, 0.73042, 1.07319},
                                  {0.81061, 0.51059, 0.11899, 0.27195},
                                  -0.16398,
                                  0.63297};
// Table 3.
constexpr GaussianFit<5> kAlphaH{{-0.14318, 0.29591, 0.32177, -5.37610, 16.1721},
                                 {1.82442, 0.77564, 0.63773, -0.96230, -3.29980},
                                 {-0.55187, 0.19822, 0.13164, 1.47828, 3.43990},
                                 0.67849,
                                 -1.95537};
// Table 4.
constexpr GaussianFit<5> kAlphaV{{-0.07771, 0.56727, -0.20238, -48.2991, 48.5833},
                                 {2.33840, 0.95545, 1.14520, 0.791669, 0.791459},
                                 {-0.76284, 0.54039, 0.26809, 0.116226, 0.116479},
                                 -0.053739,
                                 0.83433};

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kMaxDistanceFactor = 2.5;
constexpr double kReferencePercent = 0.01;
// 100 - 99.99 is not exactly 0.01 in binary: within this, p is the reference.
constexpr double kPercentTolerance = 1e-9;

} // namespace

RainCoefficients HorizontalRainCoefficients(double freqGHz) {
    const double x = std::log10(freqGHz);
    return {std::pow(10.0, kLog10KH(x)), kAlphaH(x)};
}

RainCoefficients VerticalRainCoefficients(double freqGHz) {
    const double x = std::log10(freqGHz);
    return {std::pow(10.0, kLog10KV(x)), kAlphaV(x)};
}

RainCoefficients RainCoefficientsFor(double freqGHz, double tiltDeg, double elevationDeg) {
    const RainCoefficients h = HorizontalRainCoefficients(freqGHz);
    const RainCoefficients v = VerticalRainCoefficients(freqGHz);
    const double cosElevation = std::cos(elevationDeg * kDegree);
    const double weight = cosElevation * cosElevation * std::cos(2.0 * tiltDeg * kDegree);
    const double k = (h.k + v.k + (h.k - v.k) * weight) / 2.0;
    const double ka = h.k * h.alpha;
    const double kb = v.k * v.alpha;
    return {k, (ka + kb + (ka - kb) * weight) / (2.0 * k)};
}

double RainSpecificAttenuation(const RainCoefficients& c, double rateMmH) {
    return rateMmH > 0.0 ? c.k * std::pow(rateMmH, c.alpha) : 0.0;
}

double RainDistanceFactor(double distanceKm, double rateMmH, double alpha, double freqGHz) {
    const double denominator = 0.477 * std::pow(distanceKm, 0.633) *
                                   std::pow(rateMmH, 0.073 * alpha) * std::pow(freqGHz, 0.123) -
                               10.579 * (1.0 - std::exp(-0.024 * distanceKm));
    // Negated so that a NaN takes the cap as well.
    if (!(denominator >= 1.0 / kMaxDistanceFactor)) {
        return kMaxDistanceFactor;
    }
    return 1.0 / denominator;
}

double RainTimeScale(double freqGHz, double percentOfTime) {
    // The recommendation prints C0 = 0.12 + 0.4 [log10(f/10)^0.8] and leaves
    // open whether the power applies to f/10 or to its logarithm. This reads
    // it as (log10(f/10))^0.8, as the most widely used open implementation of
    // the ITU-R models does; both agree at 10 GHz.
    const double c0 =
        freqGHz < 10.0 ? 0.12 : 0.12 + 0.4 * std::pow(std::log10(freqGHz / 10.0), 0.8);
    const double c1 = std::pow(0.07, c0) * std::pow(0.12, 1.0 - c0);
    const double c2 = 0.855 * c0 + 0.546 * (1.0 - c0);
    const double c3 = 0.139 * c0 + 0.043 * (1.0 - c0);
    return c1 * std::pow(percentOfTime, -(c2 + c3 * std::log10(percentOfTime)));
}

double RainPercentExceeded(double freqGHz, double loss001, double lossDb) {
    // The loss falls as p grows: halve the interval of log10 p.
    double low = std::log10(kRainLeastPercent);
    double high = std::log10(kRainMostPercent);
    const auto loss = [&](double logP) {
        return loss001 * RainTimeScale(freqGHz, std::pow(10.0, logP));
    };
    if (!(lossDb < loss(low))) {
        return kRainLeastPercent;
    }
    if (!(lossDb > loss(high))) {
        return kRainMostPercent;
    }
    constexpr int kHalvings = 60;
    for (int i = 0; i < kHalvings; ++i) {
        const double mid = 0.5 * (low + high);
        (loss(mid) > lossDb ? low : high) = mid;
    }
    return std::pow(10.0, 0.5 * (low + high));
}

RainPath RainPathAttenuation(double freqGHz, double distanceKm, double rateMmH,
                             double percentOfTime, double tiltDeg, double elevationDeg) {
    RainPath path{};
    path.coefficients = RainCoefficientsFor(freqGHz, tiltDeg, elevationDeg);
    path.specific = RainSpecificAttenuation(path.coefficients, rateMmH);
    const double d = std::max(distanceKm, 0.0);
    path.distanceFactor = RainDistanceFactor(d, rateMmH, path.coefficients.alpha, freqGHz);
    path.effectiveKm = d * path.distanceFactor;
    path.loss001 = path.specific * path.effectiveKm;
    // The power law gives 0.998 at p = 0.01 itself, only through the rounding
    // of its constants: the reference percentage keeps A0.01 as it is.
    path.loss = std::fabs(percentOfTime - kReferencePercent) <= kPercentTolerance
                    ? path.loss001
                    : path.loss001 * RainTimeScale(freqGHz, percentOfTime);
    return path;
}
