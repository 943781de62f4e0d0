#pragma once
// The path between two sites on the WGS-84 ellipsoid: its length and the
// azimuths at its ends along the geodesic, and points equally spaced along
// it, for a terrain profile. A leaf: it knows nothing of designs. No Qt.
//
// The geodesic is GeographicLib's (C. F. F. Karney, "Algorithms for
// geodesics", J. Geodesy 87, 43-55, 2013), accurate to nanometres.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A place on the ellipsoid: geodetic latitude and longitude (degrees, north
// and east positive).
struct GeoPoint {
    double latDeg;
    double lonDeg;
};

struct GeodesicPath {
    double distanceKm;      // along the WGS-84 geodesic
    double azimuthFromADeg; // true north, [0, 360), at A toward B
    double azimuthFromBDeg; // at B toward A
};

// The longest terrain path taken (km).
constexpr double kMaxTerrainPathKm = 1000.0;

// The geodesic from `a` to `b`. Refused with one line in `error`: a latitude
// outside -90..90 or not finite, a longitude not finite (any finite longitude
// is wrapped), the same place (under 1 m apart), nearly antipodal sites (the
// geodesic is not unique), a path longer than kMaxTerrainPathKm.
std::optional<GeodesicPath> PathBetween(GeoPoint a, GeoPoint b, std::string& error);

// `count` (>= 2; fewer is taken as 2) points equally spaced along the
// geodesic, `a` first and `b` last; longitudes in [-180, 180). The sites are
// taken as they are: check them with PathBetween first.
std::vector<GeoPoint> PointsAlong(GeoPoint a, GeoPoint b, std::size_t count);

// `lonDeg` wrapped into [-180, 180).
double WrappedLongitudeDeg(double lonDeg);
