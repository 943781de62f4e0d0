#include "multipath.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

constexpr double kMostConversionDb = 10.8; // P.530-17 section 2.3.5, step 2
constexpr double kDegree = std::numbers::pi / 180.0;

bool finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool percentage(double p) {
    return p >= 0.0 && p <= 100.0;
}

// P.530-17 section 2.3.2, steps 3a to 3e: the shallow-fading law, which
// meets the deep-fading law p0 10^(-A/10) at A = At.
double shallowFadingPercent(double p0, double at, double a) {
    const double pt = p0 * std::pow(10.0, -at / 10.0);                            // step 3a, pt
    const double qaAt = -20.0 * std::log10(-std::log((100.0 - pt) / 100.0)) / at; // step 3b, qa'
    const double qt =
        (qaAt - 2.0) / ((1.0 + 0.3 * std::pow(10.0, -at / 20.0)) * std::pow(10.0, -0.016 * at)) -
        4.3 * (std::pow(10.0, -at / 20.0) + at / 800.0); // step 3c
    const double qa = 2.0 + (1.0 + 0.3 * std::pow(10.0, -a / 20.0)) * std::pow(10.0, -0.016 * a) *
                                (qt + 4.3 * (std::pow(10.0, -a / 20.0) + a / 800.0)); // step 3d
    return 100.0 * (1.0 - std::exp(-std::pow(10.0, -qa * a / 20.0)));                 // step 3e
}

} // namespace

// P.530-17 section 2.3.1, step 1.
double GeoclimaticFactor(double dN1, double roughnessM) {
    return std::pow(10.0, -4.4 - 0.0027 * dN1) * std::pow(10.0 + roughnessM, -0.46);
}

// P.530-17 section 2.3.1, step 2.
double PathInclinationMrad(double txAltitudeM, double rxAltitudeM, double distanceKm) {
    return std::fabs(rxAltitudeM - txAltitudeM) / distanceKm;
}

std::optional<MultipathFading> MultipathWorstMonth(const MultipathHop& hop, double fadeDepthDb,
                                                   std::string& error) {
    if (!finite({hop.distanceKm, hop.freqGHz, hop.txAltitudeM, hop.rxAltitudeM, hop.dN1,
                 hop.roughnessM, fadeDepthDb})) {
        error = "every multipath input must be a finite number";
        return std::nullopt;
    }
    if (!(hop.distanceKm > 0.0) || !(hop.freqGHz > 0.0)) {
        error = "the path length and the frequency must be above 0";
        return std::nullopt;
    }
    if (hop.roughnessM < 0.0 || fadeDepthDb < 0.0) {
        error = "the terrain roughness and the fade depth must not be negative";
        return std::nullopt;
    }
    MultipathFading out{};
    out.geoclimatic = GeoclimaticFactor(hop.dN1, hop.roughnessM);
    out.inclinationMrad = PathInclinationMrad(hop.txAltitudeM, hop.rxAltitudeM, hop.distanceKm);
    const double lowerM = std::min(hop.txAltitudeM, hop.rxAltitudeM); // h_L
    // P.530-17 section 2.3.2, step 1: p0, the law of section 2.3.1 step 3 at A = 0.
    out.occurrencePercent = out.geoclimatic * std::pow(hop.distanceKm, 3.4) *
                            std::pow(1.0 + out.inclinationMrad, -1.03) *
                            std::pow(hop.freqGHz, 0.8) * std::pow(10.0, -0.00076 * lowerM);
    out.transitionDb = 25.0 + 1.2 * std::log10(out.occurrencePercent); // step 2
    out.deepFading = fadeDepthDb >= out.transitionDb;
    if (out.deepFading) { // step 3: the law of section 2.3.1, step 3
        out.worstMonthPercent = out.occurrencePercent * std::pow(10.0, -fadeDepthDb / 10.0);
    } else {
        out.worstMonthPercent =
            shallowFadingPercent(out.occurrencePercent, out.transitionDb, fadeDepthDb);
    }
    if (!percentage(out.worstMonthPercent)) {
        error = "the hop is outside the range of the multipath model";
        return std::nullopt;
    }
    return out;
}

std::optional<double> TerrainRoughnessM(std::span<const double> distanceKm,
                                        std::span<const double> heightM, std::string& error) {
    if (distanceKm.size() != heightM.size() || distanceKm.size() < 2) {
        error = "a profile needs at least 2 points, each with a distance and a height";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < distanceKm.size(); ++i) {
        if (!finite({distanceKm[i], heightM[i]}) ||
            (i > 0 && !(distanceKm[i] > distanceKm[i - 1]))) {
            error = "profile point " + std::to_string(i + 1) +
                    " is not a finite number beyond the one before";
            return std::nullopt;
        }
    }
    const double middle = (distanceKm.front() + distanceKm.back()) / 2.0;
    auto central = [&](std::size_t i) {
        return std::fabs(distanceKm[i] - middle) <= kRoughnessWindowKm / 2.0;
    };
    double count = 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < heightM.size(); ++i) {
        count += central(i) ? 1.0 : 0.0;
        sum += central(i) ? heightM[i] : 0.0;
    }
    if (count < 1.0) {
        error = "the profile has no point near the middle of the path";
        return std::nullopt;
    }
    const double mean = sum / count;
    double squares = 0.0;
    for (std::size_t i = 0; i < heightM.size(); ++i) {
        squares += central(i) ? (heightM[i] - mean) * (heightM[i] - mean) : 0.0;
    }
    return std::sqrt(squares / count);
}

std::optional<YearFading> WorstMonthToYear(double worstMonthPercent, double latitudeDeg,
                                           double distanceKm, double inclinationMrad,
                                           std::string& error) {
    if (!finite({worstMonthPercent, latitudeDeg, distanceKm, inclinationMrad}) ||
        !percentage(worstMonthPercent) || std::fabs(latitudeDeg) > 90.0 || !(distanceKm > 0.0) ||
        inclinationMrad < 0.0) {
        error = "the worst-month conversion needs a percentage of 0 to 100, a latitude of -90 to "
                "90 degrees, a path length above 0 and an inclination of 0 or more";
        return std::nullopt;
    }
    // P.530-17 section 2.3.5, step 2: + up to 45 degrees, - beyond.
    const double xi = std::fabs(latitudeDeg);
    const double cosine = std::pow(std::fabs(std::cos(2.0 * xi * kDegree)), 0.7);
    const double lat = std::log10(xi <= 45.0 ? 1.1 + cosine : 1.1 - cosine);
    const double dg = std::min(10.5 - 5.6 * lat - 2.7 * std::log10(distanceKm) +
                                   1.7 * std::log10(1.0 + inclinationMrad),
                               kMostConversionDb);
    return YearFading{dg, std::pow(10.0, -dg / 10.0) * worstMonthPercent}; // step 3
}

std::optional<HopUnavailability> CombineUnavailability(double multipathYearPercent,
                                                       double rainYearPercent, std::string& error) {
    if (!percentage(multipathYearPercent) || !percentage(rainYearPercent)) {
        error = "unavailability must be a percentage of the year from 0 to 100";
        return std::nullopt;
    }
    HopUnavailability out{};
    out.multipathPercent = multipathYearPercent;
    out.rainPercent = rainYearPercent;
    out.totalPercent = std::min(multipathYearPercent + rainYearPercent, 100.0);
    out.availablePercent = 100.0 - out.totalPercent;
    out.multipathMinutes = multipathYearPercent / 100.0 * kMinutesPerYear;
    out.rainMinutes = rainYearPercent / 100.0 * kMinutesPerYear;
    out.totalMinutes = out.totalPercent / 100.0 * kMinutesPerYear;
    return out;
}
