// A prepared job run directly: what each kind of job writes, and a failed
// plot or output reported with status 1.
#include "calc_run.h"

#include "cli_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::vector<std::string> messages;
    int renders = 0;
};

// A stand-in for the chart: writes a marker into the file it is given.
PlotRenderer fakeRenderer(Outcome& outcome, bool succeed, PlotData* seen = nullptr) {
    return [&outcome, succeed, seen](const PlotData& data, const std::string& file, PlotFormat,
                                     std::string& error) {
        ++outcome.renders;
        if (seen) {
            *seen = data;
        }
        if (!succeed) {
            error = "renderer failed";
            return false;
        }
        std::ofstream(file) << "plot";
        return true;
    };
}

Outcome runJob(const std::vector<std::string>& args, bool renderOk = true,
               PlotData* seen = nullptr) {
    Outcome outcome;
    CalcJob job;
    std::string error;
    outcome.status = PrepareCalc(args, job, error);
    if (outcome.status != kExitDone) {
        outcome.messages.push_back(error);
        return outcome;
    }
    outcome.status = ExecuteCalc(
        job, StringSink(outcome.out),
        [&](const std::string& line) { outcome.messages.push_back(line); },
        fakeRenderer(outcome, renderOk, seen));
    return outcome;
}

TEST(CalcRun, PlainBudgetHasTwentyFourLines) {
    const Outcome o = runJob({"Range=20"});
    EXPECT_EQ(o.status, kExitDone);
    const auto lines = SplitLines(o.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_NE(lines[0].find("20.0 Miles"), std::string::npos);
    EXPECT_TRUE(o.messages.empty());
}

TEST(CalcRun, HelpGoesToTheOutput) {
    const Outcome o = runJob({"--help"});
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(o.out, CalcHelpText());
}

TEST(CalcRun, RangeSweepReportsTheLargestClosingRange) {
    const Outcome o = runJob({"--sweep", "Range=100:150:10"});
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(SplitLines(o.out).size(), 7u);
    EXPECT_EQ(o.messages,
              std::vector<std::string>{"largest Range with a fade margin >= 0 dB: 120 Miles"});
    EXPECT_EQ(o.renders, 0);
}

TEST(CalcRun, OtherSweepsReportNothing) {
    const Outcome o = runJob({"--sweep", "Freq=200:3500:100"});
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(SplitLines(o.out).size(), 35u);
    EXPECT_TRUE(o.messages.empty());
}

TEST(CalcRun, PlotIsDrawnIntoTheScratchFileThenMoved) {
    ScratchDir dir;
    const std::string plot = dir.file("margin.png");
    PlotData seen;
    const Outcome o = runJob({"--sweep", "Range=100:150:1", "--plot", plot}, true, &seen);
    EXPECT_EQ(o.status, kExitDone);
    EXPECT_EQ(o.renders, 1);
    EXPECT_EQ(ReadWholeFile(plot), "plot");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"margin.png"});
    EXPECT_EQ(seen.x.size(), 51u);
    ASSERT_EQ(seen.crossings.size(), 1u);
    EXPECT_GT(seen.crossings[0], 124.0);
    EXPECT_LT(seen.crossings[0], 125.0);
}

TEST(CalcRun, FailedPlotIsReportedAndLeavesNoFile) {
    ScratchDir dir;
    const std::string plot = dir.file("margin.svg");
    const Outcome o = runJob({"--sweep", "Freq=200:300:50", "--plot", plot}, false);
    EXPECT_EQ(o.status, kExitOutputFailed);
    EXPECT_EQ(SplitLines(o.out).size(), 4u); // the CSV still went out
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
