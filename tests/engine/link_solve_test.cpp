// Solving the budget for each factor: the budget evaluated at the answer has
// the asked fade margin, the closed forms agree with the textbook ones, and
// the factors that cannot give the margin are refused with a reason.
#include "fade_margin.h"
#include "link_solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using testing_support::DefaultFactors;
using testing_support::FactorIndex;
using testing_support::FadeMarginOf;

namespace {

double marginWith(LinkFactors factors, std::size_t factor, double value) {
    factors.*FactorTable[factor].field = value;
    return FadeMarginOf(factors);
}

const std::size_t kRange = FactorIndex(&LinkFactors::Range);

using Field = double LinkFactors::*;

class SolveEachFactor : public testing::TestWithParam<std::tuple<Field, double>> {};

TEST_P(SolveEachFactor, BudgetAtTheAnswerHasTheMargin) {
    const auto [field, margin] = GetParam();
    const std::size_t factor = FactorIndex(field);
    LinkFactors factors = DefaultFactors();
    factors.RxNoiseFigure = 3.0; // gives the LNA gain a say in the noise
    // 1 dB above the target: each factor has a value within its bounds.
    factors.Range = SolveFactor(factors, kRange, margin + 1.0).value;
    const SolveAnswer answer = SolveFactor(factors, factor, margin);
    ASSERT_TRUE(answer.solved) << answer.why;
    EXPECT_NEAR(marginWith(factors, factor, answer.value), margin, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Solve, SolveEachFactor,
    testing::Combine(testing::Values(&LinkFactors::Range, &LinkFactors::Freq, &LinkFactors::TxPower,
                                     &LinkFactors::BitRate, &LinkFactors::LnaNoiseFigure,
                                     &LinkFactors::LnaGain, &LinkFactors::RxNoiseFigure,
                                     &LinkFactors::TxFeedLoss, &LinkFactors::TxAntGain,
                                     &LinkFactors::Weather, &LinkFactors::Polarization,
                                     &LinkFactors::RxAntGain, &LinkFactors::RxFeedLoss),
                     testing::Values(0.0, 6.0)));

TEST(Solve, ClosedFormsOfRangeAndPower) {
    const LinkFactors factors = DefaultFactors();
    const double margin = marginWith(factors, kRange, factors.Range);
    EXPECT_DOUBLE_EQ(SolveFactor(factors, kRange, 0.0).value,
                     factors.Range * std::pow(10.0, margin / 20.0));
    EXPECT_DOUBLE_EQ(SolveFactor(factors, FactorIndex(&LinkFactors::TxPower), 3.0).value,
                     factors.TxPower * std::pow(10.0, (3.0 - margin) / 10.0));
    // Far beyond the prompt's bound: the closed form answers whatever the size.
    EXPECT_GT(SolveFactor(factors, kRange, -80.0).value, 10000.0);
    EXPECT_TRUE(SolvesForLargest(kRange));
    EXPECT_FALSE(SolvesForLargest(FactorIndex(&LinkFactors::TxPower)));
}

struct Refusal {
    Field solved;
    Field factor; // set before solving
    double value;
    const char* why;
};

class SolveRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(SolveRefusal, SaysWhy) {
    LinkFactors factors = DefaultFactors();
    factors.*GetParam().factor = GetParam().value;
    const SolveAnswer answer = SolveFactor(factors, FactorIndex(GetParam().solved), 0.0);
    EXPECT_FALSE(answer.solved);
    EXPECT_NE(answer.why.find(GetParam().why), std::string::npos) << answer.why;
}

INSTANTIATE_TEST_SUITE_P(Solve, SolveRefusal,
                         testing::Values(Refusal{&LinkFactors::MinEbNoDesired, &LinkFactors::Range,
                                                 10.0, "no value of it sets the margin"},
                                         Refusal{&LinkFactors::LnaNoiseFigure, &LinkFactors::Range,
                                                 5000.0, "would have to be below 0.0 dB"},
                                         Refusal{&LinkFactors::LnaNoiseFigure, &LinkFactors::Range,
                                                 1e-14, "would have to be above 300.0 dB"},
                                         Refusal{&LinkFactors::LnaGain, &LinkFactors::Range, 10.0,
                                                 "would have to be below 0.0 dB"},
                                         Refusal{&LinkFactors::LnaGain, &LinkFactors::RxNoiseFigure,
                                                 0.0, "does not depend on LnaGain"},
                                         Refusal{&LinkFactors::TxPower, &LinkFactors::Range, 0.0,
                                                 "cannot be computed"}));

TEST(Solve, SearchHonoursABudgetWithALossThatGrowsWithTheFactor) {
    const LinkFactors factors = DefaultFactors();
    const MarginAt withRain = [&](double miles) {
        return marginWith(factors, kRange, miles) - 0.1 * miles; // 0.1 dB per mile
    };
    const SolveAnswer answer = SolveBySearch(withRain, kRange, 0.0);
    ASSERT_TRUE(answer.solved) << answer.why;
    EXPECT_NEAR(withRain(answer.value), 0.0, 1e-9);
    EXPECT_LT(answer.value, SolveFactor(factors, kRange, 0.0).value);
}

} // namespace
