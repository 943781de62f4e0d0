// GeoTIFF tiles through the GeoTIFF module: tiles written here with GDAL on
// the grid of an .hgt tile give the .hgt tile's heights, voids included;
// tiles GDAL cannot read or not in latitude and longitude are refused; and
// without the module, one line says what is missing.
#include "elevation_tiles.h"
#include "geotiff_tile.h"
#include "tile_files.h"

#include <gdal.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

using terrain_test::kThreeSeconds;
using terrain_test::WriteHgt;
using testing_support::TempDir;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Varied heights, linear between samples nowhere in particular, and a void
// of 3 x 3 samples around 45.5 N 7.5 E.
double rugged(double lat, double lon) {
    const int row = static_cast<int>(std::lround((46.0 - lat) * 1200.0));
    const int col = static_cast<int>(std::lround((lon - 7.0) * 1200.0));
    if (std::abs(row - 600) <= 1 && std::abs(col - 600) <= 1) {
        return kNaN;
    }
    return 400.0 + 300.0 * std::sin(lat * 37.0) * std::cos(lon * 23.0) + (row * 7 + col * 13) % 50;
}

// The tile `key` on the .hgt's 3" grid (samples at the pixels' centres) as
// 16-bit integers with -32768 for no data, in the coordinate system `epsg`.
bool writeGeoTiff(const std::string& path, TileKey key, double (*height)(double, double),
                  int epsg = 4326) {
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    constexpr int n = kThreeSeconds;
    GDALDatasetH dataset = GDALCreate(driver, path.c_str(), n, n, 1, GDT_Int16, nullptr);
    if (dataset == nullptr) {
        return false;
    }
    const double step = 1.0 / (n - 1);
    double transform[6] = {key.lon - step / 2, step, 0.0, key.lat + 1 + step / 2, 0.0, -step};
    GDALSetGeoTransform(dataset, transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, epsg);
    GDALSetSpatialRef(dataset, srs);
    OSRDestroySpatialReference(srs);
    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    GDALSetRasterNoDataValue(band, -32768);
    std::vector<std::int16_t> values(static_cast<std::size_t>(n) * n);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            const double h = height(key.lat + 1.0 - row * step, key.lon + col * step);
            values[static_cast<std::size_t>(row) * n + col] =
                std::isnan(h) ? kHgtVoid : static_cast<std::int16_t>(std::lround(h));
        }
    }
    const bool written =
        GDALRasterIO(band, GF_Write, 0, 0, n, n, values.data(), n, n, GDT_Int16, 0, 0) == CE_None;
    GDALClose(dataset);
    return written;
}

class GeoTiffTiles : public testing::Test {
  protected:
    TempDir hgtDir;
    TempDir tifDir;
};

TEST_F(GeoTiffTiles, GiveTheHeightsOfTheSameGridAsHgt) {
    WriteHgt(hgtDir, {45, 7}, kThreeSeconds, rugged);
    ASSERT_TRUE(
        writeGeoTiff(tifDir.file("Copernicus_DSM_COG_30_N45_00_E007_00_DEM.tif"), {45, 7}, rugged));
    ASSERT_TRUE(writeGeoTiff(tifDir.file("n45e008.tif"), {45, 8}, rugged));
    WriteHgt(hgtDir, {45, 8}, kThreeSeconds, rugged);
    ElevationTiles hgt(hgtDir.path());
    ElevationTiles tif(tifDir.path());
    std::string error;
    EXPECT_DOUBLE_EQ(tif.spacingDeg({45.5, 7.5}, error), 1.0 / 1200.0) << error;
    constexpr double kStep = 1.0 / 1200.0;
    const GeoPoint places[] = {
        {45.0, 7.0},
        {45.99999, 8.99999},
        {45.123456, 7.654321},
        {45.5 + 1.5 * kStep, 7.5 + 0.5 * kStep}, // a cell with two void corners
        {45.99999, 7.00001},
        {45.3, 8.2},
    };
    for (const GeoPoint p : places) {
        std::string hgtError;
        std::string tifError;
        const std::optional<double> fromHgt = hgt.heightAt(p, hgtError);
        const std::optional<double> fromTif = tif.heightAt(p, tifError);
        ASSERT_TRUE(fromHgt) << hgtError;
        ASSERT_TRUE(fromTif) << tifError;
        EXPECT_NEAR(*fromTif, *fromHgt, 1e-9) << p.latDeg << ", " << p.lonDeg;
    }
    // The void: refused by both alike.
    EXPECT_FALSE(tif.heightAt({45.5, 7.5}, error));
    EXPECT_EQ(error, "the elevation tile N45E007 has no height at 45.50000N 7.50000E (a void)");

    const GeoPoint a{45.2, 7.6};
    const GeoPoint b{45.4, 8.3};
    const std::optional<TerrainProfile> fromHgt = ProfileFromTiles(hgt, a, b, error);
    ASSERT_TRUE(fromHgt) << error;
    const std::optional<TerrainProfile> fromTif = ProfileFromTiles(tif, a, b, error);
    ASSERT_TRUE(fromTif) << error;
    ASSERT_EQ(fromTif->heightM.size(), fromHgt->heightM.size());
    for (std::size_t i = 0; i < fromHgt->heightM.size(); ++i) {
        EXPECT_NEAR(fromTif->heightM[i], fromHgt->heightM[i], 1e-9) << i;
    }
}

TEST_F(GeoTiffTiles, UnreadableOrProjectedTilesAreRefused) {
    const std::string garbage = tifDir.write("N45E007.tif", "II*\0 not really a TIFF");
    ASSERT_TRUE(writeGeoTiff(tifDir.file("N45E008.tif"), {45, 8}, rugged, 32632)); // UTM 32N
    // Georeferenced for another square than its name's.
    ASSERT_TRUE(writeGeoTiff(tifDir.file("N46E007.tif"), {45, 7}, rugged));
    ElevationTiles tiles(tifDir.path());
    std::string error;
    EXPECT_FALSE(tiles.heightAt({45.5, 7.5}, error));
    EXPECT_EQ(error.rfind(garbage + ": ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_FALSE(tiles.heightAt({45.5, 8.5}, error));
    EXPECT_EQ(error,
              tifDir.file("N45E008.tif") + " is not a grid in latitude and longitude, north up");
    EXPECT_FALSE(tiles.heightAt({46.5, 7.5}, error));
    EXPECT_EQ(error,
              tifDir.file("N46E007.tif") + " does not cover the tile N46E007 its name gives");
}

TEST(GeoTiffModule, LookedForBesideTheProgramAndWhereInstalled) {
    const char* before = std::getenv(kGeoTiffModuleVariable);
    ASSERT_EQ(before, nullptr) << "the test is run with " << kGeoTiffModuleVariable << " set";
    const std::vector<std::filesystem::path> candidates = GeoTiffModuleCandidates();
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[0],
              program.parent_path().parent_path() / "lib/quillstone/quillstone-geotiff.so");
    EXPECT_EQ(candidates[1], program.parent_path() / "quillstone-geotiff.so");
    EXPECT_TRUE(std::filesystem::is_regular_file(candidates.back())) << candidates.back();
    ::setenv(kGeoTiffModuleVariable, "/opt/elsewhere/module.so", 1);
    const std::vector<std::filesystem::path> chosen = GeoTiffModuleCandidates();
    ::unsetenv(kGeoTiffModuleVariable);
    EXPECT_EQ(chosen, std::vector<std::filesystem::path>{"/opt/elsewhere/module.so"});
}

// The module is loaded once a process: each case runs in a process of its
// own (a death test re-runs the program for it).
void readWithModule(const std::string& module, const std::string& folder) {
    ::setenv(kGeoTiffModuleVariable, module.c_str(), 1);
    ElevationTiles tiles(folder);
    std::string error;
    const bool read = tiles.heightAt({45.5, 7.5}, error).has_value();
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(read ? 1 : 0);
}

TEST(GeoTiffModuleDeathTest, MissingOrBrokenModuleIsOneLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const TempDir dir;
    ASSERT_TRUE(writeGeoTiff(dir.file("N45E007.tif"), {45, 7}, rugged));
    const std::string broken = dir.write("broken.so", "not a shared object");
    EXPECT_EXIT(readWithModule(dir.file("absent/quillstone-geotiff.so"), dir.path()),
                testing::ExitedWithCode(0),
                "GeoTIFF tiles need the module quillstone-geotiff.so \\(GDAL\\), which is not "
                "installed \\(looked for .*absent/quillstone-geotiff.so\\)");
    EXPECT_EXIT(readWithModule(broken, dir.path()), testing::ExitedWithCode(0),
                "GeoTIFF tiles need .*broken.so, which cannot be loaded: ");
}

} // namespace
