// A prepared job run directly: what each kind of job writes, and a failed
// plot or output reported with status 1.
#include "calc_help.h"
#include "calc_run.h"

#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace {

// A stand-in for the chart: counts its calls, keeps the data it is given and
// draws a marker (or fails).
struct FakeRenderer {
    bool succeed = true;
    int renders = 0;
    PlotData seen;

    PlotRenderer operator()() {
        return [this](const PlotData& data, PlotFormat, std::string& bytes, std::string& error) {
            ++renders;
            seen = data;
            if (!succeed) {
                error = "renderer failed";
                return false;
            }
            bytes = "plot";
            return true;
        };
    }
};

TEST(CalcRun, PlainBudgetHasTwentyFourLines) {
    const JobRun o = RunJob({"Range=20"});
    EXPECT_EQ(o.status, kExitDone);
    const auto lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_NE(lines[0].find("20.0 Miles"), std::string::npos);
    EXPECT_TRUE(o.messages.empty());
}

TEST(CalcRun, HelpGoesToTheOutput) {
    const JobRun o = RunJob({"--help"});
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(o.out, CalcHelpText());
}

TEST(CalcRun, RangeSweepReportsTheLargestClosingRange) {
    FakeRenderer renderer;
    const JobRun o = RunJob({"--sweep", "Range=100:150:10"}, renderer());
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(Lines(o.out).size(), 7u);
    EXPECT_EQ(o.messages,
              std::vector<std::string>{"largest Range with a fade margin >= 0 dB: 120 Miles"});
    EXPECT_EQ(renderer.renders, 0);
}

TEST(CalcRun, OtherSweepsReportNothing) {
    const JobRun o = RunJob({"--sweep", "Freq=200:3500:100"});
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(Lines(o.out).size(), 35u);
    EXPECT_TRUE(o.messages.empty());
}

TEST(CalcRun, PlotIsDrawnThenWrittenInOneStep) {
    TempDir dir;
    const std::string plot = dir.file("margin.png");
    FakeRenderer renderer;
    const JobRun o = RunJob({"--sweep", "Range=100:150:1", "--plot", plot}, renderer());
    const PlotData& seen = renderer.seen;
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(renderer.renders, 1);
    EXPECT_EQ(ReadAll(plot), "plot");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"margin.png"});
    EXPECT_EQ(seen.x.size(), 51u);
    ASSERT_EQ(seen.crossings.size(), 1u);
    EXPECT_GT(seen.crossings[0], 124.0);
    EXPECT_LT(seen.crossings[0], 125.0);
}

TEST(CalcRun, FailedPlotIsReportedAndLeavesNoFile) {
    TempDir dir;
    const std::string plot = dir.file("margin.svg");
    FakeRenderer renderer;
    renderer.succeed = false;
    const JobRun o = RunJob({"--sweep", "Freq=200:300:50", "--plot", plot}, renderer());
    EXPECT_EQ(o.status, kExitOutputFailed);
    EXPECT_EQ(Lines(o.out).size(), 4u); // the CSV still went out
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0], "cannot write plot file '" + plot + "': renderer failed");
    EXPECT_TRUE(dir.entries().empty());
}

TEST(CalcRun, RefusedOutputIsStatusOne) {
    CalcJob job;
    std::string error;
    ASSERT_EQ(PrepareCalc({}, job, error), kExitDone);
    std::vector<std::string> messages;
    const int status = ExecuteCalc(
        job, [](std::string_view) { return false; },
        [&](const std::string& line) { messages.push_back(line); }, nullptr);
    EXPECT_EQ(status, kExitOutputFailed);
    EXPECT_EQ(messages, std::vector<std::string>{"cannot write the output"});
}

} // namespace
