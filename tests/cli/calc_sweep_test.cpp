// Sweep grids, the CSV they produce, and the search for where the link stops
// closing.
#include "calc_sweep.h"
#include "factor_table.h"
#include "table_test.h"

#include "cli_test_support.h"
#include "link_calculation.h"

#include <gtest/gtest.h>

#include <cmath>

using testing_support::FactorIndex;

using testing_support::DefaultFactors;

namespace {

using testing_support::PrintTo;

const std::size_t kRange = FactorIndex(&LinkFactors::Range);

// The points of an accepted plan (0 and a failure for a refused one).
std::uint64_t pointCount(const SweepPlan& plan) {
    std::uint64_t count = 0;
    std::string error;
    EXPECT_TRUE(SweepPointCount(plan, count, error)) << error;
    return count;
}

struct GridCase {
    const char* name;
    double start, stop, step;
    std::uint64_t count; // 0: refused
    double last;         // the last point when accepted
    const char* fault;   // part of the message when refused
};

class SweepGrid : public testing::TestWithParam<GridCase> {};

TEST_P(SweepGrid, CountsPointsAndEndsOnStop) {
    const GridCase& c = GetParam();
    const SweepPlan plan{kRange, c.start, c.stop, c.step};
    std::uint64_t count = 12345;
    std::string error;
    const bool ok = SweepPointCount(plan, count, error);
    if (c.count == 0) {
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        return;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(SweepPointValue(plan, 0, count), c.start);
    EXPECT_EQ(SweepPointValue(plan, count - 1, count), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Calc, SweepGrid,
    testing::Values(
        GridCase{"Integers", 1, 10, 1, 10, 10, ""},
        GridCase{"TenthsIncludeStop", 0, 1, 0.1, 11, 1.0, ""},
        // 0.3 / 0.1 is 2.9999999999999996 and 3 * 0.1 is 0.30000000000000004.
        GridCase{"ThreeTenthsIncludeStop", 0, 0.3, 0.1, 4, 0.3, ""},
        GridCase{"ThirdsIncludeStop", 0, 1, 1.0 / 3.0, 4, 1.0, ""},
        GridCase{"StopOffTheGrid", 0, 1, 0.3, 4, 0.3 * 3, ""},
        GridCase{"StopJustBeforeAPoint", 0, 0.99, 0.1, 10, 9 * 0.1, ""},
        GridCase{"Descending", 100, 1, -1, 100, 1, ""},
        GridCase{"DescendingTenths", 1, 0, -0.1, 11, 0.0, ""},
        GridCase{"OnePointStartIsStop", 5, 5, 1, 1, 5, ""},
        GridCase{"OnePointNegativeStepStartIsStop", 5, 5, -1, 1, 5, ""},
        GridCase{"StepLongerThanSpan", 0, 1, 5, 1, 0, ""},
        GridCase{"ExactlyTheLimit", 1, 10'000'000, 1, 10'000'000, 10'000'000, ""},
        GridCase{"OneOverTheLimit", 0, 10'000'000, 1, 0, 0, "10000001 points, more than"},
        GridCase{"FarOverTheLimit", 0, 1, 1e-12, 0, 0, "more than the limit of 10000000"},
        GridCase{"SpanOverflows", -1.7e308, 1.7e308, 1e300, 0, 0, "more than the limit"},
        GridCase{"ZeroStep", 1, 10, 0, 0, 0, "must not be 0"},
        GridCase{"NegativeZeroStep", 1, 10, -0.0, 0, 0, "must not be 0"},
        GridCase{"WrongSignUp", 1, 10, -1, 0, 0, "step -1 leads away from stop 10"},
        GridCase{"WrongSignDown", 10, 1, 0.5, 0, 0, "step 0.5 leads away from stop 1"}),
    testing_support::RowName());

TEST(SweepGrid, PointsAreComputedNotAccumulated) {
    // Adding 0.1 a thousand times drifts to 99.9999999999986; start + i * step
    // hits every point as closely as one multiplication can.
    const SweepPlan plan{kRange, 0.0, 100.0, 0.1};
    const std::uint64_t count = pointCount(plan);
    ASSERT_EQ(count, 1001u);
    for (std::uint64_t i = 0; i + 1 < count; ++i) {
        ASSERT_EQ(SweepPointValue(plan, i, count), static_cast<double>(i) * 0.1) << i;
    }
    EXPECT_EQ(SweepPointValue(plan, 1000, count), 100.0);
}

TEST(SweepCsv, SweepingAFactorLeavesTheOthersAsGiven) {
    LinkFactors base = DefaultFactors();
    base.Range = 42.0;
    const SweepPlan plan{FactorIndex(&LinkFactors::MinEbNoDesired), 10, 12, 1};
    std::vector<double> margins;
    SweepOver(base, plan, 3, [&](const SweepSample& s) {
        margins.push_back(s.results.FadeMargin);
        EXPECT_EQ(s.minEbNo, s.x);
    });
    ASSERT_EQ(margins.size(), 3u);
    // One dB more required is one dB less margin.
    EXPECT_NEAR(margins[0] - margins[1], 1.0, 1e-12);
    EXPECT_NEAR(margins[1] - margins[2], 1.0, 1e-12);
}

TEST(FadeMarginSearch, RangeCrossingFollowsTheInverseSquareLaw) {
    // With all else at the defaults the margin falls by 20 log10(R / 10) dB
    // from its value at 10 miles, so it reaches 0 dB at 10 * 10^(FM10 / 20).
    LinkFactors base = DefaultFactors();
    LinkResults at10{};
    CalculateLink(base, at10);
    const double limit = 10.0 * std::pow(10.0, at10.FadeMargin / 20.0);
    ASSERT_GT(limit, 100.0);
    ASSERT_LT(limit, 200.0);

    const SweepPlan plan{kRange, 1, 200, 1};
    const std::uint64_t count = pointCount(plan);
    ZeroCrossings crossings;
    LargestClosing largest;
    SweepOver(base, plan, count, [&](const SweepSample& s) {
        crossings.add(s.x, s.results.FadeMargin);
        largest.add(s.x, s.results.FadeMargin);
    });
    ASSERT_EQ(crossings.crossings().size(), 1u);
    EXPECT_NEAR(crossings.crossings()[0], limit, 0.01); // linear between 1-mile points
    ASSERT_TRUE(largest.value());
    EXPECT_EQ(*largest.value(), std::floor(limit));
    EXPECT_EQ(LargestRangeMessage(plan, count, largest.value()),
              "largest Range with a fade margin >= 0 dB: " +
                  std::to_string(static_cast<int>(std::floor(limit))) + " Miles");
}

TEST(FadeMarginSearch, GridPointsAreWrittenToTheStep) {
    const struct {
        double start, step, value;
        const char* text;
    } cases[] = {
        {0.001, 0.001, 0.001 + 124755 * 0.001, "124.756"}, // 124.75600000000001
        {1, 1, 124, "124"},
        {0, 0.25, 0.75, "0.75"},
        {0.5, 1, 3.5, "3.5"},     // the start's decimals count too
        {0, 0.1, 3 * 0.1, "0.3"}, // 0.30000000000000004
        {-10, 0.5, -0.0, "-0.0"},
        {0, 1.0 / 3.0, 1.0, "1.000000000000"},
        {0, 1e-20, 5e-20, "5e-20"}, // beyond fifteen decimals: the shortest text
        {1e300, 1e300, 2e300, "2e+300"},
        {0, 1, 1e15, "1e+15"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GridText(SweepPlan{kRange, c.start, 0, c.step}, c.value), c.text)
            << c.start << " " << c.step;
    }
}

TEST(FadeMarginSearch, RangeMessagesAtTheEdges) {
    const SweepPlan up{kRange, 1, 50, 1};
    EXPECT_EQ(LargestRangeMessage(up, 50, 50.0),
              "largest Range with a fade margin >= 0 dB: 50 Miles (the sweep's largest value: a "
              "larger Range may still close)");
    const SweepPlan down{kRange, 50, 1, -1};
    EXPECT_EQ(LargestRangeMessage(down, 50, 50.0),
              "largest Range with a fade margin >= 0 dB: 50 Miles (the sweep's largest value: a "
              "larger Range may still close)");
    EXPECT_EQ(LargestRangeMessage(down, 50, 20.0),
              "largest Range with a fade margin >= 0 dB: 20 Miles");
    const SweepPlan far{kRange, 500, 1000, 0.5};
    EXPECT_EQ(LargestRangeMessage(far, 1001, std::nullopt),
              "no Range from 500.0 to 1000.0 Miles has a fade margin >= 0 dB");
}

} // namespace
