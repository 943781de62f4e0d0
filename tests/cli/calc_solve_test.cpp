// The solve over a budget that other options change: a loss that grows with
// the solved factor needs the search, a factor another option replaces
// cannot be solved, and a loss added beside the factor keeps the closed form.
#include "calc_options.h"
#include "calc_solve.h"
#include "fade_margin.h"

#include <gtest/gtest.h>

using testing_support::DefaultFactors;
using testing_support::FadeMarginOf;

namespace {

// Like a rain rate: a loss of 0.2 dB per mile on top of the Weather given.
LinkFactors withRain(const LinkFactors& given) {
    LinkFactors effective = given;
    effective.Weather += 0.2 * given.Range;
    return effective;
}

struct Case {
    const char* key;
    double margin;
};

class SolveWithRain : public testing::TestWithParam<Case> {};

TEST_P(SolveWithRain, EffectiveBudgetAtTheAnswerHasTheMargin) {
    const std::size_t factor = *FindFactor(GetParam().key);
    LinkFactors given = DefaultFactors();
    const SolveAnswer answer = SolveGiven(given, factor, GetParam().margin, withRain);
    ASSERT_TRUE(answer.solved) << answer.why;
    given.*FactorTable[factor].field = answer.value;
    EXPECT_NEAR(FadeMarginOf(withRain(given)), GetParam().margin, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Solve, SolveWithRain,
                         testing::Values(Case{"Range", 0.0}, Case{"Range", 5.0},
                                         Case{"Weather", 0.0}, Case{"TxPower", 3.0},
                                         Case{"LnaNoiseFigure", 10.0}));

TEST(Solve, FactorReplacedByAnotherOptionIsRefused) {
    const EffectiveBudget dish = [](const LinkFactors& given) {
        LinkFactors effective = given;
        effective.TxAntGain = 26.4;
        return effective;
    };
    const SolveAnswer answer = SolveGiven(DefaultFactors(), *FindFactor("TxAntGain"), 0.0, dish);
    EXPECT_FALSE(answer.solved);
    EXPECT_NE(answer.why.find("another option sets its value"), std::string::npos);
}

} // namespace
