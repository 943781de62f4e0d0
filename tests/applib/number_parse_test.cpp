#include "number_parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct LongCase {
    std::string_view text;
    int base;
    bool ok;
    int32_t value;
};

void PrintTo(const LongCase& c, std::ostream* os) {
    *os << "TextToLong(\"" << c.text << "\", " << c.base << ")";
}

class TextToLongTest : public ::testing::TestWithParam<LongCase> {};

TEST_P(TextToLongTest, ReadsAndWritesValue) {
    const LongCase& c = GetParam();
    int32_t value = 77; // written in every case, so never left at 77
    EXPECT_EQ(TextToLong(c.text, c.base, value), c.ok);
    EXPECT_EQ(value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Decimal, TextToLongTest,
                         ::testing::Values(LongCase{"688", 10, true, 688},
                                           LongCase{"-8", 10, true, -8}, LongCase{"0", 10, true, 0},
                                           LongCase{"", 10, true, 0}, LongCase{" 12", 10, true, 12},
                                           LongCase{"\t+12", 10, true, 12},
                                           LongCase{"-2147483648", 10, true, -2147483647 - 1},
                                           LongCase{"2147483647", 10, true, 2147483647}));

INSTANTIATE_TEST_SUITE_P(
    Saturation, TextToLongTest,
    ::testing::Values(LongCase{"2147483648", 10, true, 2147483647},
                      LongCase{"-2147483649", 10, true, -2147483647 - 1},
                      LongCase{"4294967296", 10, true, 2147483647},
                      LongCase{"99999999999999999999999999", 10, true, 2147483647},
                      LongCase{"-99999999999999999999999999", 10, true, -2147483647 - 1},
                      LongCase{"99999999999999999999999999x", 10, false, 2147483647}));

INSTANTIATE_TEST_SUITE_P(
    Leftovers, TextToLongTest,
    ::testing::Values(LongCase{"12abc", 10, false, 12}, LongCase{"12 ", 10, false, 12},
                      LongCase{"1e3", 10, false, 1}, LongCase{"12.5", 10, false, 12},
                      LongCase{"0x1F", 10, false, 0}, LongCase{"abc", 10, false, 0},
                      LongCase{"+", 10, false, 0}, LongCase{"-", 10, false, 0},
                      LongCase{"  ", 10, false, 0}, LongCase{"1 2", 10, false, 1},
                      LongCase{std::string_view("5\0"
                                                "7",
                                                3),
                               10, false, 5}));

INSTANTIATE_TEST_SUITE_P(
    OtherBases, TextToLongTest,
    ::testing::Values(LongCase{"0x1F", 16, true, 31}, LongCase{"ff", 16, true, 255},
                      LongCase{"777", 8, true, 511}, LongCase{"8", 8, false, 0},
                      LongCase{"0x10", 0, true, 16}, LongCase{"12", 1, false, 0},
                      LongCase{"12", 37, false, 0}));

struct DoubleCase {
    std::string_view text;
    bool ok;
    double value; // what TextToDouble leaves
};

void PrintTo(const DoubleCase& c, std::ostream* os) {
    *os << "\"" << c.text << "\"";
}

class TextToDoubleTest : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(TextToDoubleTest, ReadsLikeStrtodInDecimalOnly) {
    const DoubleCase& c = GetParam();
    double value = 77.0;
    EXPECT_EQ(TextToDouble(c.text, value), c.ok);
    EXPECT_EQ(value, c.value);
}

// The prompt's reader agrees on the verdict and gives 0 whenever it fails.
TEST_P(TextToDoubleTest, ParseNumberAgreesAndZeroesOnFailure) {
    const DoubleCase& c = GetParam();
    double value = 77.0;
    EXPECT_EQ(ParseNumber(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, TextToDoubleTest,
    ::testing::Values(DoubleCase{" 12", true, 12.0}, DoubleCase{"+5", true, 5.0},
                      DoubleCase{"1e3", true, 1000.0}, DoubleCase{"1E-2", true, 0.01},
                      DoubleCase{"", true, 0.0}, DoubleCase{".5", true, 0.5},
                      DoubleCase{"5.", true, 5.0}, DoubleCase{"\t-3.25", true, -3.25},
                      DoubleCase{"+.5e1", true, 5.0}, DoubleCase{"2250.000000000", true, 2250.0},
                      DoubleCase{"0.100000000", true, 0.1},
                      DoubleCase{"-50.000000000", true, -50.0}, DoubleCase{"1e-400", true, 0.0},
                      DoubleCase{"1.7e308", true, 1.7e308}, DoubleCase{"00012", true, 12.0}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, TextToDoubleTest,
    ::testing::Values(DoubleCase{"12 ", false, 12.0}, DoubleCase{"abc", false, 0.0},
                      DoubleCase{"2,250", false, 2.0}, DoubleCase{"12abc", false, 12.0},
                      DoubleCase{"1 2", false, 1.0}, DoubleCase{".", false, 0.0},
                      DoubleCase{"-", false, 0.0}, DoubleCase{"  ", false, 0.0},
                      DoubleCase{"1e", false, 1.0}, DoubleCase{"1e+", false, 1.0},
                      DoubleCase{"1.5e2.3", false, 150.0}, DoubleCase{"e5", false, 0.0},
                      DoubleCase{"--1", false, 0.0},
                      DoubleCase{std::string_view("1\0", 2), false, 1.0}));

// Forms strtod would read but that would poison every result.
INSTANTIATE_TEST_SUITE_P(
    NotDecimalOrNotFinite, TextToDoubleTest,
    ::testing::Values(DoubleCase{"inf", false, 0.0}, DoubleCase{"-INF", false, 0.0},
                      DoubleCase{"infinity", false, 0.0}, DoubleCase{"nan", false, 0.0},
                      DoubleCase{"NAN(123)", false, 0.0}, DoubleCase{"0x1F", false, 0.0},
                      DoubleCase{"0x1p3", false, 0.0}, DoubleCase{"1e400", false, 0.0},
                      DoubleCase{"-1e400", false, 0.0}, DoubleCase{"1.8e308", false, 0.0}));

TEST(TextToDoubleTest, ReadsFileTextBackExactly) {
    // Doubles are written with nine decimals; the common ones must come back
    // as the very same double, not a neighbour.
    const struct {
        std::string_view text;
        double value;
    } cases[] = {
        {"0.100000000", 0.1}, {"1.100000000", 1.1}, {"0.3", 0.3}, {"2250.000000000", 2250.0}};
    for (const auto& c : cases) {
        double value = 0.0;
        ASSERT_TRUE(TextToDouble(c.text, value)) << c.text;
        EXPECT_EQ(std::memcmp(&value, &c.value, sizeof value), 0) << c.text;
    }
}

TEST(TextToDoubleTest, NegativeZeroKeepsItsSign) {
    double value = 1.0;
    ASSERT_TRUE(TextToDouble("-0", value));
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(std::signbit(value));
}

TEST(TextToDoubleTest, LongProfileValueIsReadWhole) {
    // A hand-edited value may be up to 1023 characters long.
    const std::string text = "1." + std::string(1000, '0') + "5";
    double value = 0.0;
    EXPECT_TRUE(TextToDouble(text, value));
    EXPECT_EQ(value, 1.0);
}

struct RangeCase {
    double x, a, b;
    bool inRange;
    double clamped; // ClampToRange(a, b, x)
};

class RangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeTest, InRangeAndClampAgree) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(InRange(c.x, c.a, c.b), c.inRange);
    EXPECT_EQ(InRange(c.x, c.b, c.a), c.inRange) << "bounds swapped";
    EXPECT_EQ(ClampToRange(c.a, c.b, c.x), c.clamped);
    EXPECT_EQ(ClampToRange(c.b, c.a, c.x), c.clamped) << "bounds swapped";
}

INSTANTIATE_TEST_SUITE_P(PromptBounds, RangeTest,
                         ::testing::Values(RangeCase{5.0, 1.0, 10.0, true, 5.0},
                                           RangeCase{1.0, 1.0, 10.0, true, 1.0},
                                           RangeCase{10.0, 1.0, 10.0, true, 10.0},
                                           RangeCase{0.05, 0.1, 10000.0, false, 0.1},
                                           RangeCase{0.0, 0.1, 10000.0, false, 0.1},
                                           RangeCase{-600.0, -500.0, 500.0, false, -500.0},
                                           RangeCase{600.0, -500.0, 500.0, false, 500.0},
                                           RangeCase{0.5, 1.0, 500000000.0, false, 1.0},
                                           RangeCase{15.5, 1.0, 50.0, true, 15.5},
                                           RangeCase{3.0, 3.0, 3.0, true, 3.0},
                                           RangeCase{kNaN, 0.0, 300.0, false, 0.0}));

} // namespace
