#include "geodesic_path.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

constexpr double kMetresPerKm = 1000.0;
constexpr double kSamePlaceM = 1.0;
constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// Within this great-circle angle (degrees) of the antipode of A, the
// geodesic to B on the ellipsoid may be one of several: the flattening
// opens a region of about f * pi (0.6 degrees) around the antipode where
// more than one shortest path exists.
constexpr double kNearlyAntipodalDeg = 1.0;

std::string placeError(GeoPoint p, const char* which) {
    if (!std::isfinite(p.latDeg) || !std::isfinite(p.lonDeg)) {
        return std::string("site ") + which + "'s latitude or longitude is not a number";
    }
    if (std::fabs(p.latDeg) > 90.0) {
        return std::string("site ") + which + "'s latitude is outside -90 to 90 degrees";
    }
    return {};
}

// The great-circle angle (degrees) between two places on the unit sphere.
double sphereAngleDeg(GeoPoint a, GeoPoint b) {
    const double p1 = a.latDeg / kDegPerRad;
    const double p2 = b.latDeg / kDegPerRad;
    const double dl = (b.lonDeg - a.lonDeg) / kDegPerRad;
    const double x = std::cos(p2) * std::sin(dl);
    const double y = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    const double z = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
    return std::atan2(std::hypot(x, y), z) * kDegPerRad;
}

double azimuth360(double deg) {
    double a = std::fmod(deg, 360.0);
    if (a < 0.0) {
        a += 360.0;
    }
    return a >= 360.0 ? 0.0 : a;
}

} // namespace

double WrappedLongitudeDeg(double lonDeg) {
    double lon = std::remainder(lonDeg, 360.0); // [-180, 180]
    if (lon >= 180.0) {
        lon -= 360.0;
    }
    return lon;
}

std::optional<GeodesicPath> PathBetween(GeoPoint a, GeoPoint b, std::string& error) {
    error = placeError(a, "A");
    if (error.empty()) {
        error = placeError(b, "B");
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    a.lonDeg = WrappedLongitudeDeg(a.lonDeg);
    b.lonDeg = WrappedLongitudeDeg(b.lonDeg);
    const GeoPoint antipodeOfA{-a.latDeg, a.lonDeg + 180.0};
    if (sphereAngleDeg(antipodeOfA, b) < kNearlyAntipodalDeg) {
        error = "the sites are nearly antipodal: the path between them is not unique";
        return std::nullopt;
    }
    double metres = 0.0;
    double aziA = 0.0;
    double aziB = 0.0;
    GeographicLib::Geodesic::WGS84().Inverse(a.latDeg, a.lonDeg, b.latDeg, b.lonDeg, metres, aziA,
                                             aziB);
    if (!std::isfinite(metres) || metres < kSamePlaceM) {
        error = "the two sites are the same place (under 1 m apart)";
        return std::nullopt;
    }
    const double km = metres / kMetresPerKm;
    static_assert(kMaxTerrainPathKm == 1000.0, "the message below names the longest path");
    if (km > kMaxTerrainPathKm) {
        // Not printf: its decimal point is the process locale's.
        char text[32];
        const auto written =
            std::to_chars(text, text + sizeof text, km, std::chars_format::fixed, 1);
        error = "the path is " + std::string(text, written.ptr) +
                " km long; a terrain path is at most 1000 km";
        return std::nullopt;
    }
    // aziB is the direction of travel at B, away from A: B looks back at A.
    return GeodesicPath{km, azimuth360(aziA), azimuth360(aziB + 180.0)};
}

std::vector<GeoPoint> PointsAlong(GeoPoint a, GeoPoint b, std::size_t count) {
    count = std::max<std::size_t>(count, 2);
    const GeographicLib::GeodesicLine line =
        GeographicLib::Geodesic::WGS84().InverseLine(a.latDeg, a.lonDeg, b.latDeg, b.lonDeg);
    std::vector<GeoPoint> points;
    points.reserve(count);
    points.push_back({a.latDeg, WrappedLongitudeDeg(a.lonDeg)});
    const double last = static_cast<double>(count - 1);
    for (std::size_t i = 1; i + 1 < count; ++i) {
        // Equal arcs on the auxiliary sphere are not equal distances on the
        // ellipsoid: step by distance.
        double lat = 0.0;
        double lon = 0.0;
        line.Position(line.Distance() * static_cast<double>(i) / last, lat, lon);
        points.push_back({lat, WrappedLongitudeDeg(lon)});
    }
    points.push_back({b.latDeg, WrappedLongitudeDeg(b.lonDeg)});
    return points;
}
