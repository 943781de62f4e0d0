// What the calculator's report is told besides the sheet: the design file
// the design came from, and the factor a sweep runs over as its chart's axis.
#include "calc_options.h"
#include "calc_report.h"
#include "calc_run.h"

#include "cli_test_support.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CalcOptions parsed(const std::vector<std::string>& args) {
    CalcOptions options;
    std::string error;
    EXPECT_TRUE(ParseCalcArguments(args, options, error)) << error;
    return options;
}

ReportSource sourceOf(const std::vector<std::string>& args) {
    const CalcOptions options = parsed(args);
    return CalcReportSource(options.files, options.sweep);
}

TEST(CalcReportSource, NamesTheDesignFileAsGiven) {
    EXPECT_EQ(sourceOf({"--design", "links/hill.json"}).designFile, "links/hill.json");
    EXPECT_EQ(sourceOf({"Range=20"}).designFile, "");
    EXPECT_FALSE(sourceOf({"Range=20"}).axis.has_value());
}

struct AxisCase {
    const char* name;
    const char* sweep;
    ParamId param;
    double low;
    double high;
};

class SweptAxis : public testing::TestWithParam<AxisCase> {};

TEST_P(SweptAxis, IsTheSweepFromStartToItsLastPoint) {
    const ReportSource source = sourceOf({"--sweep", GetParam().sweep});
    ASSERT_TRUE(source.axis.has_value());
    EXPECT_EQ(source.axis->param, GetParam().param);
    EXPECT_DOUBLE_EQ(source.axis->low, GetParam().low);
    EXPECT_DOUBLE_EQ(source.axis->high, GetParam().high);
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, SweptAxis,
    testing::Values(AxisCase{"Up", "Freq=1000:3000:500", ParamId::Freq, 1000, 3000},
                    AxisCase{"Down", "Range=50:10:-10", ParamId::Range, 10, 50},
                    // 1 + 4 * 0.3 = 2.2: the last point, not the stop.
                    AxisCase{"OffTheGrid", "TxPower=1:2.4:0.3", ParamId::TxPower, 1, 2.2}),
    testing_support::RowName());

// A sweep's report (once the options let --report and --sweep go together)
// shows the design's sheet with its chart over the swept factor.
TEST(CalcReportSource, SweepRunHandsTheReportItsSheet) {
    CalcJob job;
    std::string error;
    ASSERT_EQ(PrepareCalc({"--sweep", "Freq=1000:3000:500"}, job, error), kExitDone) << error;
    const auto row =
        std::find_if(OptionTable().begin(), OptionTable().end(),
                     [](const OptionRow& r) { return r.name == std::string("--report"); });
    ASSERT_NE(row, OptionTable().end());
    TempDir dir;
    job.options.report.path = dir.file("r.html");
    OutputFile file(row->output->kind, row->output->formats);
    ASSERT_TRUE(file.prepare(*job.options.report.path, error)) << error;
    job.outputs.emplace_back(&*row, file);
    std::optional<ReportData> seen;
    const ReportRenderer report = [&](const ReportData& data, ReportFormat, std::string& bytes,
                                      std::string&) {
        seen = data;
        bytes = "report";
        return true;
    };
    std::string out;
    const int status = ExecuteCalc(
        job, StringSink(out), [](const std::string&) {}, {}, report);
    EXPECT_EQ(status, kExitDone);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->chart.title, "Fade margin against Frequency");
    ASSERT_FALSE(seen->chart.x.empty());
    EXPECT_EQ(seen->chart.x.front(), 1000.0);
    EXPECT_EQ(seen->chart.x.back(), 3000.0);
    EXPECT_EQ(ReadAll(dir.file("r.html")), "report");
    EXPECT_NE(out.find("Freq,"), std::string::npos); // the CSV still goes out
}

} // namespace
