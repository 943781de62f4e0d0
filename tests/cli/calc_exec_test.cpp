// The installed program as a user meets it: exit status, what reaches
// standard output and standard error, and the files it leaves.
#include "calc_process.h"
#include "factor_table.h"
#include "link_settings.h"
#include "table_test.h"

#include <QJsonArray>
#include <QJsonObject>

using testing_support::DefaultFactors;

namespace {

using testing_support::PrintTo;

TEST_P(BadInput, OneLineOnStderrNothingWritten) {
    TempDir dir;
    dir.write("plain.txt", "x");
    std::filesystem::create_directory(dir.file("folder"));
    const Result r = RunCalc(dir, GetParam().args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("quillstone-calc: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(GetParam().fault), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"folder", "plain.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Calc, BadInput,
    testing::Values(BadCase{"UnknownKey", {"Distance=10"}, "unknown key 'Distance'"},
                    BadCase{"MissingConfig",
                            {"--config", "nowhere.cfg"},
                            "cannot read config file 'nowhere.cfg': No such file or directory"},
                    BadCase{"StepZero", {"--sweep", "Range=1:10:0"}, "the step must not be 0"},
                    BadCase{"PlotUnderAFile",
                            {"--sweep", "Range=1:10:1", "--plot", "plain.txt/p.png"},
                            "cannot write plot file 'plain.txt/p.png': Not a directory"}),
    testing_support::RowName());

TEST_P(GoodInput, PrintsTheTextsAndWritesNoFile) {
    TempDir dir;
    const Result r = RunCalc(dir, GetParam().args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, GetParam().err);
    if (GetParam().lines != 0) {
        EXPECT_EQ(Lines(r.out).size(), GetParam().lines);
    }
    for (const char* text : GetParam().texts) {
        EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    }
    EXPECT_TRUE(dir.entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calc, GoodInput,
    testing::Values(GoodCase{"Defaults",
                             {},
                             24,
                             {"Range                           10.0 Miles\n",
                              "\nFade Margin                     21.9 dB\n",
                              "\nMinimum BEP Desired           1.0E-7\n"}},
                    GoodCase{"Help", {"--help"}, 0, {"Exit status"}},
                    GoodCase{
                        "RangeSweep",
                        {"--sweep", "Range=1:200:1"},
                        201,
                        {"Range,FreeSpaceAtten,", "\n10,-123.64", "\n200,"},
                        "quillstone-calc: largest Range with a fade margin >= 0 dB: 124 Miles\n"},
                    GoodCase{"Propagation",
                             {"Freq=23000", "Range=5", "--rain-rate", "60", "--heights", "40,25",
                              "--tx-dish", "0.6", "--rx-dish", "2ft,60%", "--polarization", "c"},
                             0,
                             {"Rain Loss ", "Rain Distance Factor r", "Rain Polarization   ",
                              "circular", "Radio Horizon 4/3 Earth", "Clearance / F1",
                              "Tx Dish Gain", "Rx Dish Beamwidth", "radio horizon"}}),
    testing_support::RowName());

TEST(CalcProgram, SavedFileAndOverrides) {
    TempDir dir;
    LinkFactors saved = DefaultFactors();
    saved.Range = 55.5;
    saved.TxAntGain = 3.0;
    ASSERT_TRUE(SaveLinkSettings(dir.file("Quillstone.Cfg"), saved, WindowPosition{}));
    const Result r = RunCalc(dir, {"--config", "Quillstone.Cfg", "txantgain=-2.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "Range                           55.5 Miles");
    EXPECT_EQ(lines[9], "Tx Ant Gain                    -2.50 dBi");
}

TEST(CalcProgram, JsonIsValid) {
    TempDir dir;
    const Result r = RunCalc(dir, {"--json", "Range=20"});
    EXPECT_EQ(r.status, 0) << r.err;
    const QJsonDocument doc = ParseJson(r.out);
    EXPECT_EQ(doc["factors"][0]["value"].toDouble(), 20.0);
    EXPECT_EQ(doc["factors"][0]["text"].toString(), QStringLiteral("20.0"));
    EXPECT_EQ(doc["bitErrorPerformance"]["text"].toString(), QStringLiteral("1.0E-7"));
}

TEST(CalcProgram, OutputThatCannotBeWrittenIsStatusOne) {
    TempDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Freq=200:3500:1"}, kFileSizeLimit);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillstone-calc: cannot write the output\n");
    EXPECT_LE(r.out.size(), kFileSizeLimit);
}

struct PlotCase {
    const char* name;
    const char* file;
    std::string magic;
    std::vector<const char*> texts; // the plot's labels, for a text format
};

class PlotFile : public testing::TestWithParam<PlotCase> {};

TEST_P(PlotFile, IsWrittenWithTheCrossingMarked) {
    TempDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Range=50:200:0.5", "--plot", GetParam().file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "quillstone-calc: largest Range with a fade margin >= 0 dB: 124.5 Miles\n");
    EXPECT_EQ(Lines(r.out).size(), 302u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{GetParam().file});
    const std::string plot = ReadAll(dir.file(GetParam().file));
    ASSERT_GT(plot.size(), 1000u);
    EXPECT_EQ(plot.substr(0, GetParam().magic.size()), GetParam().magic);
    for (const char* text : GetParam().texts) {
        EXPECT_NE(plot.find(text), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Calc, PlotFile,
                         testing::Values(PlotCase{"Png", "margin.png", "\x89PNG\r\n", {}},
                                         PlotCase{"Svg",
                                                  "margin.svg",
                                                  "<?xml",
                                                  {"Fade margin 0 dB at 124.8 Miles",
                                                   "Received Eb/No", "Fade Margin",
                                                   "Minimum Eb/No Desired", "Range (Miles)"}}),
                         testing_support::RowName());

TEST(CalcProgram, ExistingPlotIsReplaced) {
    TempDir dir;
    dir.write("m.png", "old");
    const Result r = RunCalc(dir, {"--sweep", "Freq=200:3500:10", "--plot", "m.png"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadAll(dir.file("m.png")).substr(0, 4), "\x89PNG");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"m.png"});
}

INSTANTIATE_TEST_SUITE_P(
    Propagation, BadInput,
    testing::Values(
        BadCase{"NegativeRainRate", {"--rain-rate", "-1"}, "--rain-rate: '-1' is out of range"},
        BadCase{"AvailabilityLow",
                {"--rain-rate", "20", "--availability", "98.9"},
                "'98.9' is out of range (99.0 to 99.999 percent)"},
        BadCase{"AvailabilityHigh",
                {"--rain-rate=20", "--availability=99.9999"},
                "'99.9999' is out of range"},
        BadCase{"AvailabilityWithoutRain", {"--availability", "99.9"}, "needs --rain-rate"},
        BadCase{"UnknownPolarization",
                {"--rain-rate", "20", "--polarization", "x"},
                "'x' is not h, v or c"},
        BadCase{"ElevationOver90", {"--rain-rate", "20", "--elevation", "91"}, "0 to 90 degrees"},
        BadCase{"HeightBelowZero",
                {"--heights", "30,-1"},
                "Rx Antenna Height '-1' is out of range (0 or more)"},
        BadCase{"OneHeight", {"--heights", "30"}, "is not H1,H2"},
        BadCase{"HeightInYards", {"--heights", "30yd,20"}, "'30yd' is not a number"},
        BadCase{"DishOfZero", {"--tx-dish", "0"}, "'0' is out of range (0.01 to 1000 m)"},
        BadCase{"EfficiencyOverOne",
                {"--rx-dish", "1.2,1.5"},
                "Rx Dish Efficiency '1.5' is out of range"},
        BadCase{"DishAndGain", {"--tx-dish", "1.2", "TxAntGain=20"}, "not both"},
        BadCase{
            "DishAndSweptGain", {"--rx-dish", "1.2", "--sweep", "RxAntGain=0:10:1"}, "not both"},
        BadCase{"RainRateTwice",
                {"--rain-rate", "20", "--rain-rate", "30"},
                "--rain-rate given more than once"}),
    testing_support::RowName());

TEST(CalcProgram, PropagationJson) {
    TempDir dir;
    const Result r =
        RunCalc(dir, {"Freq=23000", "Range=5", "--rain-rate", "60", "--heights", "40,25",
                      "--tx-dish", "0.6", "--rx-dish", "2ft,60%", "--polarization", "c", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    const QJsonDocument doc = ParseJson(r.out);
    EXPECT_EQ(doc["propagation"]["rows"].toArray().size(), 28);
    EXPECT_EQ(doc["propagation"]["notes"].toArray().size(), 2);
}

} // namespace
