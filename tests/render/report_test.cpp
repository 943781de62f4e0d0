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

// A sheet as the evaluation leaves it for a hop over a terrain profile: the
// clearance over a ridge at the median and the minimum k.
SheetTerrain ridge() {
    const std::vector<double> km{0.0, 3.0, 6.0, 9.0, 12.0};
    const std::vector<double> ground{50.0, 60.0, 140.0, 70.0, 55.0};
    std::string error;
    const std::optional<HeightCheck> heights =
        CheckAntennaHeights({km, ground, 40.0, 30.0, 23.0}, HeightCriteria{}, error);
    EXPECT_TRUE(heights) << error;
    SheetTerrain terrain{};
    terrain.heights = *heights;
    return terrain;
}

TEST(Report, TerrainProfileFigureOnlyWithATerrain) {
    const DesignPoint point = pointOf(kRainyLink);
    const BudgetModel model(point);
    BudgetSheet sheet = model.evaluate(point);
    const auto build = [&] {
        const SheetView view{sheet, model.sections(point, sheet), std::nullopt, false};
        return BuildReportData(view, model, point, {});
    };
    const ReportData without = build();
    EXPECT_FALSE(without.profile);
    EXPECT_TRUE(without.profileCaption.empty());
    EXPECT_EQ(ReportHtml(without, {}).find("class=\"figure\""), std::string::npos);

    sheet.terrain = ridge();
    const ReportData with = build();
    ASSERT_TRUE(with.profile);
    EXPECT_EQ(with.profile->km.size(), 5u);
    EXPECT_EQ(with.profile->k, ProfileK::Median);
    // The caption gives the k, the critical point (the ridge) and its clearance.
    EXPECT_EQ(with.profileCaption.rfind("Terrain profile at the median k = 4/3. Critical point "
                                        "at 6.00 km: clearance ",
                                        0),
              0u)
        << with.profileCaption;
    EXPECT_NE(with.profileCaption.find(" F1."), std::string::npos);
    // The drawing goes in after the chart, its caption under it.
    const std::string html =
        ReportHtml(with, "<svg>chart</svg>", kDetailsPoints, "<svg>profile</svg>");
    const std::size_t chart = html.find("<svg>chart</svg>");
    const std::size_t figure = html.find("<svg>profile</svg>");
    const std::size_t caption = html.find("<p class=\"caption\"><i>Terrain profile at the median");
    ASSERT_NE(chart, std::string::npos);
    ASSERT_NE(figure, std::string::npos);
    ASSERT_NE(caption, std::string::npos);
    EXPECT_LT(chart, figure);
    EXPECT_LT(figure, caption);
}

} // namespace
