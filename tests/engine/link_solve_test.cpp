// Solving the budget for each factor: the budget evaluated at the answer has
// the asked fade margin, the closed forms agree with the textbook ones, and
// the factors that cannot give the margin are refused with a reason.
#include "link_calculation.h"
#include "link_solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::size_t IndexOf(const std::string& key) {
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        if (key == FactorTable[i].key) {
            return i;
        }
    }
    return FactorTable.size();
}

double MarginWith(LinkFactors factors, std::size_t factor, double value) {
    factors.*FactorTable[factor].field = value;
    LinkResults results{};
    CalculateLink(factors, results);
    return results.FadeMargin;
}

LinkFactors Defaults() {
    LinkFactors factors{};
    SetDefaultFactors(factors);
    return factors;
}

class SolveEachFactor : public testing::TestWithParam<std::tuple<const char*, double>> {};

TEST_P(SolveEachFactor, BudgetAtTheAnswerHasTheMargin) {
    const auto [key, margin] = GetParam();
    const std::size_t factor = IndexOf(key);
    LinkFactors factors = Defaults();
    factors.RxNoiseFigure = 3.0; // gives the LNA gain a say in the noise
    // 1 dB above the target: each factor has a value within its bounds.
    factors.Range = SolveFactor(factors, IndexOf("Range"), margin + 1.0).value;
    const SolveAnswer answer = SolveFactor(factors, factor, margin);
    ASSERT_TRUE(answer.solved) << answer.why;
    EXPECT_NEAR(MarginWith(factors, factor, answer.value), margin, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Solve, SolveEachFactor,
    testing::Combine(testing::Values("Range", "Freq", "TxPower", "BitRate", "LnaNoiseFigure",
                                     "LnaGain", "RxNoiseFigure", "TxFeedLoss", "TxAntGain",
                                     "Weather", "Polarization", "RxAntGain", "RxFeedLoss"),
                     testing::Values(0.0, 6.0)));

TEST(Solve, ClosedFormsOfRangeAndPower) {
    const LinkFactors factors = Defaults();
    const double margin = MarginWith(factors, IndexOf("Range"), factors.Range);
    EXPECT_DOUBLE_EQ(SolveFactor(factors, IndexOf("Range"), 0.0).value,
                     factors.Range * std::pow(10.0, margin / 20.0));
    EXPECT_DOUBLE_EQ(SolveFactor(factors, IndexOf("TxPower"), 3.0).value,
                     factors.TxPower * std::pow(10.0, (3.0 - margin) / 10.0));
    // Far beyond the prompt's bound: the closed form answers whatever the size.
    EXPECT_GT(SolveFactor(factors, IndexOf("Range"), -80.0).value, 10000.0);
    EXPECT_TRUE(SolvesForLargest(IndexOf("Range")));
    EXPECT_FALSE(SolvesForLargest(IndexOf("TxPower")));
}

struct Refusal {
    const char* key;
    const char* factor; // set before solving
    double value;
    const char* why;
};

class SolveRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(SolveRefusal, SaysWhy) {
    LinkFactors factors = Defaults();
    factors.*FactorTable[IndexOf(GetParam().factor)].field = GetParam().value;
    const SolveAnswer answer = SolveFactor(factors, IndexOf(GetParam().key), 0.0);
    EXPECT_FALSE(answer.solved);
    EXPECT_NE(answer.why.find(GetParam().why), std::string::npos) << answer.why;
}

INSTANTIATE_TEST_SUITE_P(
    Solve, SolveRefusal,
    testing::Values(Refusal{"MinEbNoDesired", "Range", 10.0, "no value of it sets the margin"},
                    Refusal{"LnaNoiseFigure", "Range", 5000.0, "would have to be below 0.0 dB"},
                    Refusal{"LnaNoiseFigure", "Range", 1e-14, "would have to be above 300.0 dB"},
                    Refusal{"LnaGain", "Range", 10.0, "would have to be below 0.0 dB"},
                    Refusal{"LnaGain", "RxNoiseFigure", 0.0, "does not depend on LnaGain"},
                    Refusal{"TxPower", "Range", 0.0, "cannot be computed"}));

TEST(Solve, SearchHonoursABudgetWithALossThatGrowsWithTheFactor) {
    const LinkFactors factors = Defaults();
    const std::size_t range = IndexOf("Range");
    const MarginAt withRain = [&](double miles) {
        return MarginWith(factors, range, miles) - 0.1 * miles; // 0.1 dB per mile
    };
    const SolveAnswer answer = SolveBySearch(withRain, range, 0.0);
    ASSERT_TRUE(answer.solved) << answer.why;
    EXPECT_NEAR(withRain(answer.value), 0.0, 1e-9);
    EXPECT_LT(answer.value, SolveFactor(factors, range, 0.0).value);
}

} // namespace
