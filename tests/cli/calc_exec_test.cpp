// The installed program as a user meets it: exit status, what reaches
// standard output and standard error, and the files it leaves.
#include "calc_process.h"
#include "link_settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST_P(BadInput, OneLineOnStderrStatusTwoNothingWritten) {
    ScratchDir dir;
    dir.write("plain.txt", "x");
    std::filesystem::create_directory(dir.file("folder"));
    const Result r = RunCalc(dir, GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("quillstone-calc: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(GetParam().fault), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(Sorted(dir.entries()), (std::vector<std::string>{"folder", "plain.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Calc, BadInput,
    testing::Values(
        BadCase{"UnknownKey", {"Distance=10"}, "unknown key 'Distance'"},
        BadCase{"NotANumber", {"Range=ten"}, "value 'ten' of Range is not a number"},
        BadCase{"MissingConfig",
                {"--config", "nowhere.cfg"},
                "cannot read config file 'nowhere.cfg': No such file or directory"},
        BadCase{"ConfigIsADirectory", {"--config", "folder"}, "it is a directory"},
        BadCase{"ConfigUnderAFile", {"--config", "plain.txt/Quillstone.Cfg"}, "Not a directory"},
        BadCase{"StepZero", {"--sweep", "Range=1:10:0"}, "the step must not be 0"},
        BadCase{"StepWrongSign", {"--sweep", "Range=10:1:1"}, "step 1 leads away from stop 1"},
        BadCase{"TooManyPoints",
                {"--sweep", "Range=0:10000000:1"},
                "10000001 points, more than the limit of 10000000"},
        BadCase{"PlotUnderAFile",
                {"--sweep", "Range=1:10:1", "--plot", "plain.txt/p.png"},
                "cannot write plot file 'plain.txt/p.png': Not a directory"},
        BadCase{"PlotInMissingDirectory",
                {"--sweep", "Range=1:10:1", "--plot", "no/p.svg"},
                "cannot write plot file 'no/p.svg': No such file or directory"},
        BadCase{"PlotNameWithoutType",
                {"--sweep", "Range=1:10:1", "--plot=folder"},
                "must end in .svg or .png"},
        BadCase{"PlotWrongType",
                {"--sweep", "Range=1:10:1", "--plot", "p.jpg"},
                "must end in .svg or .png"},
        BadCase{"PlotWithoutSweep", {"--plot", "p.png"}, "--plot needs --sweep"},
        BadCase{"UnknownOption", {"--verbose"}, "unknown option '--verbose'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalcProgram, DefaultsPrintTheWindowsTexts) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "Range                           10.0 Miles");
    EXPECT_EQ(lines[21], "Fade Margin                     21.9 dB");
    EXPECT_EQ(lines[23], "Minimum BEP Desired           1.0E-7");
}

TEST(CalcProgram, SavedFileAndOverrides) {
    ScratchDir dir;
    LinkFactors saved{};
    SetDefaultFactors(saved);
    saved.Range = 55.5;
    saved.TxAntGain = 3.0;
    ASSERT_TRUE(SaveLinkSettings(dir.file("Quillstone.Cfg"), saved, WindowPosition{}));
    const Result r = RunCalc(dir, {"--config", "Quillstone.Cfg", "txantgain=-2.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "Range                           55.5 Miles");
    EXPECT_EQ(lines[9], "Tx Ant Gain                    -2.50 dBi");
}

TEST(CalcProgram, JsonIsValid) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--json", "Range=20"});
    EXPECT_EQ(r.status, 0) << r.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out;
    EXPECT_EQ(doc["factors"][0]["value"].toDouble(), 20.0);
    EXPECT_EQ(doc["factors"][0]["text"].toString(), QStringLiteral("20.0"));
    EXPECT_EQ(doc["bitErrorPerformance"]["text"].toString(), QStringLiteral("1.0E-7"));
}

TEST(CalcProgram, HelpDescribesEveryOption) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* option :
         {"--config FILE", "--json", "--sweep Key=start:stop:step", "--plot FILE", "--help",
          "Exit status", "--rain-rate R", "--availability A", "--polarization h|v|c",
          "--elevation DEG", "--heights H1,H2", "--tx-dish D[,EFF]", "--rx-dish D[,EFF]"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

TEST(CalcProgram, RangeSweepCsvAndLargestRange) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Range=1:200:1"});
    EXPECT_EQ(r.status, 0);
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 201u);
    EXPECT_EQ(lines[0].substr(0, 21), "Range,FreeSpaceAtten,");
    EXPECT_EQ(lines[10].substr(0, 10), "10,-123.64");
    EXPECT_EQ(lines[200].substr(0, 4), "200,");
    EXPECT_EQ(r.err, "quillstone-calc: largest Range with a fade margin >= 0 dB: 124 Miles\n");
}

TEST(CalcProgram, OutputThatCannotBeWrittenIsStatusOne) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Freq=200:3500:1"}, kFileSizeLimit);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillstone-calc: cannot write the output\n");
    EXPECT_LE(r.out.size(), kFileSizeLimit);
}

struct PlotCase {
    const char* name;
    const char* file;
    std::string magic;
};

void PrintTo(const PlotCase& c, std::ostream* os) {
    *os << c.name;
}

class PlotFile : public testing::TestWithParam<PlotCase> {};

TEST_P(PlotFile, IsWrittenWithTheCrossingMarked) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Range=50:200:0.5", "--plot", GetParam().file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "quillstone-calc: largest Range with a fade margin >= 0 dB: 124.5 Miles\n");
    EXPECT_EQ(SplitLines(r.out).size(), 302u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{GetParam().file});
    const std::string plot = ReadWholeFile(dir.file(GetParam().file));
    ASSERT_GT(plot.size(), 1000u);
    EXPECT_EQ(plot.substr(0, GetParam().magic.size()), GetParam().magic);
}

INSTANTIATE_TEST_SUITE_P(Calc, PlotFile,
                         testing::Values(PlotCase{"Png", "margin.png", "\x89PNG\r\n"},
                                         PlotCase{"Svg", "margin.svg", "<?xml"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CalcProgram, SvgPlotCarriesTheLabels) {
    ScratchDir dir;
    const Result r = RunCalc(dir, {"--sweep", "Range=50:200:0.5", "--plot", "m.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadWholeFile(dir.file("m.svg"));
    for (const char* text : {"Fade margin 0 dB at 124.8 Miles", "Received Eb/No", "Fade Margin",
                             "Minimum Eb/No Desired", "Range (Miles)"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
}

TEST(CalcProgram, ExistingPlotIsReplaced) {
    ScratchDir dir;
    dir.write("m.png", "old");
    const Result r = RunCalc(dir, {"--sweep", "Freq=200:3500:10", "--plot", "m.png"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("m.png")).substr(0, 4), "\x89PNG");
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
        BadCase{"HeightBelowZero", {"--heights", "30,-1"}, "'-1' is below 0"},
        BadCase{"OneHeight", {"--heights", "30"}, "is not H1,H2"},
        BadCase{"HeightInYards", {"--heights", "30yd,20"}, "'30yd' is not a height"},
        BadCase{"DishOfZero", {"--tx-dish", "0"}, "must be more than 0"},
        BadCase{"EfficiencyOverOne", {"--rx-dish", "1.2,1.5"}, "efficiency '1.5' is out of range"},
        BadCase{"DishAndGain", {"--tx-dish", "1.2", "TxAntGain=20"}, "not both"},
        BadCase{
            "DishAndSweptGain", {"--rx-dish", "1.2", "--sweep", "RxAntGain=0:10:1"}, "not both"},
        BadCase{"RainRateTwice",
                {"--rain-rate", "20", "--rain-rate", "30"},
                "--rain-rate given more than once"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalcProgram, PropagationLinesAndJson) {
    ScratchDir dir;
    const std::vector<std::string> args{"Freq=23000", "Range=5", "--rain-rate",    "60",
                                        "--heights",  "40,25",   "--tx-dish",      "0.6",
                                        "--rx-dish",  "2ft,60%", "--polarization", "c"};
    const Result text = RunCalc(dir, args);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    for (const char* line : {"Rain Loss ", "Rain Distance Factor r", "Rain Polarization   ",
                             "circular", "Radio Horizon 4/3 Earth", "Clearance / F1",
                             "Tx Dish Gain", "Rx Dish Beamwidth", "radio horizon"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    }
    std::vector<std::string> json = args;
    json.push_back("--json");
    const Result r = RunCalc(dir, json);
    EXPECT_EQ(r.status, 0) << r.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out;
    EXPECT_EQ(doc["propagation"]["rows"].toArray().size(), 28);
    EXPECT_EQ(doc["propagation"]["notes"].toArray().size(), 2);
}

} // namespace
