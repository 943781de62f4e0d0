// The map reader and the interpolations of ITU-R P.1144 Annex 1, on small
// grids made here, against values worked by hand.
#include "itu_grid.h"
#include "test_base.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <clocale>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using testing_support::TempDir;
using testing_support::WriteAll;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Rows -90..90 every 45 degrees (south to north); columns 0..270 every 90
// degrees, closing round the globe without repeating 0 at 360.
const GridAxes kGlobe{5, 4, -90.0, 45.0, 0.0, 90.0, "LAT", "LON"};

ItuGrid MakeGrid(const GridAxes& axes, const std::function<double(int, int)>& value) {
    std::vector<double> values;
    for (std::size_t i = 0; i < axes.rows; ++i) {
        for (std::size_t j = 0; j < axes.cols; ++j) {
            values.push_back(value(static_cast<int>(i), static_cast<int>(j)));
        }
    }
    return ItuGrid(axes, values);
}

struct Place {
    const char* what;
    double lat;
    double lon;
    double expected;
};

void ExpectAll(const std::vector<Place>& places, const std::function<double(double, double)>& f) {
    for (const Place& p : places) {
        EXPECT_NEAR(f(p.lat, p.lon), p.expected, 1e-12) << p.what;
    }
}

TEST(ItuGrid, BilinearWrapsLongitudeRoundTheGlobe) {
    const ItuGrid grid = MakeGrid(kGlobe, [](int i, int j) { return 10.0 * i + j * j; });
    // R = (lat + 90) / 45, C = lon / 90; I = 10 R + the linear blend of j^2.
    ExpectAll({{"a grid point", 0.0, 0.0, 20.0},
               {"mid-cell: (20 + 30 + 21 + 31) / 4", 22.5, 45.0, 25.5},
               {"a quarter in: 10 * 2.25 + 0.25", 11.25, 22.5, 22.75},
               {"across the seam 270..360: (29 + 39 + 20 + 30) / 4", 22.5, 315.0, 29.5},
               {"the same place west of 0", 22.5, -45.0, 29.5},
               {"the same place a turn on", 22.5, 675.0, 29.5},
               {"the north pole row: 41 + 3 / 9", 90.0, 100.0, 41.0 + 1.0 / 3.0},
               {"the south pole", -90.0, 0.0, 0.0}},
              [&](double lat, double lon) { return grid.bilinear(lat, lon); });
}

TEST(ItuGrid, BilinearAcrossTheDateLineOfAMinus180To180Grid) {
    // ITU's layout: columns -180..180, the last repeating the first.
    const GridAxes axes{3, 5, 90.0, -90.0, -180.0, 90.0, "LAT", "LON"};
    const ItuGrid grid = MakeGrid(axes, [](int, int j) { return j % 4; });
    ExpectAll({{"179 E: 3 + (89 / 90)(0 - 3)", 0.0, 179.0, 3.0 - 89.0 / 30.0},
               {"181 W is 179 E", 0.0, -181.0, 3.0 - 89.0 / 30.0},
               {"the date line", 0.0, 180.0, 0.0},
               {"0 to 360 longitudes: 270 is -90", 45.0, 270.0, 1.0}},
              [&](double lat, double lon) { return grid.bilinear(lat, lon); });
}

TEST(ItuGrid, BicubicUsesTheCubicConvolutionKernel) {
    // W(0.5) = 0.5625, W(1.5) = -0.0625; W(0.25) = 0.8671875, W(0.75) = 0.2265625,
    // W(1.25) = -0.0703125, W(1.75) = -0.0234375. i^2 is reproduced exactly; j^3 at
    // C = 1.25 gives 0.8671875 + 8 * 0.2265625 - 27 * 0.0234375 = 2.046875.
    const GridAxes axes{13, 24, -90.0, 15.0, 0.0, 15.0, "LAT", "LON"};
    const ItuGrid grid = MakeGrid(axes, [](int i, int j) { return i * i + j * j * j; });
    ExpectAll({{"R 2.5, C 1.25: 6.25 + 2.046875", -52.5, 18.75, 8.296875},
               {"a grid point: 9 + 8", -45.0, 30.0, 17.0},
               {"across the seam, C 23.5: 9 - 0.0625 * 22^3 + 0.5625 * 23^3 - 0.0625", -45.0, -7.5,
                6187.375}},
              [&](double lat, double lon) { return grid.bicubic(lat, lon); });
    EXPECT_NEAR(grid.bilinear(-52.5, 18.75), 6.5 + 2.75, 1e-12) << "bilinear differs there";
}

TEST(ItuGrid, PolesMirrorTheRowsBeyondThem) {
    const std::vector<std::vector<double>> rows{
        {-3, -3, -3, -3}, {1, 2, 3, 4}, {5, 6, 7, 8}, {10, 20, 30, 40}, {7, 7, 7, 7}};
    const ItuGrid grid = MakeGrid(kGlobe, [&](int i, int j) { return rows[i][j]; });
    ExpectAll({{"north pole", 90.0, 123.0, 7.0}, {"south pole", -90.0, -77.0, -3.0}},
              [&](double lat, double lon) { return grid.bilinear(lat, lon); });
    // R 3.5 needs row 5 (135 N): row 3 (45 N) half a turn round, 30 where lon 0 has 10.
    ExpectAll({{"north pole", 90.0, 45.0, 7.0},
               {"67.5 N: -0.0625 * 5 + 0.5625 * (10 + 7) - 0.0625 * 30", 67.5, 0.0, 7.375},
               {"67.5 S: -0.0625 * 4 + 0.5625 * (-3 + 2) - 0.0625 * 6", -67.5, 90.0, -1.1875}},
              [&](double lat, double lon) { return grid.bicubic(lat, lon); });
}

TEST(ItuGrid, EdgesOfAGridShortOfThePolesAndOfTheGlobe) {
    // Rows 60, 0, -60 and columns 0, 90: the place on the last row or column is
    // the far corner of the cell before it; beyond them there is no value.
    const ItuGrid grid = MakeGrid({3, 2, 60.0, -60.0, 0.0, 90.0, "LAT", "LON"},
                                  [](int i, int j) { return 10.0 * i + j; });
    ExpectAll({{"the last row and column", -60.0, 90.0, 21.0},
               {"the first", 60.0, 0.0, 0.0},
               {"on the last column: (11 + 21) / 2", -30.0, 90.0, 16.0}},
              [&](double lat, double lon) { return grid.bilinear(lat, lon); });
    for (const auto& [lat, lon] : {std::pair{70.0, 0.0}, {-61.0, 0.0}, {0.0, 91.0}, {0.0, -1.0}}) {
        EXPECT_TRUE(std::isnan(grid.bilinear(lat, lon))) << lat << " " << lon;
    }
}

TEST(ItuGrid, ValueNextToAMissingOneOnlyWhereItWeighs) {
    const ItuGrid grid =
        MakeGrid(kGlobe, [](int i, int j) { return i == 2 && j == 1 ? kNaN : 1.0; });
    EXPECT_TRUE(std::isnan(grid.bilinear(22.5, 45.0)));
    EXPECT_EQ(grid.bilinear(45.0, 90.0), 1.0) << "a grid point beside the gap";
    EXPECT_EQ(grid.bicubic(45.0, 90.0), 1.0);
    EXPECT_FALSE(grid.cell(kNaN, 0.0).inside);
}

TEST(ItuGrid, SemiLogInProbability) {
    const struct {
        double p, p1, x1, p2, x2, expected;
    } cases[] = {
        {1.0, 1.0, 5.0, 4.0, 9.0, 5.0},
        {4.0, 1.0, 5.0, 4.0, 9.0, 9.0},
        {2.0, 1.0, 5.0, 4.0, 9.0, 7.0},                         // ln 2 is half of ln 4
        {0.5, 0.3, 1.0, 1.0, 0.0, 1.0 - 0.5108256 / 1.2039728}, // ln(5/3) / ln(10/3)
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(SemiLogInterpolate(c.p, c.p1, c.x1, c.p2, c.x2), c.expected, 1e-7) << c.p;
    }
}

TEST(MapText, NumbersAsItuWritesThem) {
    const NumberTable table = ParseNumberTable("1 2.5 NaN\r\n-0.125\t+4 nan\n\n3e2 0 -0\n");
    ASSERT_EQ(table.error, "");
    EXPECT_EQ(table.rows, 3u);
    EXPECT_EQ(table.cols, 3u);
    EXPECT_EQ(table.values[1], 2.5);
    EXPECT_TRUE(std::isnan(table.values[2]) && std::isnan(table.values[5]));
    EXPECT_EQ(table.values[3], -0.125);
    EXPECT_EQ(table.values[4], 4.0);
    EXPECT_EQ(table.values[6], 300.0);
}

TEST(MapText, ReadTheSameUnderACommaLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
    }
    const NumberTable table = ParseNumberTable("0.5 1,5\n");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(table.error.find("\"1,5\" is not a number"), std::string::npos) << table.error;
    EXPECT_EQ(ParseNumberTable("0.5\n").values.at(0), 0.5);
}

TEST(MapText, DamageIsNamed) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"1 2 3\n4 5\n", "line 2 has 2 values where the first line has 3"},
        {"1 2\n3 4\n5 6 7\n", "line 3 has 3 values where the first line has 2"},
        {"1 2\n3 abc\n", "line 2, value 2: \"abc\" is not a number"},
        {"1 inf\n", "line 1, value 2: \"inf\" is not a number"},
        {"1 2.5.1\n", "line 1, value 2: \"2.5.1\" is not a number"},
        {" \n\n", "no numbers"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumberTable(c.text).error, c.error) << c.text;
    }
}

void WriteGzip(const std::string& path, const std::string& text) {
    gzFile file = gzopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(gzwrite(file, text.data(), static_cast<unsigned>(text.size())),
              static_cast<int>(text.size()));
    ASSERT_EQ(gzclose(file), Z_OK);
}

TEST(MapText, PlainAndCompressedAlikeAndACutShortFileRefused) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += std::to_string(i) + " 0.25 NaN\n";
    }
    WriteAll(dir.file("plain.txt"), text);
    WriteGzip(dir.file("packed.txt.gz"), text);
    EXPECT_EQ(ReadMapText(dir.file("plain.txt")).text, text);
    EXPECT_EQ(ReadMapText(dir.file("packed.txt.gz")).text, text);

    const std::string packed = dir.read("packed.txt.gz");
    WriteAll(dir.file("cut.txt.gz"), packed.substr(0, packed.size() / 2));
    const MapText cut = ReadMapText(dir.file("cut.txt.gz"));
    EXPECT_EQ(cut.text, "");
    EXPECT_NE(cut.error.find("cut.txt.gz: damaged or cut-short compressed data"), std::string::npos)
        << cut.error;
    EXPECT_NE(ReadMapText(dir.file("none.txt")).error.find("none.txt: cannot be opened"),
              std::string::npos);
}

TEST(GridFiles, ShapeAndAxesChecked) {
    TempDir dir;
    const std::string lat3x2 = "90 90\n0 0\n-90 -90\n";
    const std::string lon3x2 = "0 180\n0 180\n0 180\n";
    const struct {
        const char* what;
        std::string lat, lon, values, error;
    } cases[] = {
        {"good", lat3x2, lon3x2, "1 2\n3 4\n5 6\n", ""},
        {"a missing row", lat3x2, lon3x2, "1 2\n3 4\n",
         "2 rows of 2 values where LAT.TXT and LON.TXT give 3 x 2"},
        {"NaN where a latitude belongs", "90 90\nNaN 0\n-90 -90\n", lon3x2, "",
         "LAT.TXT: line 2: NaN where a latitude belongs"},
        {"uneven latitudes", "90 90\n0 0\n-80 -80\n", lon3x2, "",
         "LAT.TXT: line 3: latitude -80 breaks the equal steps of the grid"},
        {"latitude varying along a row", "90 90\n0 1\n-90 -90\n", lon3x2, "",
         "LAT.TXT: line 2: latitude 1 breaks"},
        {"longitudes shaped unlike latitudes", lat3x2, "0 180\n0 180\n", "",
         "LON.TXT: 2 x 2 values where LAT.TXT has 3 x 2"},
        {"longitudes growing to the west", lat3x2, "180 0\n180 0\n180 0\n", "",
         "LON.TXT: longitudes decrease along a row"},
    };
    for (const auto& c : cases) {
        WriteAll(dir.file("LAT.TXT"), c.lat);
        WriteAll(dir.file("LON.TXT"), c.lon);
        WriteAll(dir.file("V.TXT"), c.values);
        const AxesRead axes = ReadGridAxes(dir.file("LAT.TXT"), dir.file("LON.TXT"));
        const std::string error =
            axes.error.empty() ? ReadGridValues(dir.file("V.TXT"), axes.axes).error : axes.error;
        if (std::string(c.error).empty()) {
            EXPECT_EQ(error, "") << c.what;
            EXPECT_EQ(axes.axes.latStepDeg, -90.0);
            EXPECT_EQ(axes.axes.lonStepDeg, 180.0);
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        }
    }
}

} // namespace
