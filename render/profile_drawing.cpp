#include "profile_drawing.h"

#include "number_text.h"
#include "path_clearance.h"
#include "plot_data.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kOuterFresnel = 1.0; // F1
constexpr double kHeadroom = 0.05;    // of the heights' span, above and below
constexpr double kXTicks = 6.0;       // about this many ticks across
constexpr double kYTicks = 5.0;       // and up
constexpr int kWidth = 12;            // characters of a number's text at most
constexpr double kLeastSpanM = 10.0;  // a flat drawing still spans this much
constexpr double kThirdsTolerance = 1e-9;

int decimalsOf(double step) {
    return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
}

std::string number(double value, int decimals) {
    // A tick at 0 computed as -1e-17 reads as 0.
    return FormatFixed(kWidth, decimals, value == 0.0 ? 0.0 : value);
}

// The axis from `low` to `high`, its ticks at round values; `widen`: its
// ends moved out to whole ticks.
ProfileAxis axisOf(double low, double high, double ticks, bool widen) {
    double step = TickInterval(high - low, ticks);
    if (!(std::isfinite(step) && step > 0.0)) {
        step = 1.0;
    }
    ProfileAxis axis{low, high, step, {}};
    if (widen) {
        axis.low = std::floor(low / step) * step;
        axis.high = std::ceil(high / step) * step;
    }
    const int decimals = decimalsOf(step);
    for (double at = std::ceil(axis.low / step - 1e-9) * step; at <= axis.high + step * 1e-9;
         at += step) {
        const double value = std::fabs(at) < step * 1e-9 ? 0.0 : at;
        axis.ticks.push_back({value, number(value, decimals)});
    }
    return axis;
}

const ProfileClearance& clearanceOf(const SheetTerrain& terrain, ProfileK k) {
    return k == ProfileK::Median ? terrain.heights.median : terrain.heights.minimum;
}

} // namespace

ProfileDrawing BuildProfileDrawing(const SheetTerrain& terrain, ProfileK k) {
    const ProfileClearance& along = clearanceOf(terrain, k);
    ProfileDrawing d;
    d.k = k;
    d.earthFactor = along.earthFactor;
    d.title = std::string("Terrain profile at the ") +
              (k == ProfileK::Median ? "median" : "minimum") +
              " k = " + EarthFactorText(along.earthFactor);
    const std::size_t n = along.points.size();
    for (auto* series : {&d.km, &d.groundM, &d.terrainM, &d.earthM, &d.rayM, &d.lowerF1M,
                         &d.lower06F1M, &d.upperF1M, &d.clearanceM, &d.clearanceF1}) {
        series->reserve(n);
    }
    for (const ClearancePoint& p : along.points) {
        d.km.push_back(p.distanceKm);
        d.groundM.push_back(p.groundM);
        d.terrainM.push_back(p.groundM + p.bulgeM);
        d.earthM.push_back(p.bulgeM);
        d.rayM.push_back(p.rayM);
        d.lowerF1M.push_back(p.rayM - kOuterFresnel * p.fresnelM);
        d.lower06F1M.push_back(p.rayM - kRequiredFresnelFraction * p.fresnelM);
        d.upperF1M.push_back(p.rayM + kOuterFresnel * p.fresnelM);
        d.clearanceM.push_back(p.clearanceM);
        d.clearanceF1.push_back(p.clearanceF1);
    }
    if (n == 0) {
        d.x = axisOf(0.0, 1.0, kXTicks, false);
        d.y = axisOf(0.0, kLeastSpanM, kYTicks, true);
        return d;
    }
    d.tx = {d.km.front(), d.terrainM.front(), along.txAltitudeM};
    d.rx = {d.km.back(), d.terrainM.back(), along.rxAltitudeM};
    d.critical = std::min(along.critical, n - 1);
    d.criticalMark = {d.km[d.critical], d.terrainM[d.critical]};
    if (terrain.diffraction) {
        const DiffractionEdge& edge = terrain.diffraction->actual.edge;
        const double d1 = edge.distanceKm - d.km.front();
        const double d2 = d.km.back() - edge.distanceKm;
        if (std::isfinite(edge.heightM) && d1 >= 0.0 && d2 >= 0.0) {
            d.obstacle =
                ProfileMark{edge.distanceKm, edge.heightM + EarthBulgeM(d1, d2, along.earthFactor)};
            d.obstacleNu = edge.nu;
        }
    }

    // The heights hold the terrain, the envelopes and the antennas; mean sea
    // level too, unless the lowest ground stands so far above it that the
    // drawing would be mostly empty below the terrain.
    double low = *std::min_element(d.terrainM.begin(), d.terrainM.end());
    double high = std::max({*std::max_element(d.upperF1M.begin(), d.upperF1M.end()),
                            *std::max_element(d.terrainM.begin(), d.terrainM.end()), d.tx.antennaM,
                            d.rx.antennaM});
    low = std::min({low, *std::min_element(d.lowerF1M.begin(), d.lowerF1M.end())});
    if (d.obstacle) {
        low = std::min(low, d.obstacle->m);
        high = std::max(high, d.obstacle->m);
    }
    const double seaLow = std::min(low, 0.0);
    d.earthShown = low - seaLow <= high - low;
    if (d.earthShown) {
        low = seaLow;
    }
    const double span = std::max(high - low, kLeastSpanM);
    const double room = span * kHeadroom;
    d.x = axisOf(d.km.front(), d.km.back() > d.km.front() ? d.km.back() : d.km.front() + 1.0,
                 kXTicks, false);
    d.y = axisOf(d.earthShown && low >= 0.0 ? low : low - room, low + span + room, kYTicks, true);
    return d;
}

std::size_t NearestProfilePoint(const ProfileDrawing& drawing, double km) {
    const std::vector<double>& at = drawing.km;
    if (at.empty()) {
        return 0;
    }
    const auto next = std::lower_bound(at.begin(), at.end(), km);
    if (next == at.begin()) {
        return 0;
    }
    if (next == at.end()) {
        return at.size() - 1;
    }
    const auto before = next - 1;
    return static_cast<std::size_t>((km - *before <= *next - km ? before : next) - at.begin());
}

std::string ProfilePointText(const ProfileDrawing& drawing, std::size_t index) {
    if (index >= drawing.km.size()) {
        return {};
    }
    std::string text = number(drawing.km[index], 2) + " km: ground " +
                       number(drawing.groundM[index], 1) + " m, ray " +
                       number(drawing.rayM[index], 1) + " m, clearance " +
                       number(drawing.clearanceM[index], 1) + " m";
    if (index > 0 && index + 1 < drawing.km.size()) {
        text += " = " + number(drawing.clearanceF1[index], 2) + " F1";
    }
    return text;
}

std::string EarthFactorText(double k) {
    const double thirds = k * 3.0;
    const double whole = std::round(thirds);
    if (std::fabs(thirds - whole) < kThirdsTolerance * std::max(1.0, thirds) && whole > 0.0 &&
        std::fmod(whole, 3.0) != 0.0) {
        return number(whole, 0) + "/3";
    }
    return number(k, 2);
}

std::string ProfileCaption(const ProfileDrawing& drawing) {
    std::string caption = drawing.title;
    if (drawing.km.empty()) {
        return caption;
    }
    const std::size_t c = drawing.critical;
    caption += ". Critical point at " + number(drawing.km[c], 2) + " km: clearance " +
               number(drawing.clearanceM[c], 1) + " m = " + number(drawing.clearanceF1[c], 2) +
               " F1.";
    if (drawing.obstacle && drawing.obstacleNu) {
        caption += " Diffraction obstacle at " + number(drawing.obstacle->km, 2) +
                   " km, knife-edge parameter \u03bd = " + number(*drawing.obstacleNu, 2) + ".";
    }
    return caption;
}
