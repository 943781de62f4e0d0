// The report's content: the text output's every line with the explanation,
// and the chart over the axis the design window's picker chose.
#include "design_json.h"
#include "report_data.h"
#include "text_rows.h"

#include "test_base.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

DesignPoint pointOf(const char* json) {
    Design design;
    std::string error;
    EXPECT_TRUE(DesignFromJson(json, design, error)) << error;
    return design.point();
}

constexpr char kRainyLink[] =
    R"({"format": "quillstone-design", "version": 1, "parameters": {)"
    R"("Range": {"value": 10, "unit": "km"}, "Freq": {"value": 23, "unit": "GHz"},)"
    R"("RainRate": {"value": 30}}})";

ReportData reportOf(const DesignPoint& point, const ReportSource& source) {
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    const SheetView view{sheet, model.sections(point, sheet), std::nullopt, false};
    return BuildReportData(view, model, point, source);
}

TEST(Report, ChartRunsOverTheGivenAxis) {
    const DesignPoint point = pointOf(kRainyLink);
    const ReportData data = reportOf(point, {"", ReportAxis{ParamId::RainRate, 0.0, 100.0}});
    ASSERT_FALSE(data.chart.x.empty());
    EXPECT_EQ(data.chart.xTitle.rfind("Rain Rate (", 0), 0u) << data.chart.xTitle;
    EXPECT_EQ(data.chart.x.front(), 0.0);
    EXPECT_EQ(data.chart.x.back(), 100.0);
    // More rain, less margin.
    EXPECT_GT(data.chart.fadeMargin.front(), data.chart.fadeMargin.back() + 1.0);
    EXPECT_TRUE(data.chartNote.empty());
}

TEST(Report, DetailsAreTheExplainedTextOutput) {
    const DesignPoint point = pointOf(kRainyLink);
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    const SheetView view{sheet, model.sections(point, sheet), std::nullopt, false};
    std::string text;
    {
        BufferedOutput out(StringSink(text));
        WriteSheetText(ExplainedView(view, model, point), out);
    }
    const ReportData data = BuildReportData(view, model, point, {"rain.json", std::nullopt});
    EXPECT_EQ(data.details, testing_support::Lines(text));
    EXPECT_NE(std::find(data.details.begin(), data.details.end(), "Where every dB went"),
              data.details.end());
    EXPECT_EQ(data.designFile, "rain.json");
    EXPECT_NE(ReportHtml(data, {}).find("<p>Design file: rain.json</p>"), std::string::npos);
}

} // namespace
