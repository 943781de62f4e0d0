#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every test leaves the process-wide separator as it found it.
class NumberTextTest : public ::testing::Test {
  protected:
    void TearDown() override { SetDecimalSeparator("."); }
};

struct FixedCase {
    int precision;
    int decimals;
    double value;
    const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* os) {
    *os << "FormatFixed(" << c.precision << ", " << c.decimals << ", " << c.value << ")";
}

class FormatFixedTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, WritesExpectedText) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.precision, c.decimals, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LabelsAndPrompts, FormatFixedTest,
    ::testing::Values(FixedCase{7, 1, -173.9, "-173.9"}, FixedCase{12, 2, 1.1, "1.10"},
                      FixedCase{12, 1, 2250.0, "2250.0"},
                      FixedCase{16, 0, 500000000.0, "500000000"}, FixedCase{4, 0, 7.0, "7"},
                      FixedCase{16, 1, 10000.0, "10000.0"}, FixedCase{16, 1, 0.1, "0.1"},
                      FixedCase{12, 2, -500.0, "-500.00"}, FixedCase{12, 2, 0.04, "0.04"},
                      FixedCase{12, 3, 0.0405, "0.041"}));

// A dropped digit of 5 or more raises the last kept one, whatever the sign;
// the decision is taken on the 18-digit expansion, not on the binary value.
INSTANTIATE_TEST_SUITE_P(
    RoundingTies, FormatFixedTest,
    ::testing::Values(FixedCase{12, 1, 0.25, "0.3"}, FixedCase{12, 1, -0.25, "-0.3"},
                      FixedCase{16, 0, 15.5, "16"}, FixedCase{16, 0, 2.5, "3"},
                      FixedCase{16, 0, -2.5, "-3"}, FixedCase{12, 1, 0.15, "0.1"},
                      FixedCase{12, 1, 1.45, "1.4"}, FixedCase{12, 2, 0.125, "0.13"},
                      FixedCase{12, 2, -0.125, "-0.13"}, FixedCase{12, 2, 0.375, "0.38"},
                      FixedCase{12, 2, 1.005, "1.00"}, FixedCase{16, 0, 0.49, "0"}));

INSTANTIATE_TEST_SUITE_P(
    Carries, FormatFixedTest,
    ::testing::Values(FixedCase{7, 1, 99.95, "100.0"}, FixedCase{7, 1, -99.95, "-100.0"},
                      FixedCase{12, 1, 9.96, "10.0"}, FixedCase{16, 0, 999.5, "1000"},
                      FixedCase{7, 1, 0.96, "1.0"},
                      // rounding to 8 significant digits carries into a new integer digit
                      FixedCase{8, 8, 9.999999999, "10.00000"},
                      // the carry leaves more integer digits than the precision
                      FixedCase{7, 1, 9999999.96, "1E7"}));

INSTANTIATE_TEST_SUITE_P(
    CutToPrecision, FormatFixedTest,
    ::testing::Values(FixedCase{7, 1, -12345.6, "-12345."}, FixedCase{7, 1, 123456.7, "123456."},
                      FixedCase{7, 1, 1234567.8, "1234568"}, FixedCase{4, 0, 9999.0, "9999"},
                      FixedCase{4, 2, 1.23456, "1.23"}, FixedCase{5, 4, 12.34567, "12.34"},
                      FixedCase{1, 0, 123.0, "1"}, FixedCase{0, 1, 5.0, ""},
                      FixedCase{-3, 1, 5.0, ""},
                      // far more decimals than fit: only the first P characters
                      FixedCase{5, 1000000, 1.5, "1.500"}));

INSTANTIATE_TEST_SUITE_P(
    ScientificForm, FormatFixedTest,
    ::testing::Values(FixedCase{4, 0, 10000.0, "1E4"}, FixedCase{7, 1, -2.5e28, "-2.5E28"},
                      FixedCase{7, 1, 9.9999999999e26, "1E27"},
                      FixedCase{7, 1, -9.9999999999e26, "-1E27"},
                      FixedCase{7, 1, 12345678.0, "1.23456"}, FixedCase{16, 0, 1e300, "1E300"},
                      FixedCase{7, 1, -1.5e10, "-1.5E10"},
                      // the precision is limited to 18 digits: 1e17 still fits, 1e18 does not
                      FixedCase{30, 0, 1e17, "100000000000000000"}, FixedCase{30, 0, 1e18, "1E18"},
                      // below 2 the precision counts as 2
                      FixedCase{1, 0, 7.0, "7"}, FixedCase{6, 0, 123.0, "123"},
                      FixedCase{0, 0, 123.0, ""}));

INSTANTIATE_TEST_SUITE_P(
    ZeroAndSmall, FormatFixedTest,
    ::testing::Values(FixedCase{7, 1, 0.0, "0.0"}, FixedCase{7, 1, -0.0, "0.0"},
                      FixedCase{7, 1, -0.04, "0.0"}, FixedCase{7, 1, -0.05, "-0.1"},
                      FixedCase{7, 1, 0.05, "0.1"}, FixedCase{12, 1, 0.004, "0.0"},
                      FixedCase{12, 1, -0.009, "0.0"}, FixedCase{12, 0, -0.4, "0"},
                      FixedCase{12, 2, 5e-324, "0.00"}, FixedCase{16, 0, 0.0, "0"},
                      FixedCase{12, 2, -1e-300, "0.00"}));

INSTANTIATE_TEST_SUITE_P(NotFinite, FormatFixedTest,
                         ::testing::Values(FixedCase{7, 1, kInf, "INF"},
                                           FixedCase{7, 1, -kInf, "-INF"},
                                           FixedCase{7, 1, kNaN, "NAN"},
                                           FixedCase{7, 1, -kNaN, "-NAN"}));

struct ExponentCase {
    int precision;
    int expDigits;
    double value;
    const char* expected;
};

void PrintTo(const ExponentCase& c, std::ostream* os) {
    *os << "FormatExponent(" << c.precision << ", " << c.expDigits << ", " << c.value << ")";
}

class FormatExponentTest : public ::testing::TestWithParam<ExponentCase> {};

TEST_P(FormatExponentTest, WritesExpectedText) {
    const ExponentCase& c = GetParam();
    EXPECT_EQ(FormatExponent(c.precision, c.expDigits, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    BitErrorLabel, FormatExponentTest,
    ::testing::Values(ExponentCase{2, 1, 0.0000001, "1.0E-7"}, ExponentCase{2, 1, 0.03, "3.0E-2"},
                      ExponentCase{2, 1, 0.0, "0.0E+0"}, ExponentCase{2, 1, -0.0, "0.0E+0"},
                      ExponentCase{2, 1, 0.0405, "4.1E-2"}, ExponentCase{2, 1, 0.08, "8.0E-2"},
                      ExponentCase{2, 1, 0.000255, "2.6E-4"}));

INSTANTIATE_TEST_SUITE_P(
    Forms, FormatExponentTest,
    ::testing::Values(ExponentCase{2, 1, 9.96, "1.0E+1"}, ExponentCase{2, 1, -9.96, "-1.0E+1"},
                      ExponentCase{3, 2, 12345.0, "1.23E+04"}, ExponentCase{2, 3, 1e-7, "1.0E-007"},
                      ExponentCase{2, 4, 1e-7, "1.0E-7"}, ExponentCase{2, 9, 12345.0, "1.2E+4"},
                      ExponentCase{5, 1, -2.5, "-2.5000E+0"}, ExponentCase{1, 1, 7.0, "7.0E+0"},
                      ExponentCase{2, 1, 1e300, "1.0E+300"}, ExponentCase{2, 1, 5e-324, "4.9E-324"},
                      ExponentCase{2, 1, 0.0125, "1.3E-2"}, ExponentCase{2, 1, -0.0125, "-1.3E-2"},
                      // 18 significant digits at most, taken from the 18-digit expansion
                      ExponentCase{18, 1, 0.1, "1.00000000000000006E-1"},
                      ExponentCase{40, 1, 0.1, "1.00000000000000006E-1"},
                      ExponentCase{17, 1, 0.1, "1.0000000000000001E-1"}));

INSTANTIATE_TEST_SUITE_P(NotFinite, FormatExponentTest,
                         ::testing::Values(ExponentCase{2, 1, kInf, "INF"},
                                           ExponentCase{2, 1, -kInf, "-INF"},
                                           ExponentCase{2, 1, kNaN, "NAN"},
                                           ExponentCase{2, 1, -kNaN, "-NAN"}));

struct RoundCase {
    double x;
    int32_t expected;
};

class RoundNearestTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundNearestTest, GivesExpectedPosition) {
    EXPECT_EQ(RoundNearest(GetParam().x), GetParam().expected) << "x = " << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    HalvesGoDown, RoundNearestTest,
    ::testing::Values(RoundCase{22.5, 22}, RoundCase{22.51, 23}, RoundCase{-0.5, -1},
                      RoundCase{2.5, 2}, RoundCase{-2.5, -3}, RoundCase{2.6, 3}, RoundCase{2.4, 2},
                      RoundCase{-2.4, -2}, RoundCase{-2.6, -3}, RoundCase{0.0, 0},
                      RoundCase{-0.0, 0}, RoundCase{7.0, 7}, RoundCase{-500.0, -500}));

INSTANTIATE_TEST_SUITE_P(
    Limits, RoundNearestTest,
    ::testing::Values(RoundCase{2147483647.0, 2147483647}, RoundCase{2147483646.5, 2147483646},
                      RoundCase{2147483647.4, 2147483647}, RoundCase{3e9, 2147483647},
                      RoundCase{-2147483647.0, -2147483647}, RoundCase{-2147483646.5, -2147483647},
                      RoundCase{-2147483648.0, -2147483647}, RoundCase{-3e9, -2147483647},
                      RoundCase{1e300, 2147483647}, RoundCase{-1e300, -2147483647},
                      RoundCase{kInf, 2147483647}, RoundCase{-kInf, -2147483647},
                      RoundCase{kNaN, 0}));

TEST_F(NumberTextTest, CommaSeparatorReachesEveryForm) {
    SetDecimalSeparator(",");
    EXPECT_EQ(DecimalSeparator(), ",");
    EXPECT_EQ(FormatFixed(7, 1, -173.9), "-173,9");
    EXPECT_EQ(FormatFixed(12, 2, 1.1), "1,10");
    EXPECT_EQ(FormatFixed(7, 1, -2.5e28), "-2,5E28");
    EXPECT_EQ(FormatFixed(16, 0, 500000000.0), "500000000");
    EXPECT_EQ(FormatExponent(2, 1, 0.03), "3,0E-2");
    EXPECT_EQ(FormatExponent(2, 1, 0.0), "0,0E+0");
}

TEST_F(NumberTextTest, MultiByteSeparatorCountsAsOneCharacterInTheCut) {
    const std::string arabic = "\xD9\xAB"; // U+066B ARABIC DECIMAL SEPARATOR
    SetDecimalSeparator(arabic);
    EXPECT_EQ(FormatFixed(7, 1, -173.9), "-173" + arabic + "9");
    EXPECT_EQ(FormatFixed(7, 1, -12345.6), "-12345" + arabic);
    EXPECT_EQ(FormatFixed(6, 2, 1.25), "1" + arabic + "25");
    EXPECT_EQ(FormatFixed(3, 2, 1.25), "1" + arabic + "2");
}

TEST_F(NumberTextTest, EmptySeparatorFallsBackToFullStop) {
    SetDecimalSeparator(",");
    SetDecimalSeparator("");
    EXPECT_EQ(DecimalSeparator(), ".");
    EXPECT_EQ(FormatFixed(7, 1, 2.5), "2.5");
}

} // namespace
