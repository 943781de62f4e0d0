// A site on the calculator's command line: --station and a satellite give
// the elevation and Range by themselves, in the text and in a "site" member
// of the JSON, and the look angles' refusals are one line with exit 2.
#include "cli_test_support.h"
#include "climate_maps.h"
#include "earth_space_atmosphere.h"
#include "look_angles.h"
#include "site_climate.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::vector<std::string> kSite{"--path",         "earth-space",           "--station",
                                     "45.07,7.69,240", "--satellite-longitude", "13",
                                     "Freq=20GHz"};

std::vector<std::string> with(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// --itu-maps names the process's folder of maps: each test starts without
// one named (another test's parse may have named one).
class CalcSite : public testing::Test {
  protected:
    void SetUp() override { SetItuMapsFolder({}); }
    void TearDown() override { SetItuMapsFolder({}); }
};

QJsonObject jsonOf(const std::vector<std::string>& args) {
    const JobRun run = RunJob(with(args, {"--json"}));
    EXPECT_EQ(run.status, kExitDone) << (run.messages.empty() ? "" : run.messages.front());
    return ParseJson(run.out).object();
}

TEST_F(CalcSite, JsonHasTheLookAnglesAndTheAtmosphereUsesThem) {
    const QJsonObject json = jsonOf(kSite);
    const QJsonObject site = json["site"].toObject();
    ASSERT_FALSE(site.isEmpty());
    EXPECT_DOUBLE_EQ(site["stationLatitudeDeg"].toDouble(), 45.07);
    EXPECT_DOUBLE_EQ(site["antennaHeightAboveSeaM"].toDouble(), 240.0);
    const double elevation = site["elevationDeg"].toDouble();
    EXPECT_GT(elevation, 35.0);
    EXPECT_LT(elevation, 40.0);
    const QJsonObject atmosphere = json["atmosphere"].toObject();
    EXPECT_DOUBLE_EQ(atmosphere["elevationDeg"].toDouble(), elevation);
    EXPECT_DOUBLE_EQ(atmosphere["slantRangeKm"].toDouble(), site["slantRangeKm"].toDouble());
}

TEST_F(CalcSite, DegreesMinutesSecondsGiveTheSameSite) {
    const QJsonObject decimal = jsonOf(kSite)["site"].toObject();
    const QJsonObject dms = jsonOf({"--path", "earth-space", "--station",
                                    "45d4m12sN,7\xC2\xB0"
                                    "41'24\"E,240m",
                                    "--satellite-longitude", "13E", "Freq=20GHz"})["site"]
                                .toObject();
    EXPECT_NEAR(dms["elevationDeg"].toDouble(), decimal["elevationDeg"].toDouble(), 1e-9);
    EXPECT_NEAR(dms["azimuthDeg"].toDouble(), decimal["azimuthDeg"].toDouble(), 1e-9);
}

TEST_F(CalcSite, AnySatelliteByItsSubSatellitePoint) {
    const QJsonObject site = jsonOf({"--path", "earth-space", "--station", "45.07,7.69",
                                     "--satellite", "45.07,7.69,550", "Freq=2GHz"})["site"]
                                 .toObject();
    EXPECT_NEAR(site["elevationDeg"].toDouble(), 90.0, 1e-9);
    EXPECT_NEAR(site["slantRangeKm"].toDouble(), 550.0, 1e-6);
}

TEST_F(CalcSite, RefusalsAreOneLine) {
    const struct {
        std::vector<std::string> more;
        const char* message;
    } cases[] = {
        {{"--elevation", "30"},
         "--satellite-longitude cannot be combined with --elevation (the look angles give it)"},
        {{"Range=100"},
         "--satellite-longitude sets Range: give Range=value or "
         "--satellite-longitude, not both"},
        {{"--polarization-angle", "20", "--polarization", "h", "--rain-rate", "30"},
         "--polarization-angle cannot be combined with --polarization"},
        {{"--satellite", "0,13,35786"},
         "--satellite cannot be combined with --satellite-longitude"},
    };
    for (const auto& c : cases) {
        const JobRun run = RunJob(with(kSite, c.more));
        EXPECT_EQ(run.status, kExitBadArguments) << c.message;
        EXPECT_EQ(run.out, "");
        ASSERT_EQ(run.messages.size(), 1u) << c.message;
        EXPECT_EQ(run.messages.front(), c.message);
    }
    const struct {
        const char* station;
        const char* message;
    } stations[] = {
        {"45\xC2\xB0"
         "61',7",
         "--station: Station Latitude '45\xC2\xB0"
         "61'': minutes and "
         "seconds must be under 60"},
        {"91,7", "--station: Station Latitude '91' is out of range (-90 to 90 degrees)"},
        {"45,400", "--station: Station Longitude '400' is out of range (-180 to 360 degrees)"},
        {"45", "--station: '45' is not LAT,LON[,HEIGHT]"},
    };
    const JobRun low = RunJob(
        {"--path", "earth-space", "--station", "45.07,7.69", "--satellite-longitude", "100"});
    EXPECT_EQ(low.status, kExitBadArguments);
    ASSERT_EQ(low.messages.size(), 1u);
    EXPECT_EQ(low.messages.front(),
              "the satellite is below the station's horizon (elevation -10.18 degrees)");
    for (const auto& s : stations) {
        const JobRun run = RunJob(
            {"--path", "earth-space", "--station", s.station, "--satellite-longitude", "13"});
        EXPECT_EQ(run.status, kExitBadArguments) << s.station;
        ASSERT_EQ(run.messages.size(), 1u) << s.station;
        EXPECT_EQ(run.messages.front(), s.message);
    }
}

// ITU's maps beside the repository (never in it): the whole of ITU-R
// P.618-13 section 2.5 with nothing typed but the site, the frequency, the
// availability and the dish. The total is the one of the same maps looked up
// here and given to the atmosphere model as typed inputs.
TEST_F(CalcSite, SharedMapsGiveTheWholeAtmosphereWithNothingElseTyped) {
    const std::string dir = SHARED_ITU_MAPS;
    if (!std::filesystem::is_directory(dir)) {
        GTEST_SKIP() << "no ITU-R maps at " << dir;
    }
    const QJsonObject json =
        jsonOf({"--path", "earth-space", "--station", "45.07,7.69", "--satellite-longitude", "13",
                "Freq=20GHz", "--availability", "99.9", "--rx-dish", "1.2", "--itu-maps", dir});
    SetItuMapsFolder({});
    const QJsonObject climate = json["climate"].toObject();
    const struct {
        const char* field;
        const char* recommendation;
    } sources[] = {
        {"stationHeightKm", "ITU-R P.1511-1"}, {"temperatureK", "ITU-R P.1510-1"},
        {"rainRate001MmH", "ITU-R P.837-7"},   {"rainRatePMmH", "ITU-R P.837-7"},
        {"isothermHeightKm", "ITU-R P.839-4"}, {"cloudLiquidKgM2", "ITU-R P.840-8"},
        {"vapourDensityGm3", "ITU-R P.836-6"}, {"vapourContentKgM2", "ITU-R P.836-6"},
        {"wetRefractivity", "ITU-R P.453-14"},
    };
    for (const auto& s : sources) {
        const std::string source = climate[QString(s.field) + "Source"].toString().toStdString();
        EXPECT_EQ(source.rfind(s.recommendation, 0), 0u) << s.field << ": " << source;
        EXPECT_NE(source.find("45.07\u00B0N 7.69\u00B0E"), std::string::npos) << source;
    }
    // p = 0.1 %: the gases and clouds at 1 %, and at p as well.
    EXPECT_TRUE(climate.contains("cloudLiquidKgM2AtP"));
    EXPECT_NE(climate["cloudLiquidKgM2AtP"].toDouble(), climate["cloudLiquidKgM2"].toDouble());

    MapFolder maps(dir);
    const double lat = 45.07;
    const double lon = 7.69;
    const double height = TopographicHeight(maps, lat, lon).value;
    const LookResult look = GeostationaryLookAngles({lat, lon, height}, 13.0);
    ASSERT_TRUE(look);
    EarthSpaceInput in;
    in.freqGHz = 20.0;
    in.elevationDeg = look.angles.elevationDeg;
    in.latitudeDeg = lat;
    in.stationHeightKm = height;
    in.percentOfTime = 100.0 - 99.9;
    in.temperatureK = SurfaceTemperature(maps, lat, lon).value;
    in.vapourDensityGm3 = SurfaceVapourDensity(maps, lat, lon, 1.0, height).value;
    in.columnarVapourKgM2 = ColumnarVapour(maps, lat, lon, 1.0, height).value;
    in.liquidWaterKgM2 = CloudLiquidWater(maps, lat, lon, 1.0, CloudMaps::P840_8).value;
    in.rainRateMmH = RainRate001(maps, lat, lon).value;
    in.isothermHeightKm = IsothermHeight(maps, lat, lon).value;
    in.tiltDeg = 90.0; // the rain's polarization by default: v
    in.wetRefractivity = WetRefractivity(maps, lat, lon).value;
    in.antennaDiameterM = 1.2;
    in.antennaEfficiency = 0.55;
    const std::optional<EarthSpaceResult> expected = EvaluateEarthSpace(in);
    ASSERT_TRUE(expected);
    const QJsonObject atmosphere = json["atmosphere"].toObject();
    EXPECT_NEAR(atmosphere["totalDb"].toDouble(), expected->total, 1e-9);
    EXPECT_GT(atmosphere["rainDb"].toDouble(), 0.0);
    EXPECT_GT(atmosphere["cloudDb"].toDouble(), 0.0);
    EXPECT_GT(atmosphere["scintillationDb"].toDouble(), 0.0);
}

TEST_F(CalcSite, AMissingMapIsOneLineNamingIt) {
    const JobRun run =
        RunJob({"--path", "earth-space", "--station", "45.07,7.69,240", "--satellite-longitude",
                "13", "--itu-maps", "/nonexistent-quillstone-maps"});
    SetItuMapsFolder({});
    EXPECT_EQ(run.status, kExitBadArguments);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages.front().rfind("missing map P1510-1/T_Annual.TXT", 0), 0u)
        << run.messages.front();
    EXPECT_NE(run.messages.front().find("ITU-R P.1510-1"), std::string::npos);
}

} // namespace
