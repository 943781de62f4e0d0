// What goes into the plot, and the plot file's checks before any work.
#include "factor_table.h"
#include "plot_data.h"

#include "cli_test_support.h"
#include "link_calculation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using testing_support::DefaultFactors;
using testing_support::FactorIndex;

namespace {

PlotData sample(const SweepPlan& plan, std::uint64_t count, std::uint64_t maxPoints,
                const LinkFactors& base) {
    PlotSampler sampler(plan, count, maxPoints);
    ZeroCrossings crossings;
    SweepOver(base, plan, count, [&](const SweepSample& s) {
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
        const SweepPlan plan{FactorIndex(&LinkFactors::Range), 1, static_cast<double>(c.count), 1};
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
    const SweepPlan plan{FactorIndex(&LinkFactors::Range), 100, 150, 1};
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
    const SweepPlan plan{FactorIndex(&LinkFactors::Range), 100, 150, 1};
    const PlotData data = sample(plan, 51, kMaxPlotPoints, DefaultFactors());
    ASSERT_EQ(data.crossings.size(), 1u);
    EXPECT_GT(data.crossings[0], 124.0);
    EXPECT_LT(data.crossings[0], 125.0);
    ASSERT_EQ(data.crossingLabels.size(), 1u);
    EXPECT_EQ(data.crossingLabels[0], "Fade margin 0 dB at " +
                                          FactorValueText(FactorTable[0], data.crossings[0]) +
                                          " Miles");
    EXPECT_EQ(CrossingLabel(plan, 124.56), "Fade margin 0 dB at 124.6 Miles");
}

TEST(PlotSampler, SentinelPointsAreLeftOut) {
    // Range 0 puts log10(0) into the budget: a -1e27 dB margin is no link.
    const SweepPlan plan{FactorIndex(&LinkFactors::Range), 0, 5, 1};
    const PlotData data = sample(plan, 6, kMaxPlotPoints, DefaultFactors());
    ASSERT_EQ(data.x.size(), 5u);
    EXPECT_EQ(data.x.front(), 1.0);
    for (double y : data.fadeMargin) {
        EXPECT_LT(std::fabs(y), kPlotLimitDb);
    }
}

TEST(PlotSampler, LargeSweptValuesAreKept) {
    // Bit rates reach 500000000 kbit/s: the limit is for dB values only.
    const SweepPlan plan{FactorIndex(&LinkFactors::BitRate), 1e7, 5e8, 1e7};
    const PlotData data = sample(plan, 50, kMaxPlotPoints, DefaultFactors());
    EXPECT_EQ(data.x.size(), 50u);
}

} // namespace
