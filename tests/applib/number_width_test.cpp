// A number in a field keeps its magnitude: the window's text where it shows
// the number, an exponent form that fits where the window's text would drop
// leading digits or the exponent.
#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct WidthCase {
    const char* name;
    int width;
    int decimals;
    double value;
    const char* expected;
};

class FormatInWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(FormatInWidthTest, KeepsTheMagnitude) {
    const WidthCase& c = GetParam();
    EXPECT_EQ(FormatInWidth(c.width, c.decimals, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FormatInWidthTest,
    ::testing::Values(
        // The window's text, byte for byte, wherever it shows the number.
        WidthCase{"Margin", 7, 1, 21.94, "21.9"},
        WidthCase{"SixDigitsDropOnlyTheDecimals", 7, 1, -141681.2, "-141681"},
        WidthCase{"SevenDigits", 7, 1, 1234567.8, "1234568"},
        WidthCase{"SentinelFitsAsItIs", 7, 1, -2e28, "-2E28"},
        WidthCase{"SmallStaysFixed", 7, 1, 1e-9, "0.0"},
        WidthCase{"FactorText", 12, 2, 1.1, "1.10"}, WidthCase{"NotANumber", 7, 1, NAN, "NAN"},
        WidthCase{"Infinite", 7, 1, -INFINITY, "-INF"},
        // Where the window's text would lose leading digits or the exponent.
        WidthCase{"ExponentWouldBeCut", 7, 1, -1.1635e37, "-1.2E37"},
        WidthCase{"LeadingDigitWouldBeCut", 7, 1, -1416812.3, "-1.42E6"},
        WidthCase{"Reliability", 7, 1, -365654578.55, "-3.66E8"},
        WidthCase{"WideFieldRoundsToFit", 12, 2, -1.9999999999799998e28, "-2E28"},
        WidthCase{"CarryWidensTheExponent", 7, 1, 9.9999e99, "1E100"},
        WidthCase{"ManyDigitsInAWideField", 12, 1, 123456789012345.0, "1.2345679E14"}),
    [](const ::testing::TestParamInfo<WidthCase>& info) { return info.param.name; });

TEST(ScientificInWidth, KeepsTheExponentWhenNoDigitFits) {
    EXPECT_EQ(ScientificInWidth(3, -1.16e37), "-1E37");
    EXPECT_EQ(ScientificInWidth(10, 1.5e-9), "1.5E-9");
    EXPECT_EQ(ScientificInWidth(8, -1.1635e37), "-1.16E37");
}

TEST(FormatInWidth, UsesTheScreensSeparator) {
    SetDecimalSeparator(",");
    const std::string changed = FormatInWidth(7, 1, -1.1635e37);
    const std::string kept = FormatInWidth(7, 1, -141681.2);
    const std::string plain = FormatInWidth(7, 1, 21.94);
    SetDecimalSeparator(".");
    EXPECT_EQ(changed, "-1,2E37");
    EXPECT_EQ(kept, "-141681");
    EXPECT_EQ(plain, "21,9");
}

} // namespace
