// The site of an Earth-space link (see look_angles.h): the station's place
// and the satellite's give the elevation, the azimuth and the slant range on
// the WGS-84 ellipsoid; the elevation is the path's (every other feature sees
// it as if typed) and the slant range is Range. With the satellite's
// polarization angle, the rain's polarization tilt at the station.
#include "section_writer.h"

#include "number_text.h"

namespace {

constexpr double kMetresPerKm = 1000.0;
// ITU-R P.618-13's slant-path methods hold from 5 degrees of elevation.
constexpr double kLowestElevationDeg = 5.0;

struct Places {
    GeoPlace station;
    GeoPlace subSatellite;
};

// The antenna stands AntennaHeight above the ground at StationHeight; a
// satellite without a latitude is geostationary, over the equator.
Places placesOf(const DesignPoint& point) {
    return {{point[ParamId::Latitude], point[ParamId::StationLongitude],
             point[ParamId::StationHeight] + point[ParamId::AntennaHeight]},
            {point.has(ParamId::SatelliteLatitude) ? point[ParamId::SatelliteLatitude] : 0.0,
             point[ParamId::SatelliteLongitude], point[ParamId::SatelliteAltitude]}};
}

LookResult lookOf(const DesignPoint& point) {
    const Places places = placesOf(point);
    return LookAnglesTo(places.station, places.subSatellite);
}

void resolve(DesignPoint& point) {
    const LookResult look = lookOf(point);
    if (look) {
        point.values[IndexOf(ParamId::Elevation)] = look.angles.elevationDeg;
        point.set.set(IndexOf(ParamId::Elevation));
        point.derived.set(IndexOf(ParamId::Elevation));
    }
}

std::string degrees(double value) {
    return FormatFixed(12, 2, value) + " degrees";
}

bool check(const DesignPoint& point, DesignFault& fault) {
    const LookResult look = lookOf(point);
    if (!look) {
        fault = {ParamId::SatelliteLongitude, look.error};
        return false;
    }
    const double elevation = look.angles.elevationDeg;
    if (elevation < 0.0) {
        fault = {ParamId::SatelliteLongitude,
                 "the satellite is below the station's horizon (elevation " + degrees(elevation) +
                     ")"};
        return false;
    }
    if (elevation < kLowestElevationDeg) {
        fault = {ParamId::SatelliteLongitude,
                 "the satellite is " + degrees(elevation) +
                     " above the station's horizon: an Earth-space path needs 5 to 90 degrees"};
        return false;
    }
    return true;
}

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    const Places places = placesOf(point);
    const LookResult look = LookAnglesTo(places.station, places.subSatellite);
    if (!look) {
        return; // refused by the check
    }
    sheet.site = SheetSite{places.station, places.subSatellite, look.angles, SiteTiltDeg(point)};
    sheet.pathKm = look.angles.rangeKm;
    sheet.effective.Range = look.angles.rangeKm / kKilometresPerMile;
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    if (!sheet.site) {
        return;
    }
    const SheetSite& site = *sheet.site;
    SectionWriter out(section);
    out.add("StationLatitude", "Station Latitude", site.station.latitudeDeg, 4, "deg",
            "stationLatitudeDeg");
    out.add("StationLongitude", "Station Longitude", site.station.longitudeDeg, 4, "deg",
            "stationLongitudeDeg");
    out.add("AntennaAltitude", "Antenna Height above Sea", site.station.heightKm * kMetresPerKm, 1,
            "m", "antennaHeightAboveSeaM");
    out.add("SatelliteLatitude", "Satellite Latitude", site.subSatellite.latitudeDeg, 4, "deg",
            "satelliteLatitudeDeg");
    out.add("SatelliteLongitude", "Satellite Longitude", site.subSatellite.longitudeDeg, 4, "deg",
            "satelliteLongitudeDeg");
    out.add("SatelliteAltitude", "Satellite Altitude", site.subSatellite.heightKm, 1, "km",
            "satelliteAltitudeKm");
    out.add("LookElevation", "Elevation", site.angles.elevationDeg, 2, "deg", "elevationDeg");
    out.add("LookAzimuth", "Azimuth (true north)", site.angles.azimuthDeg, 2, "deg", "azimuthDeg");
    out.add("LookRange", "Slant Range", site.angles.rangeKm, 2, "km", "slantRangeKm");
    if (site.tiltDeg) {
        out.add("PolarizationAngle", "Polarization Angle", point[ParamId::PolarizationAngle], 2,
                "deg", "polarizationAngleDeg");
        out.add("SitePolarizationTilt", "Polarization Tilt", *site.tiltDeg, 2, "deg",
                "polarizationTiltDeg");
    }
}

} // namespace

std::optional<double> SiteTiltDeg(const DesignPoint& point) {
    if (!point.has(ParamId::PolarizationAngle) || !point.has(ParamId::SatelliteLongitude) ||
        !point.has(ParamId::StationLongitude)) {
        return std::nullopt;
    }
    const Places places = placesOf(point);
    return PolarizationTiltDeg(places.station, places.subSatellite,
                               point[ParamId::PolarizationAngle]);
}

const FeatureRow kSiteFeature{.section = "site",
                              .title = "Site",
                              .followsSolve = false,
                              .pathDependent = false,
                              .trigger = ParamId::SatelliteLongitude,
                              .alternative = ParamId::SatelliteLongitude,
                              .check = check,
                              .adjust = adjust,
                              .lines = lines,
                              .appliesOn = OnEarthSpacePath,
                              .resolve = resolve};
