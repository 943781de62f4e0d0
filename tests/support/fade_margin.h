#pragma once
// The fade margin the budget gives for a set of factors, as the tests of the
// solve check an answer against.
#include "factor_table.h"
#include "link_calculation.h"

namespace testing_support {

inline double FadeMarginOf(const LinkFactors& factors) {
    LinkResults results{};
    CalculateLink(factors, results);
    return results.FadeMargin;
}

} // namespace testing_support
