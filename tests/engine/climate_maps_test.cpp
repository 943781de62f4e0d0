// The climate lookups against every row of ITU-R's validation examples that the
// shared maps cover (skipped where they are absent), and, always, on small maps
// made here. Tables in itu/: ITURP837-7_*, ITURP839-4_*, ITURP840-9_*,
// ITURP836-6_* and ITURP1510-1_* from the ITU-R Study Group 3 validation-examples
// workbook Rev 8.3.0 (CG-3M3J-13-ValEx-Rev8.3.0.xlsx, 2024-12-02); the others as
// README.md says.
#include "climate_maps.h"
#include "itu_table.h"
#include "test_base.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

using testing_support::ItuRow;
using testing_support::ItuTable;
using testing_support::ReadItuTable;

// The workbook's R_p solves step 5 of P.837-7 Annex 1 only until P(R > R_p)
// is within 1e-5 of p (its residual is below that at every row; ours is at
// the last bit), so R_p is held to 1e-5 of its value.
constexpr double kWorkbookSolverTolerance = 1e-5;

std::string Text(double v) {
    std::array<char, 32> text{};
    return std::isnan(v)
               ? "NaN"
               : std::string(text.data(), std::to_chars(text.data(), text.data() + 32, v).ptr);
}

std::string Month(int m) {
    return (m < 10 ? "0" : "") + std::to_string(m);
}

// Half a unit of the value's last printed decimal, and a few parts in 1e14 for
// the rounding of the arithmetic: the printed digits.
double PrintedTolerance(double x) {
    for (int decimals = 0; decimals <= 17 && x != 0.0; ++decimals) {
        std::array<char, 64> text{};
        const char* end = std::to_chars(text.data(), text.data() + text.size(), x,
                                        std::chars_format::fixed, decimals)
                              .ptr;
        double back = 0.0;
        std::from_chars(text.data(), end, back);
        if (back == x) {
            return 0.5 * std::pow(10.0, -decimals) + 1e-14 * std::fabs(x);
        }
    }
    return 1e-12;
}

// ITU's maps are never in the repository: $QUILLSTONE_ITU_MAPS, else
// shared/itu/maps beside the repository.
std::string MapsPath() {
    const char* env = std::getenv("QUILLSTONE_ITU_MAPS");
    return env != nullptr && *env != '\0' ? env : ITU_TABLE_DIR "/../../../../shared/itu/maps";
}

MapFolder* SharedMaps() {
    static const std::unique_ptr<MapFolder> maps = std::filesystem::is_directory(MapsPath())
                                                       ? std::make_unique<MapFolder>(MapsPath())
                                                       : nullptr;
    return maps.get();
}

using Model = std::function<MapValue(MapFolder&, const ItuRow&)>;

// lookup(maps, lat, lon, the row's `columns`...).
template <typename Lookup, typename... Columns> Model At(Lookup lookup, Columns... columns) {
    return
        [=](MapFolder& m, const ItuRow& v) { return lookup(m, v("lat"), v("lon"), v(columns)...); };
}

template <CloudMaps which> MapValue Cloud(MapFolder& m, double lat, double lon, double p) {
    return CloudLiquidWater(m, lat, lon, p, which);
}

struct Validation {
    std::string name;
    const char* file;
    std::size_t rows;
    std::string column;
    Model model;
    double relative = 0.0; // 0: to the printed digits
    double offset = 0.0;   // added to the column: 273.15 where it holds degC, the model K
};

std::vector<Validation> Validations() {
    const char* rain = "ITURP837-7_rainfall_rate.csv";
    const char* temperature = "ITURP1510-1_temperature.csv";
    const char* height = "ITURP839-4_rain_height.csv";
    std::vector<Validation> all{
        {"IsothermHeight", height, 8, "h0", At(IsothermHeight)},
        {"RainHeight", height, 8, "hr", At(RainHeight)},
        {"AnnualTemperature", temperature, 15, "T", At(SurfaceTemperature)},
        {"Topography", "ITURP1511-1_topographic_altitude.csv", 8, "hs", At(TopographicHeight)},
        {"WetRefractivity", "ITURP453-14_Nwet.csv", 8, "Nwet", At(WetRefractivity, "p")},
        {"CloudLiquidP840_8", "ITURP840-8_columnar_content_reduced_liquid.csv", 64, "Lred",
         At(Cloud<CloudMaps::P840_8>, "p")},
        {"CloudLiquidP840_9", "ITURP840-9_columnar_content_reduced_liquid.csv", 36, "L",
         At(Cloud<CloudMaps::P840_9>, "p")},
        // The L of P.840-9's slant-path cloud loss rows (its K_L, from another
        // permittivity of water than P.840-8's, is not the cloud model's).
        {"CloudLiquidOfAttenuationP840_9", "ITURP840-9_cloud_attenuation.csv", 32, "L",
         At(Cloud<CloudMaps::P840_9>, "p"), 1e-12},
        {"VapourDensity", "ITURP836-6_surface_water_vapour_density_annual.csv", 32, "rho",
         At(SurfaceVapourDensity, "p", "alt")},
        {"ColumnarVapour", "ITURP836-6_total_water_vapour_content_annual.csv", 32, "V",
         At(ColumnarVapour, "p", "alt")},
        {"RainProbability", rain, 40, "P0", At(RainProbability)},
        {"RainRate", rain, 40, "Rp", At(RainRate, "p"), kWorkbookSolverTolerance},
        // Annex 1's R0.01: the R001 map is not among the shared maps.
        {"RainRate001", "ITURP837-7_rainfall_rate_R001.csv", 8, "Rp_full_method", At(RainRate001),
         kWorkbookSolverTolerance},
    };
    for (int month = 1; month <= 12; ++month) {
        const auto in = [month](auto lookup) {
            return At([=](MapFolder& m, double a, double b) { return lookup(m, a, b, month); });
        };
        const std::string mm = Month(month);
        all.push_back(
            {"MonthlyTemperature" + mm, temperature, 15, "T_" + mm, in(MonthlySurfaceTemperature)});
        all.push_back({"MonthlyRainfall" + mm, rain, 40, "MT_" + mm, in(MonthlyRainfall)});
        all.push_back({"RainMonthTemperature" + mm, rain, 40, "T_" + mm,
                       in(MonthlySurfaceTemperature), 0.0, 273.15});
    }
    return all;
}

class ClimateMapsValidation : public testing::TestWithParam<Validation> {};

TEST_P(ClimateMapsValidation, MatchesEveryRow) {
    MapFolder* maps = SharedMaps();
    if (maps == nullptr) {
        GTEST_SKIP() << "no ITU-R maps at " << MapsPath() << " (set QUILLSTONE_ITU_MAPS)";
    }
    const Validation& c = GetParam();
    const ItuTable table = ReadItuTable(c.file);
    ASSERT_EQ(table.rows.size(), c.rows) << c.file;
    for (std::size_t i = 0; i < c.rows; ++i) {
        const ItuRow row{table, table.rows[i]};
        const double printed = row(c.column);
        const double expected = printed + c.offset;
        const MapValue got = c.model(*maps, row);
        ASSERT_TRUE(got) << got.error;
        EXPECT_NEAR(got.value, expected,
                    c.relative > 0.0 ? c.relative * std::fabs(expected)
                                     : PrintedTolerance(printed) + 1e-14 * c.offset)
            << c.file << " row " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ClimateMapsValidation, testing::ValuesIn(Validations()),
                         [](const auto& info) { return info.param.name; });

// The table's MT and T columns into steps 2 to 5, no map needed.
TEST(RainAnnex1, StepsTwoToFiveMatchEveryRowFromTheTablesInputs) {
    const ItuTable table = ReadItuTable("ITURP837-7_rainfall_rate.csv");
    ASSERT_EQ(table.rows.size(), 40u);
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const ItuRow row{table, table.rows[i]};
        std::array<double, 12> totalMm{};
        std::array<double, 12> temperatureK{};
        for (std::size_t m = 0; m < 12; ++m) {
            totalMm[m] = row("MT_" + Month(static_cast<int>(m) + 1));
            temperatureK[m] = row("T_" + Month(static_cast<int>(m) + 1)) + 273.15; // from degC
        }
        const MonthlyRain rain = MonthlyRainStatistics(totalMm, temperatureK);
        for (std::size_t m = 0; m < 12; ++m) {
            const double expected = row("r_" + Month(static_cast<int>(m) + 1));
            EXPECT_NEAR(rain.rateMmH[m], expected, PrintedTolerance(expected)) << i << " " << m;
        }
        EXPECT_NEAR(rain.annualProbabilityPercent, row("P0"), PrintedTolerance(row("P0"))) << i;
        EXPECT_NEAR(RainRateExceeded(rain, row("p")), row("Rp"),
                    kWorkbookSolverTolerance * row("Rp"))
            << i;
    }
}

TEST(RainAnnex1, HandWorkedMonths) {
    std::array<double, 12> totalMm{};
    std::array<double, 12> temperatureK{};
    temperatureK.fill(263.15); // -10 degC: r = 0.5874 mm/h
    totalMm[1] = 10.0;         // February: P0 = 100 * 10 / (24 * 28.25 * 0.5874) = 2.5109402 %
    MonthlyRain rain = MonthlyRainStatistics(totalMm, temperatureK);
    EXPECT_DOUBLE_EQ(rain.rateMmH[1], 0.5874);
    EXPECT_NEAR(rain.probabilityPercent[1], 2.5109402, 1e-7);
    EXPECT_NEAR(rain.annualProbabilityPercent, 28.25 * 2.5109402 / 365.25, 1e-8);
    // One month: p = w Q((ln R + 0.7938 - ln r) / 1.26), w = N P0 / 365.25. At p = w / 2,
    // R = 0.5874 e^-0.7938; at p = w Q(1) = 0.158655 w, R = 0.5874 e^(1.26 - 0.7938).
    const double w = rain.annualProbabilityPercent;
    EXPECT_NEAR(RainRateExceeded(rain, w / 2.0), 0.5874 * std::exp(-0.7938), 1e-12);
    EXPECT_NEAR(RainRateExceeded(rain, 0.15865525393145705 * w), 0.5874 * std::exp(1.26 - 0.7938),
                1e-12);
    for (const double p : {w, 50.0, 100.0}) {
        EXPECT_EQ(RainRateExceeded(rain, p), 0.0) << "p at or above P0: " << p;
    }
    for (const double p : {0.0, -1.0, 100.5, std::nan("")}) {
        EXPECT_TRUE(std::isnan(RainRateExceeded(rain, p))) << p;
    }
    // 20 degC: r = 0.5874 e^(0.0883 * 20); a wet March above 70 % is held at 70 %,
    // r = 100 * 5000 / (70 * 24 * 31) = 9.6006144 mm/h.
    temperatureK[2] = temperatureK[3] = 293.15;
    totalMm[2] = 5000.0;
    totalMm[3] = 50.0;
    rain = MonthlyRainStatistics(totalMm, temperatureK);
    EXPECT_NEAR(rain.rateMmH[3], 0.5874 * std::exp(1.766), 1e-12);
    EXPECT_DOUBLE_EQ(rain.probabilityPercent[2], 70.0);
    EXPECT_NEAR(rain.rateMmH[2], 9.6006144, 1e-7);
}

// Small maps: 5 x 5, latitudes 90..-90 every 45 (north to south), longitudes
// 0..360 every 90 with 360 repeating 0, as ITU lays out P.839-4.
std::string GridText(const std::function<double(int, int)>& value) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            text += Text(value(i, j % 4)) + (j < 4 ? " " : "\n");
        }
    }
    return text;
}

std::string Flat(double v) {
    return GridText([v](int, int) { return v; });
}

const std::string kLatText = GridText([](int i, int) { return 90.0 - 45.0 * i; });
const std::string kLonText = "0 90 180 270 360\n0 90 180 270 360\n0 90 180 270 360\n"
                             "0 90 180 270 360\n0 90 180 270 360\n";
// h0 = i + j / 4; at 22.5 N 45 E (R 1.5, C 0.5): (1 + 2 + 1.25 + 2.25) / 4 = 1.625 km.
const std::string kH0Text = GridText([](int i, int j) { return i + 0.25 * j; });

struct Maps {
    testing_support::TempDir base;
    // base/folder/name; gzip-compressed where the name ends in .gz, unless
    // `text` already is the file's bytes.
    void put(const std::string& folder, const std::string& name, const std::string& text,
             bool bytes = false) const {
        std::filesystem::create_directories(base.file(folder));
        const std::string path = base.file(folder + "/" + name);
        if (bytes || !(name.ends_with(".gz") || name.ends_with(".GZ"))) {
            testing_support::WriteAll(path, text);
            return;
        }
        gzFile file = gzopen(path.c_str(), "wb");
        gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
        gzclose(file);
    }
    void grid(const std::string& folder, const std::string& lat, const std::string& lon) const {
        put(folder, lat, kLatText);
        put(folder, lon, kLonText);
    }
};

TEST(ClimateMaps, FilesByItuNamesInAnyCasePlainOrCompressed) {
    const struct {
        const char *folder, *lat, *lon, *h0;
    } cases[] = {{"P839-4", "Lat.txt", "Lon.txt", "h0.txt"},
                 {"p839-4", "LAT.TXT.gz", "lon.txt.GZ", "H0.TXT.gz"}};
    for (const auto& c : cases) {
        Maps maps;
        maps.put(c.folder, c.lat, kLatText);
        maps.put(c.folder, c.lon, kLonText);
        maps.put(c.folder, c.h0, kH0Text);
        MapFolder folder(maps.base.path());
        const MapValue h0 = IsothermHeight(folder, 22.5, 45.0);
        EXPECT_NEAR(h0.value, 1.625, 1e-12) << c.h0 << h0.error;
        EXPECT_EQ(h0.source, "ITU-R P.839-4 at 22.5\u00B0N 45\u00B0E");
        const MapValue hr = RainHeight(folder, 22.5, 45.0);
        EXPECT_NEAR(hr.value, 1.625 + 0.36, 1e-12);
        EXPECT_EQ(hr.source, "ITU-R P.839-4 (h0 + 0.36 km) at 22.5\u00B0N 45\u00B0E");
    }
    Maps both;
    both.grid("P839-4", "Lat.txt", "Lon.txt");
    both.put("P839-4", "h0.txt", kH0Text);
    both.put("P839-4", "h0.txt.gz", Flat(100.0));
    MapFolder folder(both.base.path());
    EXPECT_NEAR(IsothermHeight(folder, 22.5, 45.0).value, 1.625, 1e-12) << "plain first";
}

TEST(ClimateMaps, PlacesWrappedOrRefused) {
    Maps maps;
    maps.grid("P839-4", "Lat.txt", "Lon.txt");
    maps.put("P839-4", "h0.txt", kH0Text);
    MapFolder folder(maps.base.path());
    const struct {
        double lat, lon;
        const char* place; // "" where refused
    } cases[] = {
        {22.5, 405.0, "22.5\u00B0N 45\u00B0E"},
        {22.5, -315.0, "22.5\u00B0N 45\u00B0E"},
        {-22.5, -45.0, "22.5\u00B0S 45\u00B0W"},
        {45.07, 7.69, "45.07\u00B0N 7.69\u00B0E"},
        {90.0, 180.0, "90\u00B0N 180\u00B0E"},
        {-90.0, -180.0, "90\u00B0S 180\u00B0E"},
        {90.001, 0.0, ""},
        {-91.0, 0.0, ""},
        {std::nan(""), 0.0, ""},
        {0.0, std::numeric_limits<double>::infinity(), ""},
    };
    for (const auto& c : cases) {
        const MapValue h0 = IsothermHeight(folder, c.lat, c.lon);
        EXPECT_EQ(static_cast<bool>(h0), *c.place != '\0') << c.lat << " " << c.lon;
        if (*c.place != '\0') {
            EXPECT_EQ(h0.source, std::string("ITU-R P.839-4 at ") + c.place);
        } else {
            EXPECT_TRUE(std::isnan(h0.value));
            EXPECT_NE(h0.error.find("latitude"), std::string::npos) << h0.error;
        }
    }
    EXPECT_NEAR(IsothermHeight(folder, 22.5, 405.0).value, 1.625, 1e-12);
}

TEST(ClimateMaps, MissingOrDamagedFilesNamed) {
    Maps packed;
    packed.put("P839-4", "h0.txt.gz", kH0Text);
    std::string cut = packed.base.read("P839-4/h0.txt.gz");
    cut.resize(cut.size() - 12);
    std::string latWithNaN = kLatText;
    latWithNaN.replace(latWithNaN.find("45"), 2, "NaN");
    const struct {
        const char *what, *file;
        std::string text;
        const char* error;
    } cases[] = {
        {"missing", "other.txt", kH0Text, "missing map P839-4/h0.txt (plain or .gz) in "},
        {"a missing row", "h0.txt", kH0Text.substr(0, kH0Text.rfind('\n', kH0Text.size() - 2)),
         "h0.txt: 4 rows of 5 values where Lat.txt and Lon.txt give 5 x 5"},
        {"a short row", "h0.txt", "1 1 1 1 1\n1 1 1 1\n", "h0.txt: line 2 has 4 values"},
        {"a long row", "h0.txt", "1 1 1 1 1\n1 1 1 1 1 1\n", "h0.txt: line 2 has 6 values"},
        {"text for a number", "h0.txt", "1 1 1 1 1\n1 x", "h0.txt: line 2, value 2: \"x\" is not"},
        {"NaN for a latitude", "Lat.txt", latWithNaN, "Lat.txt: line 2: NaN where a latitude"},
        {"a truncated gzip", "h0.txt.gz", cut, "h0.txt.gz: damaged or cut-short compressed data"},
    };
    for (const auto& c : cases) {
        Maps maps;
        maps.grid("P839-4", "Lat.txt", "Lon.txt");
        maps.put("P839-4", c.file, c.text, true);
        if (std::string(c.file) == "Lat.txt") {
            maps.put("P839-4", "h0.txt", kH0Text);
        }
        MapFolder folder(maps.base.path());
        for (int twice = 0; twice < 2; ++twice) { // the second answer is the kept one
            const MapValue h0 = IsothermHeight(folder, 22.5, 45.0);
            EXPECT_NE(h0.error.find(c.error), std::string::npos) << c.what << ": " << h0.error;
            EXPECT_EQ(h0.error.find('\n'), std::string::npos) << c.what;
        }
    }
    MapFolder none(packed.base.path() + "/none");
    EXPECT_NE(IsothermHeight(none, 0, 0)
                  .error.find("distributes it with Recommendation ITU-R "
                              "P.839-4"),
              std::string::npos);
}

TEST(ClimateMaps, NoValueWhereTheMapHasNone) {
    Maps maps;
    maps.grid("P839-4", "Lat.txt", "Lon.txt");
    maps.put("P839-4", "h0.txt",
             GridText([](int i, int j) { return i == 2 && j == 1 ? std::nan("") : 1.0; }));
    MapFolder folder(maps.base.path());
    EXPECT_EQ(IsothermHeight(folder, 22.5, 45.0).error,
              "ITU-R P.839-4 map h0.txt has no value at 22.5\u00B0N 45\u00B0E");
    EXPECT_EQ(IsothermHeight(folder, 45.0, 90.0).value, 1.0) << "the grid point beside it";
}

TEST(ClimateMaps, CloudLiquidSemiLogInPBetweenTheTwoLevelsAroundIt) {
    Maps maps;
    maps.grid("P840-8", "ESALAT1dot125.txt", "ESALON1dot125.txt");
    maps.put("P840-8", "Lred_1_v4.txt", Flat(2.0));
    maps.put("P840-8", "Lred_2_v4.txt", Flat(1.0));
    MapFolder folder(maps.base.path());
    const auto lred = [&](double p) { return CloudLiquidWater(folder, 10.0, 20.0, p); };
    EXPECT_EQ(lred(1.0).value, 2.0);
    EXPECT_EQ(lred(2.0).value, 1.0);
    EXPECT_NEAR(lred(1.5).value, 2.0 - std::log(1.5) / std::log(2.0), 1e-12);
    EXPECT_EQ(lred(1.5).source, "ITU-R P.840-8 at 10\u00B0N 20\u00B0E");
    EXPECT_NE(lred(0.05).error.find("p = 0.05 % is outside 0.1 % to 99 %"), std::string::npos);
    EXPECT_NE(lred(2.5).error.find("missing map P840-8/Lred_3_v4.txt"), std::string::npos);

    maps.grid("P840-9", "lat.txt", "lon.txt");
    maps.put("P840-9", "L_001.TXT", Flat(5.0));
    MapFolder newer(maps.base.path());
    EXPECT_EQ(CloudLiquidWater(newer, 10.0, 20.0, 0.01).value, 5.0);
    EXPECT_EQ(CloudLiquidWater(newer, 10.0, 20.0, 0.01).source,
              "ITU-R P.840-9 at 10\u00B0N 20\u00B0E");
    EXPECT_EQ(CloudLiquidWater(newer, 10.0, 20.0, 1.0, CloudMaps::P840_8).value, 2.0);
}

TEST(ClimateMaps, VapourScaledFromEachGridPointsHeight) {
    // rho 10 g/m3 and V 40 kg/m2 everywhere, VSCH 2 km, grid-point heights 0.1 i km:
    // at 22.5 N 45 E the points are at 0.1 and 0.2 km, the place at 0.15 km (bicubic).
    Maps maps;
    maps.grid("P836-6", "LAT1dot125.txt", "LON1dot125.txt");
    maps.put("P836-6", "RHO_5_v4.txt", Flat(10.0));
    maps.put("P836-6", "V_5_v4.txt", Flat(40.0));
    maps.put("P836-6", "VSCH_5_v4.txt", Flat(2.0));
    maps.grid("P1511-1", "TOPOLAT.TXT", "TOPOLON.TXT");
    maps.put("P1511-1", "TOPO_0DOT5.TXT", GridText([](int i, int) { return 0.1 * i; }));
    MapFolder folder(maps.base.path());
    const double at1Km = 5.0 * (std::exp(-0.45) + std::exp(-0.4)); // X exp(-(alt - alt_i) / 2)
    EXPECT_NEAR(SurfaceVapourDensity(folder, 22.5, 45.0, 5.0, 1.0).value, at1Km, 1e-12);
    EXPECT_NEAR(ColumnarVapour(folder, 22.5, 45.0, 5.0, 1.0).value, 4.0 * at1Km, 1e-12);
    EXPECT_NEAR(SurfaceVapourDensity(folder, 22.5, 45.0, 5.0).value, 10.0 * std::cosh(0.025),
                1e-12);
    EXPECT_EQ(SurfaceVapourDensity(folder, 22.5, 45.0, 5.0, 1.0).source,
              "ITU-R P.836-6 at 22.5\u00B0N 45\u00B0E, station height 1 km");
    EXPECT_NEAR(TopographicHeight(folder, 22.5, 45.0).value, 0.15, 1e-12);
}

TEST(ClimateMaps, WhatALookupKeepsBelongsToItsFolderPlaceAndHeight) {
    // Lookups keep the last place's text, the maps found and the station's
    // source per thread: folders with the same files, places and heights
    // taken in turn must each still give their own.
    const auto folderOf = [](double h0, double rho) {
        auto maps = std::make_unique<Maps>();
        maps->grid("P839-4", "Lat.txt", "Lon.txt");
        maps->put("P839-4", "h0.txt", Flat(h0));
        maps->grid("P836-6", "LAT1dot125.txt", "LON1dot125.txt");
        maps->put("P836-6", "RHO_5_v4.txt", Flat(rho));
        maps->put("P836-6", "VSCH_5_v4.txt", Flat(2.0));
        maps->grid("P1511-1", "TOPOLAT.TXT", "TOPOLON.TXT");
        maps->put("P1511-1", "TOPO_0DOT5.TXT", Flat(0.0));
        return maps;
    };
    const std::unique_ptr<Maps> oneKm = folderOf(1.0, 10.0);
    const std::unique_ptr<Maps> twoKm = folderOf(2.0, 20.0);
    auto first = std::make_unique<MapFolder>(oneKm->base.path());
    MapFolder second(twoKm->base.path());
    struct Case {
        MapFolder* folder;
        double latDeg;
        double lonDeg;
        double stationKm;
        double h0;
        double rho;
        const char* place;
    };
    const std::vector<Case> cases{
        {first.get(), 10.0, 20.0, 0.0, 1.0, 10.0, "10\u00B0N 20\u00B0E"},
        {&second, 10.0, 20.0, 0.0, 2.0, 20.0, "10\u00B0N 20\u00B0E"},
        {first.get(), -10.0, 20.0, 0.0, 1.0, 10.0, "10\u00B0S 20\u00B0E"},
        {first.get(), -10.0, -20.0, 2.0, 1.0, 10.0 * std::exp(-1.0), "10\u00B0S 20\u00B0W"},
        {&second, -10.0, -20.0, 2.0, 2.0, 20.0 * std::exp(-1.0), "10\u00B0S 20\u00B0W"},
        {&second, -10.0, 340.0, 0.0, 2.0, 20.0, "10\u00B0S 20\u00B0W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        const MapValue h0 = IsothermHeight(*c.folder, c.latDeg, c.lonDeg);
        EXPECT_EQ(h0.value, c.h0);
        EXPECT_EQ(h0.source, std::string("ITU-R P.839-4 at ") + c.place);
        const MapValue rho = SurfaceVapourDensity(*c.folder, c.latDeg, c.lonDeg, 5.0, c.stationKm);
        EXPECT_NEAR(rho.value, c.rho, 1e-12);
        EXPECT_EQ(rho.source, std::string("ITU-R P.836-6 at ") + c.place + ", station height " +
                                  (c.stationKm == 0.0 ? "0" : "2") + " km");
    }
    // A folder made after another is gone, with other values in the same files.
    first.reset();
    const std::unique_ptr<Maps> threeKm = folderOf(3.0, 30.0);
    MapFolder third(threeKm->base.path());
    EXPECT_EQ(IsothermHeight(third, 10.0, 20.0).value, 3.0);
    EXPECT_NEAR(SurfaceVapourDensity(third, 10.0, 20.0, 5.0, 0.0).value, 30.0, 1e-12);
}

TEST(ClimateMaps, RainFromTheMonthlyMapsAndTheR001MapWherePresent) {
    // Each month's MT and T the same everywhere: those of 51.5 N 0.14 W in the table.
    const ItuTable table = ReadItuTable("ITURP837-7_rainfall_rate.csv");
    const ItuRow london{table, table.rows.at(35)};
    ASSERT_EQ(london("lat"), 51.5);
    Maps maps;
    maps.grid("P837-7", "LAT_MT.TXT", "LON_MT.TXT");
    maps.grid("P1510-1", "LAT_T.TXT", "LON_T.TXT");
    for (int m = 1; m <= 12; ++m) {
        maps.put("P837-7", "MT_Month" + Month(m) + ".TXT", Flat(london("MT_" + Month(m))));
        maps.put("P1510-1", "T_Month" + Month(m) + ".TXT", Flat(london("T_" + Month(m)) + 273.15));
    }
    MapFolder folder(maps.base.path());
    for (int m = 1; m <= 12; ++m) {
        EXPECT_DOUBLE_EQ(MonthlyRainfall(folder, 1.0, 2.0, m).value, london("MT_" + Month(m))) << m;
    }
    EXPECT_NEAR(RainProbability(folder, -30.0, 100.0).value, london("P0"),
                PrintedTolerance(london("P0")));
    for (std::size_t i = 35; i < 40; ++i) {
        const ItuRow row{table, table.rows[i]};
        EXPECT_NEAR(RainRate(folder, 0.0, 0.0, row("p")).value, row("Rp"),
                    kWorkbookSolverTolerance * row("Rp"));
    }
    EXPECT_EQ(RainRate(folder, 51.5, -0.14, 0.1).source,
              "ITU-R P.837-7 Annex 1 at 51.5\u00B0N 0.14\u00B0W");
    EXPECT_EQ(RainRate001(folder, 0.0, 0.0).value, RainRate(folder, 0.0, 0.0, 0.01).value);
    EXPECT_NE(MonthlyRainfall(folder, 0.0, 0.0, 13).error.find("month 13"), std::string::npos);

    maps.grid("P837-7", "LAT_R001.TXT", "LON_R001.TXT");
    maps.put("P837-7", "R001.TXT", Flat(42.0));
    MapFolder withMap(maps.base.path());
    EXPECT_EQ(RainRate001(withMap, 0.0, 0.0).value, 42.0);
    EXPECT_EQ(RainRate001(withMap, 0.0, 0.0).source, "ITU-R P.837-7 map R001 at 0\u00B0N 0\u00B0E");
}

} // namespace

namespace {

// Each lookup opens only the maps it needs: the months of P.837-7 and
// P.1510-1 for the rain, the two levels around p of a map family.
TEST(ClimateMaps, OnlyTheMapsALookupNeedsAreOpened) {
    if (!std::filesystem::is_directory(MapsPath())) {
        GTEST_SKIP() << "no ITU-R maps at " << MapsPath() << " (set QUILLSTONE_ITU_MAPS)";
    }
    const auto months = [](const char* folder, const char* prefix) {
        std::vector<std::string> names;
        for (int m = 1; m <= 12; ++m) {
            names.push_back(std::string(folder) + "/" + prefix + Month(m) + ".TXT.gz");
        }
        return names;
    };
    std::vector<std::string> rain = months("P837-7", "MT_Month");
    const std::vector<std::string> temperature = months("P1510-1", "T_Month");
    rain.insert(rain.end(), temperature.begin(), temperature.end());
    const struct {
        const char* what;
        std::function<MapValue(MapFolder&)> lookup;
        std::vector<std::string> opened;
    } cases[] = {
        {"rain rate", [](MapFolder& m) { return RainRate(m, 45.07, 7.69, 0.1); }, rain},
        {"cloud between two levels",
         [](MapFolder& m) { return CloudLiquidWater(m, 45.07, 7.69, 0.15, CloudMaps::P840_8); },
         {"P840-8/Lred_01_v4.txt.gz", "P840-8/Lred_02_v4.txt.gz"}},
        {"cloud at a level",
         [](MapFolder& m) { return CloudLiquidWater(m, 45.07, 7.69, 1.0, CloudMaps::P840_9); },
         {"P840-9/L_1.TXT.gz"}},
        {"vapour at the station's height",
         [](MapFolder& m) { return SurfaceVapourDensity(m, 45.07, 7.69, 2.0, 0.3); },
         {"P1511-1/TOPO_0DOT5.TXT.gz", "P836-6/RHO_2_v4.txt.gz", "P836-6/VSCH_2_v4.txt.gz"}},
        {"isotherm",
         [](MapFolder& m) { return IsothermHeight(m, 45.07, 7.69); },
         {"P839-4/h0.txt.gz"}},
    };
    for (const auto& c : cases) {
        MapFolder maps(MapsPath());
        const MapValue value = c.lookup(maps);
        ASSERT_TRUE(value) << c.what << ": " << value.error;
        EXPECT_EQ(maps.opened(), c.opened) << c.what;
        c.lookup(maps);
        EXPECT_EQ(maps.opened(), c.opened) << c.what << ": each map opened once";
    }
}

} // namespace

namespace {

// The status of each file a lookup can read, in small folders: a missing
// file, a damaged one (wrong shape, text for a number, cut-short gzip, a
// latitude file out of step) and the rest found, one line each.
TEST(ClimateMaps, StatusOfEachFile) {
    std::string cut;
    {
        Maps packed;
        packed.put("P839-4", "h0.txt.gz", kH0Text);
        cut = packed.base.read("P839-4/h0.txt.gz");
        cut.resize(cut.size() - 12);
    }
    std::string latWithNaN = kLatText;
    latWithNaN.replace(latWithNaN.find("45"), 2, "NaN");
    const struct {
        const char* what;
        const char* file; // written in P839-4 in place of the good one
        std::string text;
        const char* line; // the start of the line of P839-4's h0.txt, or Lat.txt
    } cases[] = {
        {"all found", "h0.txt", kH0Text, "P839-4/h0.txt: found"},
        {"missing", "other.txt", kH0Text, "P839-4/h0.txt: missing (ITU-R P.839-4)"},
        {"a short row", "h0.txt", "1 1 1 1 1\n1 1 1 1\n", "P839-4/h0.txt: damaged ("},
        {"wrong shape", "h0.txt", "1 1 1\n", "P839-4/h0.txt: damaged ("},
        {"text for a number", "h0.txt", "1 1 1 1 1\n1 x", "P839-4/h0.txt: damaged ("},
        {"a truncated gzip", "h0.txt.gz", cut, "P839-4/h0.txt: damaged ("},
        {"NaN for a latitude", "Lat.txt", latWithNaN, "P839-4/Lat.txt: damaged ("},
    };
    for (const auto& c : cases) {
        Maps maps;
        maps.grid("P839-4", "Lat.txt", "Lon.txt");
        if (std::string(c.file) == "Lat.txt") {
            maps.put("P839-4", "h0.txt", kH0Text);
        }
        maps.put("P839-4", c.file, c.text, true);
        MapFolder folder(maps.base.path());
        const std::vector<MapFileStatus> files = MapFilesStatus(folder);
        std::vector<std::string> lines;
        for (const MapFileStatus& f : files) {
            lines.push_back(f.line());
        }
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind(std::string(c.line).substr(0, std::string(c.line).find(':')), 0) == 0;
        });
        ASSERT_NE(at, lines.end()) << c.what;
        EXPECT_EQ(at->rfind(c.line, 0), 0u) << c.what << ": " << *at;
        EXPECT_EQ(at->find('\n'), std::string::npos) << c.what;
        // Everything else of P.839-4 is found; every other folder is missing.
        for (const MapFileStatus& f : files) {
            if (f.folder != "P839-4") {
                EXPECT_EQ(f.state, MapFileStatus::State::Missing) << f.line();
                EXPECT_EQ(f.detail, "ITU-R P." + f.folder.substr(1)) << f.line();
            }
        }
        const long found = std::count_if(files.begin(), files.end(), [](const MapFileStatus& f) {
            return f.state == MapFileStatus::State::Found;
        });
        EXPECT_EQ(found, std::string(c.what) == "all found" ? 3 : 2) << c.what;
    }
    Maps maps;
    MapFolder empty(maps.base.path());
    const std::vector<MapFileStatus> files = MapFilesStatus(empty);
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.front().line(), "P837-7/LAT_MT.TXT: missing (ITU-R P.837-7)");
    EXPECT_EQ(files.back().line(), "P1511-1/TOPO_0DOT5.TXT: missing (ITU-R P.1511-1)");
    const auto r001 = std::find_if(files.begin(), files.end(),
                                   [](const MapFileStatus& f) { return f.name == "R001.TXT"; });
    ASSERT_NE(r001, files.end());
    EXPECT_EQ(r001->line(), "P837-7/R001.TXT: missing (ITU-R P.837-7, optional)");
}

} // namespace
