#pragma once
// Where the ends of an Earth-space link are, and how the station sees the
// satellite. A leaf: it knows nothing of designs. No Qt.
//
// Places are geodetic latitude and longitude on the WGS-84 ellipsoid
// (GeographicLib's Geocentric and LocalCartesian). A height above mean sea
// level is taken as the height above the ellipsoid: the geoid's undulation
// (under 110 m) moves the look angles by less than 0.002 degrees.
//
// The look angles: the elevation above the station's horizon (the plane
// normal to the ellipsoid), the azimuth from true north clockwise, and the
// straight-line distance to the satellite.
//
// The polarization tilt tau of ITU-R P.618-13 section 2.2.1.1 (via ITU-R
// P.838-3): the angle of a linearly polarized wave's electric field to the
// station's horizontal, in the plane normal to the path. The satellite's
// polarization angle is measured in that plane too, at the satellite: 0
// ("horizontal") is the field normal to the satellite's local north (along
// the equatorial plane for a geostationary satellite), 90 ("vertical") in the
// plane of that north and the path, the angle from the first toward the
// second.
#include <optional>
#include <string>

// A point on or above the WGS-84 ellipsoid.
struct GeoPlace {
    double latitudeDeg = 0.0;  // geodetic, -90 to 90, north positive
    double longitudeDeg = 0.0; // east positive, any value (wrapped)
    double heightKm = 0.0;     // above the ellipsoid
};

struct LookAngles {
    double elevationDeg = 0.0; // -90 to 90
    double azimuthDeg = 0.0;   // 0 to 360, true north clockwise
    double rangeKm = 0.0;      // station to satellite
};

// The geostationary orbit's altitude above the equator (km): the radius
// 42164.17 km less the WGS-84 equatorial radius 6378.137 km.
constexpr double kGeostationaryAltitudeKm = 35786.0;

struct LookResult {
    LookAngles angles;
    std::string error; // one line; empty when the angles hold
    explicit operator bool() const { return error.empty(); }
};

// The satellite over `subSatellite` (its height the orbit's altitude) seen
// from `station`. Refused: a place not on the globe (latitude beyond 90, a
// number that is not finite), a satellite not above the station, and the
// satellite straight below the station (its azimuth has no value).
LookResult LookAnglesTo(const GeoPlace& station, const GeoPlace& subSatellite);

// A geostationary satellite at `satelliteLongitudeDeg`.
LookResult GeostationaryLookAngles(const GeoPlace& station, double satelliteLongitudeDeg);

// tau (degrees, 0 horizontal to 90 vertical) of a wave from the satellite
// with `polarizationAngleDeg`, at the station. None when the look angles are
// refused.
std::optional<double> PolarizationTiltDeg(const GeoPlace& station, const GeoPlace& subSatellite,
                                          double polarizationAngleDeg);
