// Heights and profiles from a folder of .hgt tiles the tests write: heights
// that are planes or ridges linear between samples, so that the bilinear
// heights are exact; voids; paths over a tile's edge, the antimeridian and
// the poles; 1" and 3" tiles; and the tiles refused.
#include "elevation_tiles.h"
#include "tile_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using terrain_test::kOneSecond;
using terrain_test::kThreeSeconds;
using terrain_test::WriteHgt;
using testing_support::TempDir;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Whole metres on every sample of 1" and 3" tiles, linear in between.
double plane(double lat, double lon) {
    return 100.0 + 3600.0 * (lon - 7.0) + 3600.0 * (lat - 45.0);
}

double heightAt(ElevationTiles& tiles, GeoPoint p) {
    std::string error;
    const std::optional<double> h = tiles.heightAt(p, error);
    EXPECT_TRUE(h) << error;
    return h.value_or(kNaN);
}

// The profile's heights are those of `height` at the points along the path
// (bilinear is exact on a function linear between samples), its distances
// equally spaced from 0 to the path's length.
template <typename Height>
void expectProfileFollows(const TerrainProfile& profile, GeoPoint a, GeoPoint b, Height height) {
    std::string error;
    const std::optional<GeodesicPath> path = PathBetween(a, b, error);
    ASSERT_TRUE(path) << error;
    ASSERT_GE(profile.distanceKm.size(), 4u);
    ASSERT_EQ(profile.heightM.size(), profile.distanceKm.size());
    EXPECT_TRUE(profile.zone.empty());
    const std::vector<GeoPoint> points = PointsAlong(a, b, profile.distanceKm.size());
    const double step = path->distanceKm / static_cast<double>(points.size() - 1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(profile.distanceKm[i], step * static_cast<double>(i), 1e-9) << i;
        EXPECT_NEAR(profile.heightM[i], height(points[i].latDeg, points[i].lonDeg), 1e-6) << i;
    }
}

TEST(ElevationTiles, RidgeProfileIsExactWithItsHighestPoint) {
    const TempDir dir;
    // A ridge 1000 m high along the meridian 7.25 E (a column of samples),
    // falling 3 m a sample to the plain at 100 m.
    const auto ridge = [](double, double lon) {
        return std::max(100.0, 1000.0 - 3600.0 * std::fabs(lon - 7.25));
    };
    WriteHgt(dir, {45, 7}, kThreeSeconds, ridge);
    ElevationTiles tiles(dir.path());
    const GeoPoint a{45.5, 7.05};
    const GeoPoint b{45.5, 7.45};
    std::string error;
    const std::optional<TerrainProfile> profile = ProfileFromTiles(tiles, a, b, error);
    ASSERT_TRUE(profile) << error;
    expectProfileFollows(*profile, a, b, ridge);

    // At least one sample per 3" (92.6 m on the ground) along the 31 km.
    const std::optional<GeodesicPath> path = PathBetween(a, b, error);
    EXPECT_GE(static_cast<double>(profile->distanceKm.size() - 1), path->distanceKm / 0.0927);
    EXPECT_LE(static_cast<double>(profile->distanceKm.size() - 1), path->distanceKm / 0.09);
    // The crest is halfway, where the path crosses 7.25 E; the highest point
    // is the nearest sample, within one step of it and 3 m a sample lower.
    const auto top = std::max_element(profile->heightM.begin(), profile->heightM.end());
    const double topKm =
        profile->distanceKm[static_cast<std::size_t>(top - profile->heightM.begin())];
    const double stepKm = profile->distanceKm[1];
    EXPECT_LE(std::fabs(topKm - path->distanceKm / 2.0), stepKm / 2.0 + 1e-9);
    EXPECT_GE(*top, 1000.0 - 3.0 * stepKm / 0.065);
    EXPECT_NEAR(profile->heightM.front(), 280.0, 1e-9);
    EXPECT_NEAR(profile->heightM.back(), 280.0, 1e-9);
    EXPECT_EQ(heightAt(tiles, {45.3, 7.25}), 1000.0);
}

// One void among the four samples of a cell: the other three, their
// weights scaled up to one. Samples (3") around 45.5 N 7.5 E: the void at
// the cell's south-east corner.
TEST(ElevationTiles, VoidCornerIsLeftOutAndFourVoidsRefused) {
    const TempDir dir;
    constexpr double kStep = 1.0 / 1200.0;
    const auto height = [](double lat, double lon) {
        const int col = static_cast<int>(std::lround((lon - 7.0) * 1200.0));
        const int row = static_cast<int>(std::lround((46.0 - lat) * 1200.0));
        if (row == 601 && col == 601) {
            return kNaN; // the lone void
        }
        if (row >= 800 && row <= 803 && col >= 800 && col <= 810) {
            return kNaN; // whole cells of voids
        }
        return row == 600 ? (col == 600 ? 100.0 : 200.0) : 300.0;
    };
    WriteHgt(dir, {45, 7}, kThreeSeconds, height);
    ElevationTiles tiles(dir.path());
    const struct {
        double fx; // east of the cell's north-west sample, in samples
        double fy; // south of it
        double expected;
    } cases[] = {
        {0.0, 0.0, 100.0},
        {1.0, 0.0, 200.0},
        {0.25, 0.0, 125.0},
        // weights 3/8, 1/8, 3/8 (the void's 1/8 left out): 175 / 0.875
        {0.25, 0.5, (0.375 * 100 + 0.125 * 200 + 0.375 * 300) / 0.875},
        {0.5, 0.5, (0.25 * 100 + 0.25 * 200 + 0.25 * 300) / 0.75},
        {0.0, 1.0, 300.0},
    };
    for (const auto& c : cases) {
        const GeoPoint p{46.0 - (600 + c.fy) * kStep, 7.0 + (600 + c.fx) * kStep};
        EXPECT_NEAR(heightAt(tiles, p), c.expected, 1e-9) << c.fx << ", " << c.fy;
    }
    std::string error;
    EXPECT_FALSE(tiles.heightAt({46.0 - 800.5 * kStep, 7.0 + 800.5 * kStep}, error));
    EXPECT_EQ(error, "the elevation tile N45E007 has no height at 45.33292N 7.66708E (a void)");
    // A profile over it is refused with the same line.
    EXPECT_FALSE(
        ProfileFromTiles(tiles, {46.0 - 801.5 * kStep, 7.5}, {46.0 - 801.5 * kStep, 7.8}, error));
    EXPECT_NE(error.find("the elevation tile N45E007 has no height at 45.33"), std::string::npos)
        << error;
}

TEST(ElevationTiles, ProfileCrossesFromTileToTile) {
    const TempDir dir;
    WriteHgt(dir, {45, 7}, kThreeSeconds, plane);
    WriteHgt(dir, {45, 8}, kThreeSeconds, plane);
    WriteHgt(dir, {44, 8}, kThreeSeconds, plane);
    ElevationTiles tiles(dir.path());
    const GeoPoint a{45.3, 7.7};
    const GeoPoint b{44.8, 8.4}; // three tiles
    std::string error;
    const std::optional<TerrainProfile> profile = ProfileFromTiles(tiles, a, b, error);
    ASSERT_TRUE(profile) << error;
    expectProfileFollows(*profile, a, b, plane);
    // The shared edge gives one height from either side.
    EXPECT_EQ(heightAt(tiles, {45.5, 8.0}), plane(45.5, 8.0));
    EXPECT_EQ(heightAt(tiles, {45.0, 8.5}), plane(45.0, 8.5));
}

TEST(ElevationTiles, MissingTileNamesTheFileAndTheFolder) {
    const TempDir dir;
    WriteHgt(dir, {45, 7}, kThreeSeconds, plane);
    ElevationTiles tiles(dir.path());
    std::string error;
    EXPECT_FALSE(ProfileFromTiles(tiles, {45.5, 7.9}, {45.5, 8.1}, error));
    EXPECT_EQ(error, "no elevation tile N45E008.hgt (or a GeoTIFF of N45E008) in " + dir.path());
    EXPECT_FALSE(tiles.heightAt({-0.5, -0.5}, error));
    EXPECT_EQ(error, "no elevation tile S01W001.hgt (or a GeoTIFF of S01W001) in " + dir.path());
    EXPECT_EQ(tiles.spacingDeg({-0.5, -0.5}, error), 0.0);
    EXPECT_NE(error.find("S01W001.hgt"), std::string::npos);

    // The tile added while the tiles are in use is found.
    WriteHgt(dir, {45, 8}, kThreeSeconds, plane);
    EXPECT_TRUE(ProfileFromTiles(tiles, {45.5, 7.9}, {45.5, 8.1}, error)) << error;

    // A folder under a regular file has no tiles.
    const std::string file = dir.write("regular", "x");
    ElevationTiles none(file + "/terrain");
    EXPECT_FALSE(none.heightAt({45.5, 7.5}, error));
    EXPECT_EQ(error,
              "no elevation tile N45E007.hgt (or a GeoTIFF of N45E007) in " + file + "/terrain");
}

// Heights rising eastward through 180: 179 E to 180 in one tile, 180 W on
// in the next.
double overTheAntimeridian(double, double lon) {
    return 500.0 + 1200.0 * (lon < 0.0 ? lon + 360.0 - 179.0 : lon - 179.0);
}

TEST(ElevationTiles, AntimeridianIsCrossed) {
    const TempDir dir;
    WriteHgt(dir, {10, 179}, kThreeSeconds, overTheAntimeridian);
    ElevationTiles onlyEast(dir.path());
    std::string error;
    // 180 is 180 W: the tile W180's.
    EXPECT_FALSE(onlyEast.heightAt({10.5, 180.0}, error));
    EXPECT_NE(error.find("W180.hgt"), std::string::npos) << error;
    EXPECT_EQ(heightAt(onlyEast, {10.5, 179.5}), 1100.0);
    EXPECT_EQ(heightAt(onlyEast, {10.5, -180.5}), 1100.0); // wrapped

    WriteHgt(dir, {10, -180}, kThreeSeconds, overTheAntimeridian);
    ElevationTiles tiles(dir.path());
    EXPECT_EQ(heightAt(tiles, {10.5, 180.0}), 1700.0);
    EXPECT_EQ(heightAt(tiles, {10.5, -180.0}), 1700.0);
    EXPECT_EQ(heightAt(tiles, {10.5, 540.25}), 2000.0);
    const GeoPoint a{10.2, 179.6};
    const GeoPoint b{10.7, -179.6};
    const std::optional<TerrainProfile> profile = ProfileFromTiles(tiles, a, b, error);
    ASSERT_TRUE(profile) << error;
    expectProfileFollows(*profile, a, b, overTheAntimeridian);
}

TEST(ElevationTiles, PolesAreTheTilesEdges) {
    const TempDir dir;
    const auto byLatitude = [](double lat, double) { return 1200.0 * std::fabs(lat) - 105000.0; };
    WriteHgt(dir, {89, 0}, kThreeSeconds, byLatitude);
    WriteHgt(dir, {-90, 0}, kThreeSeconds, byLatitude);
    ElevationTiles tiles(dir.path());
    EXPECT_EQ(heightAt(tiles, {90.0, 0.5}), 3000.0);
    EXPECT_EQ(heightAt(tiles, {89.5, 0.5}), 2400.0);
    EXPECT_EQ(heightAt(tiles, {-90.0, 0.5}), 3000.0);
    EXPECT_EQ(heightAt(tiles, {-89.25, 0.5}), 2100.0);
    std::string error;
    EXPECT_FALSE(tiles.heightAt({90.5, 0.5}, error));
    EXPECT_NE(error.find("not on the globe"), std::string::npos) << error;
    EXPECT_FALSE(tiles.heightAt({kNaN, 0.5}, error));
}

TEST(ElevationTiles, OneAndThreeSecondTilesAgree) {
    const TempDir fine;
    const TempDir coarse;
    WriteHgt(fine, {45, 7}, kOneSecond, plane);
    WriteHgt(coarse, {45, 7}, kThreeSeconds, plane);
    ElevationTiles oneSecond(fine.path());
    ElevationTiles threeSeconds(coarse.path());
    std::string error;
    EXPECT_DOUBLE_EQ(oneSecond.spacingDeg({45.5, 7.5}, error), 1.0 / 3600.0);
    EXPECT_DOUBLE_EQ(threeSeconds.spacingDeg({45.5, 7.5}, error), 1.0 / 1200.0);
    for (const GeoPoint p : {GeoPoint{45.0, 7.0}, GeoPoint{45.123456, 7.654321},
                             GeoPoint{45.999, 7.0001}, GeoPoint{45.0, 7.99999}}) {
        EXPECT_NEAR(heightAt(oneSecond, p), plane(p.latDeg, p.lonDeg), 1e-6);
        EXPECT_NEAR(heightAt(threeSeconds, p), plane(p.latDeg, p.lonDeg), 1e-6);
    }
    const GeoPoint a{45.07, 7.69};
    const GeoPoint b{45.37, 7.95};
    const std::optional<TerrainProfile> many = ProfileFromTiles(oneSecond, a, b, error);
    const std::optional<TerrainProfile> few = ProfileFromTiles(threeSeconds, a, b, error);
    ASSERT_TRUE(many && few) << error;
    EXPECT_NEAR(static_cast<double>(many->distanceKm.size() - 1) / (few->distanceKm.size() - 1),
                3.0, 0.01);
    expectProfileFollows(*many, a, b, plane);
}

TEST(ElevationTiles, BadTilesAreRefusedNamingTheFileAndItsSize) {
    const std::string sizes = "bytes where an .hgt tile has 25934402 (1 arc-second) or 2884802 (3 "
                              "arc-seconds): it is truncated or not a tile";
    const struct {
        const char* name;
        std::size_t bytes;
    } cases[] = {
        {"N45E007.hgt", 25934400}, // a 1" tile less its last sample
        {"N45E007.hgt", 2884801},
        {"n45e007.HGT", 1000},
        {"N45E007.hgt", 0},
    };
    for (const auto& c : cases) {
        const TempDir dir;
        dir.write(c.name, std::string(c.bytes, '\x01'));
        ElevationTiles tiles(dir.path());
        std::string error;
        EXPECT_FALSE(tiles.heightAt({45.5, 7.5}, error));
        EXPECT_EQ(error, dir.file(c.name) + " is " + std::to_string(c.bytes) + " " + sizes);
        // Opened once: asked again, the same answer.
        EXPECT_FALSE(tiles.heightAt({45.6, 7.6}, error));
        EXPECT_EQ(error.find(dir.file(c.name)), 0u);
    }
}

// Any letter case, in a folder within the folder; an .hgt tile before a
// GeoTIFF of the same square (here one no reader could open).
TEST(ElevationTiles, TilesAreFoundByNameInFoldersWithin) {
    const TempDir dir;
    std::filesystem::create_directories(dir.file("srtm/alps"));
    WriteHgt(dir, {45, 7}, kThreeSeconds, plane, "srtm/alps/n45e007.HGT");
    dir.write("Copernicus_DSM_COG_10_N45_00_E007_00_DEM.tif", "not a GeoTIFF");
    ElevationTiles tiles(dir.path());
    EXPECT_EQ(heightAt(tiles, {45.5, 7.5}), plane(45.5, 7.5));
}

TEST(ElevationTiles, PathsRefusedAsThePathIs) {
    const TempDir dir;
    ElevationTiles tiles(dir.path());
    std::string error;
    EXPECT_FALSE(ProfileFromTiles(tiles, {45.0, 7.0}, {45.0, 7.0}, error));
    EXPECT_NE(error.find("same place"), std::string::npos) << error;
    EXPECT_FALSE(ProfileFromTiles(tiles, {0.0, 0.0}, {0.0, 180.0}, error));
    EXPECT_NE(error.find("antipodal"), std::string::npos) << error;
}

TEST(TileNames, NameTheirSouthWestCorner) {
    const struct {
        const char* file;
        TileKey key;
        TileFormat format;
    } named[] = {
        {"N45E007.hgt", {45, 7}, TileFormat::Hgt},
        {"s01w180.HGT", {-1, -180}, TileFormat::Hgt},
        {"N00E000.tif", {0, 0}, TileFormat::GeoTiff},
        {"S90W001.tiff", {-90, -1}, TileFormat::GeoTiff},
        {"Copernicus_DSM_COG_10_N45_00_E007_00_DEM.tif", {45, 7}, TileFormat::GeoTiff},
        {"copernicus_dsm_cog_30_s12_00_w077_00_dem.TIF", {-12, -77}, TileFormat::GeoTiff},
    };
    for (const auto& c : named) {
        const std::optional<NamedTile> tile = TileFromFileName(c.file);
        ASSERT_TRUE(tile) << c.file;
        EXPECT_EQ(tile->key, c.key) << c.file;
        EXPECT_EQ(tile->format, c.format) << c.file;
    }
    for (const char* other :
         {"N45E007.hg", "N90E000.hgt", "N45E180.hgt", "X45E007.hgt", "N4aE007.hgt", "N45E007.dem",
          "Copernicus_DSM_COG_20_N45_00_E007_00_DEM.tif", "N45E007.hgt.zip", ""}) {
        EXPECT_FALSE(TileFromFileName(other)) << other;
    }
    EXPECT_EQ(TileName({-1, -180}), "S01W180");
    EXPECT_EQ(TileName({45, 7}), "N45E007");
    EXPECT_EQ(TileOf(90.0, 179.999).lat, 89);
    EXPECT_EQ(TileOf(-0.001, -0.001), (TileKey{-1, -1}));
}

TEST(TerrainFolder, FollowsXdgDataHome) {
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> data = saved("XDG_DATA_HOME");
    const std::optional<std::string> home = saved("HOME");
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    ::setenv("HOME", "/home/engineer", 1);
    const std::filesystem::path fromData = DefaultTerrainFolder();
    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    const std::filesystem::path fromHome = DefaultTerrainFolder();
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    const std::filesystem::path none = DefaultTerrainFolder();
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    };
    restore("XDG_DATA_HOME", data);
    restore("HOME", home);
    EXPECT_EQ(fromData, "/data/home/quillstone/terrain");
    EXPECT_EQ(fromHome, "/home/engineer/.local/share/quillstone/terrain");
    EXPECT_EQ(none, "");
}

} // namespace
