#include "profile_clearance.h"

#include "path_clearance.h"

#include <algorithm>
#include <cmath>

namespace {

bool checkHop(const ClearanceHop& hop, std::string& error) {
    const auto& d = hop.distanceKm;
    const auto& h = hop.groundM;
    if (d.size() != h.size()) {
        error = "the profile's distances and heights differ in number";
        return false;
    }
    if (d.size() < 3) {
        error = "a profile needs at least 3 points";
        return false;
    }
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (!std::isfinite(d[i]) || !std::isfinite(h[i])) {
            error = "the profile's point " + std::to_string(i + 1) + " is not a finite number";
            return false;
        }
        if (i > 0 && !(d[i] > d[i - 1])) {
            error = "the profile's distances do not increase at point " + std::to_string(i + 1);
            return false;
        }
    }
    if (!(std::isfinite(hop.txAntennaM) && hop.txAntennaM >= 0.0 && std::isfinite(hop.rxAntennaM) &&
          hop.rxAntennaM >= 0.0)) {
        error = "an antenna height must be 0 m or more";
        return false;
    }
    if (!(std::isfinite(hop.freqGHz) && hop.freqGHz > 0.0)) {
        error = "the frequency must be above 0";
        return false;
    }
    return true;
}

// The least altitude of one end's antenna (m above sea level) that gives
// `fraction` F1 at every inner point for k, the other end's altitude fixed.
double leastAltitude(const ClearanceHop& hop, double k, double fraction, HopEnd end) {
    const auto& d = hop.distanceKm;
    const std::size_t last = d.size() - 1;
    const double length = d[last] - d[0];
    const double otherAltitude =
        end == HopEnd::Tx ? hop.groundM[last] + hop.rxAntennaM : hop.groundM[0] + hop.txAntennaM;
    double least = -INFINITY;
    for (std::size_t i = 1; i < last; ++i) {
        const double d1 = d[i] - d[0];
        const double d2 = d[last] - d[i];
        const double needed = hop.groundM[i] + EarthBulgeM(d1, d2, k) +
                              fraction * FresnelRadiusM(d1, d2, hop.freqGHz);
        // The ray at i: w * raised + (1 - w) * other, w the raised end's weight.
        const double w = (end == HopEnd::Tx ? d2 : d1) / length;
        least = std::max(least, (needed - (1.0 - w) * otherAltitude) / w);
    }
    return least;
}

} // namespace

double MinimumKFresnelFraction(ObstructionKind kind) {
    switch (kind) {
    case ObstructionKind::Isolated:
        return 0.0;
    case ObstructionKind::Extended:
        return 0.3;
    case ObstructionKind::Tropical:
        return 0.6;
    }
    return 0.3;
}

std::optional<ProfileClearance> ClearanceAlong(const ClearanceHop& hop, double earthFactor,
                                               std::string& error) {
    if (!checkHop(hop, error)) {
        return std::nullopt;
    }
    if (!(std::isfinite(earthFactor) && earthFactor > 0.0)) {
        error = "the effective earth radius factor k must be above 0";
        return std::nullopt;
    }
    const auto& d = hop.distanceKm;
    const std::size_t last = d.size() - 1;
    const double length = d[last] - d[0];
    ProfileClearance out{.earthFactor = earthFactor,
                         .points = {},
                         .critical = 0,
                         .txAltitudeM = hop.groundM[0] + hop.txAntennaM,
                         .rxAltitudeM = hop.groundM[last] + hop.rxAntennaM};
    out.points.reserve(d.size());
    for (std::size_t i = 0; i <= last; ++i) {
        const double d1 = d[i] - d[0];
        const double d2 = d[last] - d[i];
        ClearancePoint p{};
        p.distanceKm = d[i];
        p.groundM = hop.groundM[i];
        p.bulgeM = EarthBulgeM(d1, d2, earthFactor);
        p.rayM = out.txAltitudeM + (out.rxAltitudeM - out.txAltitudeM) * d1 / length;
        p.fresnelM = FresnelRadiusM(d1, d2, hop.freqGHz);
        p.clearanceM = p.rayM - (p.groundM + p.bulgeM);
        p.clearanceF1 = (i == 0 || i == last) ? 0.0 : p.clearanceM / p.fresnelM;
        if (i > 0 && i < last &&
            (out.critical == 0 || p.clearanceF1 < out.points[out.critical].clearanceF1)) {
            out.critical = i;
        }
        out.points.push_back(p);
    }
    return out;
}

std::optional<HeightCheck> CheckAntennaHeights(const ClearanceHop& hop,
                                               const HeightCriteria& criteria, std::string& error) {
    auto median = ClearanceAlong(hop, criteria.medianK, error);
    if (!median) {
        return std::nullopt;
    }
    auto minimum = ClearanceAlong(hop, criteria.minimumK, error);
    if (!minimum) {
        return std::nullopt;
    }
    const double fraction = MinimumKFresnelFraction(criteria.obstruction);
    const bool medianMet = median->points[median->critical].clearanceF1 >= kMedianKFresnelFraction;
    const bool minimumMet = minimum->points[minimum->critical].clearanceF1 >= fraction;
    return HeightCheck{std::move(*median), std::move(*minimum), medianMet, minimumMet};
}

std::optional<double> LeastAntennaHeightM(const ClearanceHop& hop, const HeightCriteria& criteria,
                                          HopEnd end, std::string& error) {
    if (!checkHop(hop, error)) {
        return std::nullopt;
    }
    if (!(criteria.medianK > 0.0 && criteria.minimumK > 0.0)) {
        error = "the effective earth radius factor k must be above 0";
        return std::nullopt;
    }
    const double ground = end == HopEnd::Tx ? hop.groundM.front() : hop.groundM.back();
    const double altitude = std::max(
        leastAltitude(hop, criteria.medianK, kMedianKFresnelFraction, end),
        leastAltitude(hop, criteria.minimumK, MinimumKFresnelFraction(criteria.obstruction), end));
    return std::max(0.0, altitude - ground);
}
