// Terrain profiles from CSV text and files: the forms taken, every refusal
// with its line, the published delta-Bullington profiles, and numbers read
// the same under a decimal-comma locale.
#include "profile_csv.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <string>

namespace {

using testing_support::TempDir;

struct GoodCase {
    const char* name;
    const char* text;
    std::vector<double> distances;
    std::vector<double> heights;
    std::vector<std::string> zones;
};

class GoodProfile : public testing::TestWithParam<GoodCase> {};

TEST_P(GoodProfile, IsReadPointByPoint) {
    const GoodCase c = GetParam();
    std::string error = "stale";
    const std::optional<TerrainProfile> profile = ReadProfileCsv(c.text, error);
    ASSERT_TRUE(profile) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(profile->distanceKm, c.distances);
    EXPECT_EQ(profile->heightM, c.heights);
    EXPECT_EQ(profile->zone, c.zones);
}

INSTANTIATE_TEST_SUITE_P(
    ProfileCsv, GoodProfile,
    testing::Values(
        GoodCase{"Plain", "0,100\n0.5,120.5\n1.25,90\n", {0, 0.5, 1.25}, {100, 120.5, 90}, {}},
        GoodCase{
            "Header", "d_km,h_m\n0,800\n0.05,803\n0.1,798\n", {0, 0.05, 0.1}, {800, 803, 798}, {}},
        GoodCase{"CommentsBlankLinesAndCrLf",
                 "# from the survey\r\n\r\ndistance,height\r\n0,1\r\n  # mid\r\n1,2\r\n\r\n2,3",
                 {0, 1, 2},
                 {1, 2, 3},
                 {}},
        GoodCase{"Zones",
                 "d,h,zone\n0,5,sea\n1, 7 , coast \n2,300,inland\n",
                 {0, 1, 2},
                 {5, 7, 300},
                 {"sea", "coast", "inland"}},
        GoodCase{"Semicolons", "0;10\n1;-20.5\n3;1e3\n", {0, 1, 3}, {10, -20.5, 1000}, {}},
        GoodCase{"Tabs", "km\tm\n0\t10\n1\t20\n2\t30\n", {0, 1, 2}, {10, 20, 30}, {}},
        GoodCase{
            "ByteOrderMarkAndPlusSigns", "\xEF\xBB\xBF+0,+1\n1,2\n2,3\n", {0, 1, 2}, {1, 2, 3}, {}},
        GoodCase{"HeightLimits", "0.5,-500\n1,9000\n2,0\n", {0.5, 1, 2}, {-500, 9000, 0}, {}}),
    [](const testing::TestParamInfo<GoodCase>& info) { return info.param.name; });

struct BadCase {
    const char* name;
    const char* text;
    const char* message; // the whole line, or its start
};

class BadProfile : public testing::TestWithParam<BadCase> {};

TEST_P(BadProfile, IsRefusedNamingItsLine) {
    const BadCase c = GetParam();
    std::string error;
    EXPECT_FALSE(ReadProfileCsv(c.text, error));
    EXPECT_EQ(error.substr(0, std::string(c.message).size()), c.message) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    ProfileCsv, BadProfile,
    testing::Values(
        BadCase{"Empty", "", "the profile has 0 points up to line 0; it needs at least 3"},
        BadCase{"TwoPoints", "d,h\n0,1\n# end\n1,2\n",
                "the profile has 2 points up to line 4; it needs at least 3"},
        BadCase{"DistanceRepeated", "0,1\n1,2\n1,3\n",
                "line 3: the distance \"1\" km does not increase"},
        BadCase{"DistanceFalling", "h\n0,1\n2,2\n1.5,3\n",
                "line 4: the distance \"1.5\" km does not increase"},
        BadCase{"NaN", "0,1\n1,nan\n2,3\n", "line 2: the height \"nan\" is not a finite number"},
        BadCase{"Infinite", "0,1\ninf,2\n", "line 2: the distance \"inf\" is not a finite"},
        BadCase{"Overflowing", "0,1\n1,1e999\n", "line 2: the height \"1e999\" is not a finite"},
        BadCase{"NotANumber", "0,1\n1,12a\n2,3\n", "line 2: the height \"12a\" is not a number"},
        BadCase{"DecimalComma", "0;1\n0,5;2\n1;3\n",
                "line 2: the distance \"0,5\" is not a number"},
        BadCase{"HeaderNotFirst", "0,1\nd,h\n", "line 2: the distance \"d\" is not a number"},
        BadCase{"MissingColumn", "0,1\n1\n2,3\n", "line 2: 1 column where a point has"},
        BadCase{"FourColumns", "0,1,a,b\n", "line 1: 4 columns where a point has"},
        BadCase{"HeightMissing", "0,1\n1,\n", "line 2: the height is missing"},
        BadCase{"TooHigh", "0,1\n1,9000.5\n", "line 2: the height \"9000.5\" m is outside"},
        BadCase{"TooDeep", "0,-501\n", "line 1: the height \"-501\" m is outside"},
        BadCase{"BelowZero", "-0.1,1\n1,2\n2,3\n", "line 1: the first distance \"-0.1\" km"},
        BadCase{"ZoneOnLaterRowsOnly", "0,1\n1,2,sea\n", "line 2: a zone where the lines"},
        BadCase{"ZoneOnEarlierRowsOnly", "0,1,sea\n1,2,sea\n\n2,3\n",
                "line 4: no zone where the lines"},
        BadCase{"ZoneEmpty", "0,1,sea\n1,2, \n", "line 2: the zone is empty"}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(ProfileCsv, NulByteIsRefused) {
    const std::string text("0,1\n1,2\n2\0,3\n", 13);
    std::string error;
    EXPECT_FALSE(ReadProfileCsv(text, error));
    EXPECT_EQ(error, "line 3: a NUL byte: this is not a text file");
}

TEST(ProfileCsv, MillionPointsTakenAndOneMoreRefused) {
    std::string text;
    text.reserve(16 * (kMostProfilePoints + 1));
    for (std::size_t i = 0; i < kMostProfilePoints; ++i) {
        text += std::to_string(i) + ",1\n";
    }
    std::string error;
    const std::optional<TerrainProfile> profile = ReadProfileCsv(text, error);
    ASSERT_TRUE(profile) << error;
    EXPECT_EQ(profile->distanceKm.size(), kMostProfilePoints);
    text += "1000000,1\n";
    EXPECT_FALSE(ReadProfileCsv(text, error));
    EXPECT_EQ(error, "line 1000001: more than 1000000 points");
}

// Under a decimal-comma locale the full stop still reads, and the comma
// still separates.
TEST(ProfileCsv, ReadsTheSameWhateverTheLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no de_DE.UTF-8 locale (scripts/setup makes it)";
    }
    std::string error;
    const std::optional<TerrainProfile> profile = ReadProfileCsv("0.5,1.25\n1.5,2\n2.5,3\n", error);
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(profile) << error;
    EXPECT_EQ(profile->distanceKm, (std::vector<double>{0.5, 1.5, 2.5}));
    EXPECT_EQ(profile->heightM, (std::vector<double>{1.25, 2, 3}));
}

TEST(ProfileFile, ErrorsNameTheFile) {
    const TempDir dir;
    const std::string bad = dir.write("bad.csv", "0,1\n1,x\n");
    const std::string regular = dir.write("regular", "not a folder");
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {bad, bad + ": line 2: the height \"x\" is not a number"},
        {dir.file("absent.csv"), "cannot read the profile " + dir.file("absent.csv") + ": "},
        {regular + "/p.csv", "cannot read the profile " + regular + "/p.csv: "},
        {dir.path(), "cannot read the profile " + dir.path()},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadProfileFile(c.path, error)) << c.path;
        EXPECT_EQ(error.substr(0, c.message.size()), c.message) << error;
    }
    const std::string good = dir.write("good.csv", "0,1\n1,2\n2,3\n");
    std::string error;
    ASSERT_TRUE(ReadProfileFile(good, error)) << error;
}

// The delta-Bullington examples' profiles (ITU-R study group validation
// examples, from github.com/eeveetza/p452), in ../shared/terrain beside the
// repository: their points, lengths and height ranges as its README gives.
TEST(ProfileFile, PublishedProfilesAreRead) {
    const std::filesystem::path folder =
        std::filesystem::path(SHARED_TERRAIN_DIR) / "p452_delta_bullington";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << "the published profiles are not in " << folder;
    }
    const struct {
        const char* file;
        std::size_t points;
        double lengthKm;
        double lowestM;
        double highestM;
    } cases[] = {
        {"profile3.csv", 1663, 83.07993853, 296, 803},
        {"profile4.csv", 2648, 132.315397, 413, 572},
        {"profile5.csv", 349, 17.39688966, 559, 697},
        {"profile6.csv", 812, 40.51112702, 568, 1408},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<TerrainProfile> profile = ReadProfileFile(folder / c.file, error);
        ASSERT_TRUE(profile) << error;
        EXPECT_EQ(profile->distanceKm.size(), c.points) << c.file;
        EXPECT_EQ(profile->distanceKm.front(), 0.0) << c.file;
        EXPECT_NEAR(profile->distanceKm.back(), c.lengthKm, 1e-9) << c.file;
        EXPECT_NEAR(profile->distanceKm[1], 0.05, 1e-12) << c.file;
        EXPECT_EQ(*std::min_element(profile->heightM.begin(), profile->heightM.end()), c.lowestM);
        EXPECT_EQ(*std::max_element(profile->heightM.begin(), profile->heightM.end()), c.highestM);
        EXPECT_TRUE(profile->zone.empty());
    }
}

} // namespace
