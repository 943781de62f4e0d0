// The geodesic between two sites against arcs worked by hand on the WGS-84
// ellipsoid: the equator, a meridian (its arc length integrated here), a
// short path near Turin from the local radii of curvature; and the sites
// refused.
#include "geodesic_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kA = 6378.137;               // WGS-84 equatorial radius, km
constexpr double kE2 = 0.0066943799901413165; // WGS-84 first eccentricity squared
constexpr double kDeg = std::numbers::pi / 180.0;

// The meridian's radius of curvature M and the prime vertical's N (km).
double meridianRadius(double latDeg) {
    const double s = std::sin(latDeg * kDeg);
    return kA * (1.0 - kE2) / std::pow(1.0 - kE2 * s * s, 1.5);
}
double primeVerticalRadius(double latDeg) {
    const double s = std::sin(latDeg * kDeg);
    return kA / std::sqrt(1.0 - kE2 * s * s);
}

// The meridian arc from lat1 to lat2 (km): the integral of M, by Simpson's
// rule over 2000 intervals (exact to far below a millimetre).
double meridianArcKm(double lat1, double lat2) {
    constexpr int kIntervals = 2000;
    const double h = (lat2 - lat1) / kIntervals;
    double sum = meridianRadius(lat1) + meridianRadius(lat2);
    for (int i = 1; i < kIntervals; ++i) {
        sum += (i % 2 == 1 ? 4.0 : 2.0) * meridianRadius(lat1 + i * h);
    }
    return sum * h / 3.0 * kDeg;
}

struct ArcCase {
    const char* name;
    GeoPoint a;
    GeoPoint b;
    double distanceKm;
    double azimuthA;
    double azimuthB;
};

class KnownArc : public testing::TestWithParam<ArcCase> {};

TEST_P(KnownArc, HasItsLengthAndAzimuths) {
    const ArcCase c = GetParam();
    std::string error;
    const std::optional<GeodesicPath> path = PathBetween(c.a, c.b, error);
    ASSERT_TRUE(path) << error;
    EXPECT_EQ(error, "");
    EXPECT_NEAR(path->distanceKm, c.distanceKm, 1e-6); // 1 mm
    EXPECT_NEAR(path->azimuthFromADeg, c.azimuthA, 1e-9);
    EXPECT_NEAR(path->azimuthFromBDeg, c.azimuthB, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Geodesic, KnownArc,
    testing::Values(
        // Along the equator the geodesic is the equator, a circle of radius a.
        ArcCase{"EquatorEastward", {0.0, 0.0}, {0.0, 1.0}, kA* kDeg, 90.0, 270.0},
        ArcCase{"EquatorWestward", {0.0, 10.0}, {0.0, 5.5}, 4.5 * kA* kDeg, 270.0, 90.0},
        ArcCase{"EquatorOverTheAntimeridian", {0.0, 179.5}, {0.0, -179.5}, kA* kDeg, 90.0, 270.0},
        ArcCase{"EquatorLongitudeWrapped", {0.0, 359.5}, {0.0, 0.5}, kA* kDeg, 90.0, 270.0},
        ArcCase{"MeridianNorthward", {0.0, 7.0}, {1.0, 7.0}, meridianArcKm(0.0, 1.0), 0.0, 180.0},
        ArcCase{
            "MeridianSouthward", {45.5, -3.0}, {44.0, -3.0}, meridianArcKm(44.0, 45.5), 180.0, 0.0},
        ArcCase{"MeridianToThePole",
                {85.0, 20.0},
                {90.0, 20.0},
                meridianArcKm(85.0, 90.0),
                0.0,
                180.0}),
    [](const testing::TestParamInfo<ArcCase>& info) { return info.param.name; });

// Turin to a site about 50 km away to the north-east. Over so short a path
// the ellipsoid is its osculating sphere at the midpoint: north and east
// displacements M dphi and N cos(phi) dlambda (km), the azimuth at the
// midpoint from them, and at the ends that azimuth less or more half the
// meridians' convergence dlambda sin(phi).
TEST(Geodesic, TurinToFiftyKilometresAgreesWithTheLocalRadii) {
    const GeoPoint turin{45.07, 7.69};
    const GeoPoint site{45.37, 8.12};
    const double midLat = (turin.latDeg + site.latDeg) / 2.0;
    const double north = meridianRadius(midLat) * (site.latDeg - turin.latDeg) * kDeg;
    const double east =
        primeVerticalRadius(midLat) * std::cos(midLat * kDeg) * (site.lonDeg - turin.lonDeg) * kDeg;
    const double midAzimuth = std::atan2(east, north) / kDeg;
    const double convergence = (site.lonDeg - turin.lonDeg) * std::sin(midLat * kDeg);

    std::string error;
    const std::optional<GeodesicPath> path = PathBetween(turin, site, error);
    ASSERT_TRUE(path) << error;
    EXPECT_NEAR(path->distanceKm, std::hypot(north, east), 0.005); // the sphere's error: ~1 m
    EXPECT_GT(path->distanceKm, 45.0);
    EXPECT_LT(path->distanceKm, 55.0);
    EXPECT_NEAR(path->azimuthFromADeg, midAzimuth - convergence / 2.0, 0.002);
    EXPECT_NEAR(path->azimuthFromBDeg, midAzimuth + convergence / 2.0 + 180.0, 0.002);

    const std::optional<GeodesicPath> back = PathBetween(site, turin, error);
    ASSERT_TRUE(back) << error;
    EXPECT_NEAR(back->distanceKm, path->distanceKm, 1e-9);
    EXPECT_NEAR(back->azimuthFromADeg, path->azimuthFromBDeg, 1e-9);
    EXPECT_NEAR(back->azimuthFromBDeg, path->azimuthFromADeg, 1e-9);
}

struct RefusedCase {
    const char* name;
    GeoPoint a;
    GeoPoint b;
    const char* message; // a piece of the one line
};

class RefusedSites : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedSites, GiveOneLine) {
    const RefusedCase c = GetParam();
    std::string error;
    EXPECT_FALSE(PathBetween(c.a, c.b, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Geodesic, RefusedSites,
    testing::Values(
        RefusedCase{"LatitudeBeyondTheNorthPole", {90.001, 0.0}, {45.0, 7.0}, "site A's latitude"},
        RefusedCase{"LatitudeBeyondTheSouthPole", {45.0, 7.0}, {-91.0, 0.0}, "site B's latitude"},
        RefusedCase{"LatitudeNotANumber", {kNaN, 7.0}, {45.0, 7.0}, "not a number"},
        RefusedCase{"LongitudeInfinite", {45.0, 7.0}, {45.1, kInf}, "not a number"},
        RefusedCase{"SamePlace", {45.07, 7.69}, {45.07, 7.69}, "same place"},
        // 0.5 m east at 45 degrees: dlambda = 0.5 / (N cos(phi)).
        RefusedCase{"HalfAMetreApart",
                    {45.0, 7.0},
                    {45.0, 7.0 + 0.5 / 4517.0 / 1000.0 / kDeg},
                    "same place"},
        RefusedCase{"SamePlaceOnceWrapped", {10.0, -170.0}, {10.0, 190.0}, "same place"},
        RefusedCase{"Antipodal", {0.0, 0.0}, {0.0, 180.0}, "antipodal"},
        RefusedCase{"NearlyAntipodal", {30.2, 10.0}, {-30.0, -170.3}, "antipodal"},
        RefusedCase{"LongerThanATerrainPath", {0.0, 0.0}, {0.0, 9.0}, "at most 1000 km"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(Geodesic, PathOfOneThousandKilometresIsTaken) {
    // 999 km along the equator.
    std::string error;
    EXPECT_TRUE(PathBetween({0.0, 0.0}, {0.0, 999.0 / (kA * kDeg)}, error)) << error;
    EXPECT_FALSE(PathBetween({0.0, 0.0}, {0.0, 1001.0 / (kA * kDeg)}, error));
}

TEST(PointsAlong, EquallySpacedFromAToBWithLongitudesWrapped) {
    const GeoPoint a{10.0, 179.8};
    const GeoPoint b{10.4, -179.7};
    std::string error;
    const std::optional<GeodesicPath> path = PathBetween(a, b, error);
    ASSERT_TRUE(path) << error;
    constexpr std::size_t kCount = 11;
    const std::vector<GeoPoint> points = PointsAlong(a, b, kCount);
    ASSERT_EQ(points.size(), kCount);
    EXPECT_EQ(points.front().latDeg, a.latDeg);
    EXPECT_EQ(points.front().lonDeg, a.lonDeg);
    EXPECT_EQ(points.back().latDeg, b.latDeg);
    EXPECT_EQ(points.back().lonDeg, b.lonDeg);
    for (std::size_t i = 1; i < kCount; ++i) {
        EXPECT_GE(points[i].lonDeg, -180.0);
        EXPECT_LT(points[i].lonDeg, 180.0);
        const std::optional<GeodesicPath> step = PathBetween(points[i - 1], points[i], error);
        ASSERT_TRUE(step) << error;
        EXPECT_NEAR(step->distanceKm, path->distanceKm / (kCount - 1), 1e-9) << i;
        // On the one geodesic: every step heads the way the path does there.
        if (i > 1) {
            const std::optional<GeodesicPath> before =
                PathBetween(points[i - 2], points[i - 1], error);
            ASSERT_TRUE(before);
            // Leaving a point, the path heads opposite to where it came from.
            EXPECT_NEAR(
                std::remainder(step->azimuthFromADeg - before->azimuthFromBDeg - 180.0, 360.0), 0.0,
                1e-6)
                << i;
        }
    }
}

TEST(PointsAlong, TwoPointsAtTheLeastAndLongitude180AsMinus180) {
    const std::vector<GeoPoint> points = PointsAlong({0.0, 180.0}, {0.0, 179.0}, 0);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].lonDeg, -180.0);
    EXPECT_EQ(points[1].lonDeg, 179.0);
}

} // namespace
