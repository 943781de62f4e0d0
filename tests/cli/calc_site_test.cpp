// A site on the calculator's command line: --station and a satellite give
// the elevation and Range by themselves, in the text and in a "site" member
// of the JSON, and the look angles' refusals are one line with exit 2.
#include "cli_test_support.h"

#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kSite{"--path",         "earth-space",           "--station",
                                     "45.07,7.69,240", "--satellite-longitude", "13",
                                     "Freq=20GHz"};

std::vector<std::string> with(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

QJsonObject jsonOf(const std::vector<std::string>& args) {
    const JobRun run = RunJob(with(args, {"--json"}));
    EXPECT_EQ(run.status, kExitDone) << (run.messages.empty() ? "" : run.messages.front());
    return ParseJson(run.out).object();
}

TEST(CalcSite, JsonHasTheLookAnglesAndTheAtmosphereUsesThem) {
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

TEST(CalcSite, DegreesMinutesSecondsGiveTheSameSite) {
    const QJsonObject decimal = jsonOf(kSite)["site"].toObject();
    const QJsonObject dms = jsonOf({"--path", "earth-space", "--station",
                                    "45d4m12sN,7\xC2\xB0"
                                    "41'24\"E,240m",
                                    "--satellite-longitude", "13E", "Freq=20GHz"})["site"]
                                .toObject();
    EXPECT_NEAR(dms["elevationDeg"].toDouble(), decimal["elevationDeg"].toDouble(), 1e-9);
    EXPECT_NEAR(dms["azimuthDeg"].toDouble(), decimal["azimuthDeg"].toDouble(), 1e-9);
}

TEST(CalcSite, AnySatelliteByItsSubSatellitePoint) {
    const QJsonObject site = jsonOf({"--path", "earth-space", "--station", "45.07,7.69",
                                     "--satellite", "45.07,7.69,550", "Freq=2GHz"})["site"]
                                 .toObject();
    EXPECT_NEAR(site["elevationDeg"].toDouble(), 90.0, 1e-9);
    EXPECT_NEAR(site["slantRangeKm"].toDouble(), 550.0, 1e-6);
}

TEST(CalcSite, RefusalsAreOneLine) {
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

} // namespace
