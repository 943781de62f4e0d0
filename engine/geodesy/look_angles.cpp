#include "look_angles.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/LocalCartesian.hpp>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using Vec = std::array<double, 3>;

constexpr double kMetresPerKm = 1000.0;
constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// Below this distance (km) off the station's nadir the satellite's azimuth
// has no meaning.
constexpr double kStraightBelowKm = 1e-6;

double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec scaled(const Vec& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}

Vec plus(const Vec& a, const Vec& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

Vec minus(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec unit(const Vec& a) {
    return scaled(a, 1.0 / std::sqrt(dot(a, a)));
}

Vec earthCentred(const GeoPlace& place) {
    Vec xyz{};
    GeographicLib::Geocentric::WGS84().Forward(place.latitudeDeg, place.longitudeDeg,
                                               place.heightKm * kMetresPerKm, xyz[0], xyz[1],
                                               xyz[2]);
    return xyz;
}

// The local east, north and up of a place, earth-centred.
struct Frame {
    Vec east, north, up;
};

Frame frameAt(const GeoPlace& place) {
    const double phi = place.latitudeDeg / kDegPerRad;
    const double lambda = place.longitudeDeg / kDegPerRad;
    return {{-std::sin(lambda), std::cos(lambda), 0.0},
            {-std::sin(phi) * std::cos(lambda), -std::sin(phi) * std::sin(lambda), std::cos(phi)},
            {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)}};
}

std::string placeError(const GeoPlace& place, const char* what) {
    if (!std::isfinite(place.latitudeDeg) || !std::isfinite(place.longitudeDeg) ||
        !std::isfinite(place.heightKm)) {
        return std::string("the ") + what + "'s place is not a number";
    }
    if (std::fabs(place.latitudeDeg) > 90.0) {
        return std::string("the ") + what + "'s latitude is beyond 90 degrees";
    }
    return {};
}

} // namespace

LookResult LookAnglesTo(const GeoPlace& station, const GeoPlace& subSatellite) {
    LookResult result;
    result.error = placeError(station, "station");
    if (result.error.empty()) {
        result.error = placeError(subSatellite, "satellite");
    }
    if (!result.error.empty()) {
        return result;
    }
    if (!(subSatellite.heightKm > station.heightKm)) {
        result.error = "the satellite must be higher than the station";
        return result;
    }
    const GeographicLib::LocalCartesian local(station.latitudeDeg, station.longitudeDeg,
                                              station.heightKm * kMetresPerKm,
                                              GeographicLib::Geocentric::WGS84());
    Vec enu{};
    local.Forward(subSatellite.latitudeDeg, subSatellite.longitudeDeg,
                  subSatellite.heightKm * kMetresPerKm, enu[0], enu[1], enu[2]);
    enu = scaled(enu, 1.0 / kMetresPerKm);
    const double horizontalKm = std::hypot(enu[0], enu[1]);
    if (horizontalKm < kStraightBelowKm && enu[2] < 0.0) {
        result.error = "the satellite is straight below the station, on the far side of the earth";
        return result;
    }
    LookAngles& angles = result.angles;
    angles.rangeKm = std::sqrt(dot(enu, enu));
    angles.elevationDeg = std::atan2(enu[2], horizontalKm) * kDegPerRad;
    angles.azimuthDeg =
        horizontalKm < kStraightBelowKm ? 0.0 : std::atan2(enu[0], enu[1]) * kDegPerRad;
    if (angles.azimuthDeg < 0.0) {
        angles.azimuthDeg += 360.0;
    }
    return result;
}

LookResult GeostationaryLookAngles(const GeoPlace& station, double satelliteLongitudeDeg) {
    return LookAnglesTo(station, {0.0, satelliteLongitudeDeg, kGeostationaryAltitudeKm});
}

std::optional<double> PolarizationTiltDeg(const GeoPlace& station, const GeoPlace& subSatellite,
                                          double polarizationAngleDeg) {
    if (!LookAnglesTo(station, subSatellite) || !std::isfinite(polarizationAngleDeg)) {
        return std::nullopt;
    }
    // The wave's direction, and its field at the satellite in the plane
    // normal to the path: "horizontal" normal to the satellite's local north
    // as well, "vertical" in the plane of that north and the path.
    const Vec k = unit(minus(earthCentred(station), earthCentred(subSatellite)));
    const Vec sentHorizontal = unit(cross(k, frameAt(subSatellite).north));
    const Vec sentVertical = cross(sentHorizontal, k);
    const double alpha = polarizationAngleDeg / kDegPerRad;
    const Vec field =
        plus(scaled(sentHorizontal, std::cos(alpha)), scaled(sentVertical, std::sin(alpha)));
    // The station's horizontal in the plane normal to the path, and the
    // vertical there.
    const Frame atStation = frameAt(station);
    Vec horizontal = cross(k, atStation.up);
    if (dot(horizontal, horizontal) < 1e-24) {
        // The satellite at the zenith: every direction is horizontal; take east.
        horizontal = atStation.east;
    }
    horizontal = unit(horizontal);
    const Vec vertical = cross(horizontal, k);
    const double tau =
        std::atan2(std::fabs(dot(field, vertical)), std::fabs(dot(field, horizontal))) * kDegPerRad;
    return tau;
}
