// A design swept over one input: each point is the design evaluated with
// that value, and where the fade margin crosses 0 dB.
#include "design_sweep.h"

#include "factor_table.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using testing_support::DefaultFactors;

namespace {

using testing_support::PrintTo;

DesignPoint defaultPoint() {
    Design design;
    const LinkFactors factors = DefaultFactors();
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        design.setFactor(i, factors.*FactorTable[i].field);
    }
    return design.point();
}

struct SweptCase {
    const char* name;
    ParamId param;
    std::vector<double> values; // base unit
};

class Swept : public testing::TestWithParam<SweptCase> {};

// A factor goes through the factors at hand, any other input through the
// point: either way a point's sheet is the design evaluated at that value.
TEST_P(Swept, EachPointIsTheDesignEvaluatedThere) {
    DesignPoint base = defaultPoint();
    base.set.set(IndexOf(GetParam().param));
    const BudgetModel model(base);
    const std::vector<double>& values = GetParam().values;
    std::vector<double> margins;
    SweepDesign(
        model, base, GetParam().param, values.size(),
        [&values](std::uint64_t i) -> std::optional<double> { return values[i]; },
        [&](const SweepSample& s) {
            EXPECT_EQ(s.index, margins.size());
            EXPECT_EQ(s.x, values[s.index]);
            EXPECT_EQ(s.minEbNo, s.sheet.effective.MinEbNoDesired);
            margins.push_back(s.results.FadeMargin);
        });
    ASSERT_EQ(margins.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        DesignPoint point = base;
        point.values[IndexOf(GetParam().param)] = values[i];
        EXPECT_EQ(margins[i], model.evaluate(point).results.FadeMargin) << values[i];
    }
    EXPECT_NE(margins.front(), margins.back());
}

INSTANTIATE_TEST_SUITE_P(Inputs, Swept,
                         testing::Values(SweptCase{"Range", ParamId::Range, {10, 50, 100, 200}},
                                         SweptCase{"Frequency", ParamId::Freq, {1000, 2250, 5800}},
                                         SweptCase{"RainRate", ParamId::RainRate, {0, 25, 100}}),
                         testing_support::RowName());

TEST(SweepDesign, AGridWithoutAValueEndsTheSweep) {
    const DesignPoint base = defaultPoint();
    std::vector<double> seen;
    SweepDesign(
        BudgetModel(base), base, ParamId::Range, 10,
        [](std::uint64_t i) -> std::optional<double> {
            return i < 3 ? std::optional<double>(10.0 * static_cast<double>(i + 1)) : std::nullopt;
        },
        [&](const SweepSample& s) { seen.push_back(s.x); });
    EXPECT_EQ(seen, (std::vector<double>{10, 20, 30}));
}

struct CrossingCase {
    const char* name;
    std::vector<std::pair<double, double>> points; // x, fade margin
    std::vector<double> crossings;
    std::optional<double> largest;
};

class FadeMarginSearch : public testing::TestWithParam<CrossingCase> {};

TEST_P(FadeMarginSearch, FindsCrossingsAndTheLargestClosingValue) {
    ZeroCrossings crossings;
    LargestClosing largest;
    for (const auto& [x, margin] : GetParam().points) {
        crossings.add(x, margin);
        largest.add(x, margin);
    }
    ASSERT_EQ(crossings.crossings().size(), GetParam().crossings.size());
    for (std::size_t i = 0; i < GetParam().crossings.size(); ++i) {
        EXPECT_DOUBLE_EQ(crossings.crossings()[i], GetParam().crossings[i]);
    }
    EXPECT_EQ(largest.value(), GetParam().largest);
}

INSTANTIATE_TEST_SUITE_P(
    Margins, FadeMarginSearch,
    testing::Values(CrossingCase{"DownThroughZero", {{1, 4}, {2, 2}, {3, -2}, {4, -6}}, {2.5}, 2.0},
                    CrossingCase{"UpThroughZero", {{1, -3}, {2, 1}}, {1.75}, 2.0},
                    CrossingCase{"ExactlyZeroIsOneCrossing", {{1, 1}, {2, 0}, {3, -1}}, {2.0}, 2.0},
                    CrossingCase{"TouchingZeroFromBelow", {{1, -1}, {2, 0}, {3, -1}}, {2.0}, 2.0},
                    CrossingCase{"AlwaysClosing", {{1, 5}, {2, 4}, {3, 3}}, {}, 3.0},
                    CrossingCase{"NeverClosing", {{1, -5}, {2, -4}}, {}, std::nullopt},
                    CrossingCase{"DescendingSweep", {{3, -2}, {2, 2}, {1, 4}}, {2.5}, 2.0},
                    CrossingCase{"NanBreaksTheChain", {{1, 1}, {2, NAN}, {3, -1}}, {}, 1.0},
                    CrossingCase{"SentinelSide", {{0, -1e27}, {1, 10}}, {1.0}, 1.0}),
    testing_support::RowName());

TEST(FadeMarginSearch, KeepsABoundedNumberOfCrossings) {
    ZeroCrossings crossings;
    for (int i = 0; i < 1000; ++i) {
        crossings.add(i, i % 2 == 0 ? 1.0 : -1.0);
    }
    EXPECT_EQ(crossings.crossings().size(), ZeroCrossings::kMaxKept);
}

} // namespace
