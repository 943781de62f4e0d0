// Look angles, the polarization tilt and angle texts, against geostationary
// geometry worked by hand on the WGS-84 ellipsoid.
#include "dms.h"
#include "look_angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kA = 6378.137;                          // WGS-84 equatorial radius, km
constexpr double kE2 = 0.0066943799901413165;            // WGS-84 first eccentricity squared
constexpr double kOrbit = kA + kGeostationaryAltitudeKm; // km from the earth's centre
constexpr double kDeg = std::numbers::pi / 180.0;

// A station on the equator sees a geostationary satellite in the equatorial
// plane, where the ellipsoid is a circle of radius a: tan(el) = (cos(dl) -
// a / r) / sin(dl), and the range by the law of cosines.
struct EquatorCase {
    double stationLon;
    double satelliteLon;
    double azimuth; // the satellite due east or due west
};

class EquatorialStation : public testing::TestWithParam<EquatorCase> {};

TEST_P(EquatorialStation, MatchesThePlaneGeometry) {
    const EquatorCase c = GetParam();
    const double dl = std::fabs(std::remainder(c.satelliteLon - c.stationLon, 360.0)) * kDeg;
    const double elevation = std::atan2(std::cos(dl) - kA / kOrbit, std::sin(dl)) / kDeg;
    const double range = std::sqrt(kA * kA + kOrbit * kOrbit - 2.0 * kA * kOrbit * std::cos(dl));
    const LookResult look = GeostationaryLookAngles({0.0, c.stationLon, 0.0}, c.satelliteLon);
    ASSERT_TRUE(look) << look.error;
    EXPECT_NEAR(look.angles.elevationDeg, elevation, 1e-9);
    EXPECT_NEAR(look.angles.rangeKm, range, 1e-6);
    EXPECT_NEAR(look.angles.azimuthDeg, c.azimuth, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Geostationary, EquatorialStation,
                         testing::Values(EquatorCase{0.0, 13.0, 90.0},
                                         EquatorCase{13.0, 0.0, 270.0},
                                         EquatorCase{-100.0, -40.0, 90.0},
                                         EquatorCase{170.0, -170.0, 90.0}, // across 180
                                         EquatorCase{5.0, 80.0, 90.0}));   // below the horizon

TEST(LookAngles, SubSatellitePointSeesTheZenithAtTheOrbitAltitude) {
    const LookResult look = GeostationaryLookAngles({0.0, 13.0, 0.0}, 13.0);
    ASSERT_TRUE(look) << look.error;
    EXPECT_NEAR(look.angles.elevationDeg, 90.0, 1e-9);
    EXPECT_NEAR(look.angles.rangeKm, kGeostationaryAltitudeKm, 1e-6);
}

TEST(LookAngles, HorizonOnTheEquator) {
    // cos(dl) = a / r: the line of sight grazes the earth.
    const double dl = std::acos(kA / kOrbit) / kDeg;
    const LookResult look = GeostationaryLookAngles({0.0, 13.0 + dl, 0.0}, 13.0);
    ASSERT_TRUE(look) << look.error;
    EXPECT_NEAR(look.angles.elevationDeg, 0.0, 1e-9);
    EXPECT_NEAR(look.angles.rangeKm, std::sqrt(kOrbit * kOrbit - kA * kA), 1e-6);
    EXPECT_NEAR(look.angles.azimuthDeg, 270.0, 1e-9);
}

// A station on the satellite's meridian at geodetic latitude phi: its place
// from the ellipsoid's prime vertical radius N, the satellite due south (north
// of the equator) or due north.
struct MeridianCase {
    double latitude;
    double heightKm;
    double azimuth;
};

class MeridianStation : public testing::TestWithParam<MeridianCase> {};

TEST_P(MeridianStation, MatchesTheEllipsoid) {
    const MeridianCase c = GetParam();
    const double phi = c.latitude * kDeg;
    const double n = kA / std::sqrt(1.0 - kE2 * std::sin(phi) * std::sin(phi));
    const double x = (n + c.heightKm) * std::cos(phi);
    const double z = (n * (1.0 - kE2) + c.heightKm) * std::sin(phi);
    const double dx = kOrbit - x;
    const double dz = -z;
    const double range = std::hypot(dx, dz);
    const double elevation = std::asin((dx * std::cos(phi) + dz * std::sin(phi)) / range) / kDeg;
    const LookResult look = GeostationaryLookAngles({c.latitude, 20.0, c.heightKm}, 20.0);
    ASSERT_TRUE(look) << look.error;
    EXPECT_NEAR(look.angles.elevationDeg, elevation, 1e-9);
    EXPECT_NEAR(look.angles.rangeKm, range, 1e-6);
    EXPECT_NEAR(look.angles.azimuthDeg, c.azimuth, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Geostationary, MeridianStation,
                         testing::Values(MeridianCase{45.0, 0.0, 180.0},
                                         MeridianCase{45.0, 2.5, 180.0},
                                         MeridianCase{-33.9, 0.1, 0.0},
                                         MeridianCase{70.0, 0.0, 180.0}));

TEST(LookAngles, RefusesWhatHasNoAngles) {
    struct Case {
        GeoPlace station;
        GeoPlace satellite;
        const char* words;
    };
    const Case cases[] = {
        {{0.0, 193.0, 0.0}, {0.0, 13.0, kGeostationaryAltitudeKm}, "straight below"},
        {{0.0, -167.0, 0.0}, {0.0, 13.0, kGeostationaryAltitudeKm}, "straight below"},
        {{90.0, 0.0, 0.0}, {-90.0, 40.0, 20000.0}, "straight below"},
        {{91.0, 0.0, 0.0}, {0.0, 13.0, kGeostationaryAltitudeKm}, "latitude"},
        {{0.0, NAN, 0.0}, {0.0, 13.0, kGeostationaryAltitudeKm}, "not a number"},
        {{0.0, 0.0, 1.0}, {0.0, 0.0, 0.5}, "higher than the station"},
    };
    for (const Case& c : cases) {
        const LookResult look = LookAnglesTo(c.station, c.satellite);
        EXPECT_FALSE(look) << c.words;
        EXPECT_NE(look.error.find(c.words), std::string::npos) << look.error;
    }
}

TEST(LookAngles, SatelliteOffTheEquatorFromItsOwnSubPoint) {
    const LookResult look = LookAnglesTo({51.5, -0.1, 0.05}, {51.5, -0.1, 550.0});
    ASSERT_TRUE(look) << look.error;
    EXPECT_NEAR(look.angles.elevationDeg, 90.0, 1e-9);
    EXPECT_NEAR(look.angles.rangeKm, 549.95, 1e-6);
}

// On the satellite's meridian the station's horizontal is the satellite's
// east: the tilt is the polarization angle for 0 and 90 degrees (the field
// along the equatorial plane, or in the meridian plane).
TEST(PolarizationTilt, OnTheMeridianHorizontalAndVerticalStay) {
    const GeoPlace satellite{0.0, 13.0, kGeostationaryAltitudeKm};
    for (const double latitude : {-60.0, -10.0, 30.0, 45.07}) {
        const GeoPlace station{latitude, 13.0, 0.2};
        EXPECT_NEAR(*PolarizationTiltDeg(station, satellite, 0.0), 0.0, 1e-9) << latitude;
        EXPECT_NEAR(*PolarizationTiltDeg(station, satellite, 90.0), 90.0, 1e-9) << latitude;
        EXPECT_NEAR(*PolarizationTiltDeg(station, satellite, 180.0), 0.0, 1e-9) << latitude;
    }
    // At the sub-satellite point every angle arrives as sent.
    EXPECT_NEAR(*PolarizationTiltDeg({0.0, 13.0, 0.0}, satellite, 30.0), 30.0, 1e-9);
}

// Off the meridian a horizontally polarized wave arrives tilted, by the
// skew of geostationary pointing, tan(psi) = sin(dl) / tan(phi) for a
// satellite far off compared with the earth (here 6.6 earth radii: a
// degree or so away); east and west alike.
TEST(PolarizationTilt, OffTheMeridianTheSkewOfGeostationaryPointing) {
    const GeoPlace satellite{0.0, 13.0, kGeostationaryAltitudeKm};
    for (const double dl : {10.0, 30.0, 50.0}) {
        const double phi = 45.0;
        const double skew = std::atan(std::sin(dl * kDeg) / std::tan(phi * kDeg)) / kDeg;
        const double east = *PolarizationTiltDeg({phi, 13.0 + dl, 0.0}, satellite, 0.0);
        const double west = *PolarizationTiltDeg({phi, 13.0 - dl, 0.0}, satellite, 0.0);
        EXPECT_NEAR(east, skew, 2.0) << dl;
        EXPECT_NEAR(east, west, 1e-9) << dl;
        // A vertical wave is tilted from the vertical by as much: the two stay
        // at right angles.
        EXPECT_NEAR(*PolarizationTiltDeg({phi, 13.0 + dl, 0.0}, satellite, 90.0), 90.0 - east, 1e-9)
            << dl;
    }
    EXPECT_FALSE(PolarizationTiltDeg({0.0, 193.0, 0.0}, satellite, 0.0));
}

struct DmsCase {
    const char* text;
    AngleAxis axis;
    DmsReading::Kind kind;
    double degrees;    // Angle
    const char* words; // Bad: in the message
};

class AngleTexts : public testing::TestWithParam<DmsCase> {};

TEST_P(AngleTexts, ReadAsWritten) {
    const DmsCase c = GetParam();
    const DmsReading reading = ReadDms(c.text, c.axis);
    ASSERT_EQ(reading.kind, c.kind) << c.text << ": " << reading.error;
    if (c.kind == DmsReading::Kind::Angle) {
        EXPECT_NEAR(reading.degrees, c.degrees, 1e-12) << c.text;
    }
    if (c.kind == DmsReading::Kind::Bad) {
        EXPECT_NE(reading.error.find(c.words), std::string::npos) << reading.error;
    }
}

using K = DmsReading::Kind;
constexpr AngleAxis kLat = AngleAxis::Latitude;
constexpr AngleAxis kLon = AngleAxis::Longitude;

INSTANTIATE_TEST_SUITE_P(
    Dms, AngleTexts,
    testing::Values(DmsCase{"45\xC2\xB0"
                            "4'12\"N",
                            kLat, K::Angle, 45.07, ""},
                    DmsCase{"45d4m12sN", kLat, K::Angle, 45.07, ""},
                    DmsCase{" 45\xC2\xB0 4\xE2\x80\xB2 12\xE2\x80\xB3 S ", kLat, K::Angle, -45.07,
                            ""},
                    DmsCase{"7\xC2\xB0"
                            "41'24\"E",
                            kLon, K::Angle, 7.69, ""},
                    DmsCase{"12\xC2\xB0"
                            "30'W",
                            kLon, K::Angle, -12.5, ""},
                    DmsCase{"-45\xC2\xB0"
                            "30'",
                            kLat, K::Angle, -45.5, ""},
                    DmsCase{"45.07N", kLat, K::Angle, 45.07, ""},
                    DmsCase{"45\xC2\xB0"
                            "4.2'",
                            kLat, K::Angle, 45.07, ""},
                    DmsCase{"45.07", kLat, K::Decimal, 0.0, ""},
                    DmsCase{"45deg", kLat, K::Decimal, 0.0, ""},
                    DmsCase{"1.2rad", kLon, K::Decimal, 0.0, ""},
                    DmsCase{"45\xC2\xB0"
                            "61'",
                            kLat, K::Bad, 0.0, "under 60"},
                    DmsCase{"45d4m60s", kLat, K::Bad, 0.0, "under 60"},
                    DmsCase{"91\xC2\xB0N", kLat, K::Bad, 0.0, "at most 90"},
                    DmsCase{"400\xC2\xB0"
                            "E",
                            kLon, K::Bad, 0.0, "at most 360"},
                    DmsCase{"45\xC2\xB0"
                            "4'12\"E",
                            kLat, K::Bad, 0.0, "no hemisphere"},
                    DmsCase{"7\xC2\xB0N", kLon, K::Bad, 0.0, "no hemisphere"},
                    DmsCase{"-45\xC2\xB0N", kLat, K::Bad, 0.0, "sign and a hemisphere"},
                    DmsCase{"4'45\xC2\xB0", kLat, K::Bad, 0.0, "in that order"},
                    DmsCase{"45.5\xC2\xB0"
                            "30'",
                            kLat, K::Bad, 0.0, "in that order"},
                    DmsCase{"\xC2\xB0N", kLat, K::Bad, 0.0, "not an angle"},
                    DmsCase{"45\xC2\xB0x", kLat, K::Bad, 0.0, "not an angle"}));

} // namespace
