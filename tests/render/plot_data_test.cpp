// What goes into the plot, and the plot file's checks before any work.
#include "factor_table.h"
#include "plot_data.h"

#include "link_calculation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using testing_support::DefaultFactors;
using testing_support::FactorIndex;

namespace {

// A factor swept from start by step.
struct Plan {
    std::size_t factor;
    double start;
    double step;
};

PlotData sample(const Plan& plan, std::uint64_t count, std::uint64_t maxPoints,
                const LinkFactors& base) {
    Design design;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        design.setFactor(i, base.*FactorTable[i].field);
    }
    const DesignPoint point = design.point();
    PlotSampler sampler(FactorAxis(plan.factor), count, maxPoints);
    ZeroCrossings crossings;
    const auto grid = [&plan](std::uint64_t i) -> std::optional<double> {
        return plan.start + static_cast<double>(i) * plan.step;
    };
    SweepDesign(BudgetModel(point), point, ParamOfFactor(plan.factor), count, grid,
                [&](const SweepSample& s) {
                    sampler.add(s);
                    crossings.add(s.x, s.results.FadeMargin);
                });
    return sampler.finish(crossings);
}

TEST(PlotSampler, ThinsLongSweepsButKeepsBothEnds) {
    const struct {
        std::uint64_t count;
        std::uint64_t maxPoints;
    } cases[] = {{10, 100}, {100, 100}, {101, 100}, {1000, 100}, {999, 10}, {7, 2}};
    for (const auto& c : cases) {
        const Plan plan{FactorIndex(&LinkFactors::Range), 1, 1};
        const PlotData data = sample(plan, c.count, c.maxPoints, DefaultFactors());
        ASSERT_FALSE(data.x.empty());
        EXPECT_LE(data.x.size(), c.maxPoints) << c.count;
        EXPECT_GE(data.x.size(), std::min(c.count, c.maxPoints / 2)) << c.count;
        EXPECT_EQ(data.x.front(), 1.0);
        EXPECT_EQ(data.x.back(), static_cast<double>(c.count));
        EXPECT_TRUE(std::is_sorted(data.x.begin(), data.x.end()));
        EXPECT_EQ(data.rxEbNo.size(), data.x.size());
        EXPECT_EQ(data.fadeMargin.size(), data.x.size());
        EXPECT_EQ(data.minEbNo.size(), data.x.size());
    }
}

TEST(PlotSampler, CurvesAndNamesComeFromTheCalculation) {
    LinkFactors base = DefaultFactors();
    base.MinEbNoDesired = 12.0;
    const Plan plan{FactorIndex(&LinkFactors::Range), 100, 1};
    const PlotData data = sample(plan, 51, kMaxPlotPoints, base);
    ASSERT_EQ(data.x.size(), 51u);
    for (std::size_t i = 0; i < data.x.size(); ++i) {
        EXPECT_DOUBLE_EQ(data.rxEbNo[i] - data.fadeMargin[i], 12.0);
        EXPECT_EQ(data.minEbNo[i], 12.0);
    }
    EXPECT_EQ(data.xTitle, "Range (Miles)");
    EXPECT_EQ(data.rxEbNoName, "Received Eb/No");
    EXPECT_EQ(data.fadeMarginName, "Fade Margin");
    EXPECT_EQ(data.minEbNoName, "Minimum Eb/No Desired");
}

TEST(PlotSampler, CrossingIsLabelledWithTheWindowsValueText) {
    // defaults close to about 124.8 miles.
    const Plan plan{FactorIndex(&LinkFactors::Range), 100, 1};
    const PlotData data = sample(plan, 51, kMaxPlotPoints, DefaultFactors());
    ASSERT_EQ(data.crossings.size(), 1u);
    EXPECT_GT(data.crossings[0], 124.0);
    EXPECT_LT(data.crossings[0], 125.0);
    ASSERT_EQ(data.crossingLabels.size(), 1u);
    EXPECT_EQ(data.crossingLabels[0], "Fade margin 0 dB at " +
                                          FactorValueText(FactorTable[0], data.crossings[0]) +
                                          " Miles");
    EXPECT_EQ(CrossingLabel(FactorAxis(plan.factor), 124.56), "Fade margin 0 dB at 124.6 Miles");
}

TEST(PlotSampler, SentinelPointsAreLeftOut) {
    // Range 0 puts log10(0) into the budget: a -1e27 dB margin is no link.
    const Plan plan{FactorIndex(&LinkFactors::Range), 0, 1};
    const PlotData data = sample(plan, 6, kMaxPlotPoints, DefaultFactors());
    ASSERT_EQ(data.x.size(), 5u);
    EXPECT_EQ(data.x.front(), 1.0);
    for (double y : data.fadeMargin) {
        EXPECT_LT(std::fabs(y), kPlotLimitDb);
    }
}

TEST(PlotSampler, LargeSweptValuesAreKept) {
    // Bit rates reach 500000000 kbit/s: the limit is for dB values only.
    const Plan plan{FactorIndex(&LinkFactors::BitRate), 1e7, 1e7};
    const PlotData data = sample(plan, 50, kMaxPlotPoints, DefaultFactors());
    EXPECT_EQ(data.x.size(), 50u);
}

} // namespace
