#include "factor_table.h"
#include "link_calculation.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using testing_support::DefaultFactors;

namespace {

using testing_support::PrintTo;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LinkResults calculate(const LinkFactors& f) {
    LinkResults r;
    std::memset(&r, 0xFF, sizeof r); // NaN everywhere: every field must be written
    CalculateLink(f, r);
    return r;
}

std::array<std::string, kResultCount> resultTexts(const LinkResults& r) {
    std::array<std::string, kResultCount> texts;
    for (std::size_t i = 0; i < kResultCount; ++i) {
        texts[i] = ResultText(ResultTable[i], r.*ResultTable[i].field);
    }
    return texts;
}

struct LogCase {
    double x;
    double expected;
};

class SafeLog10Test : public ::testing::TestWithParam<LogCase> {};

TEST_P(SafeLog10Test, GivesLogarithmOrSentinel) {
    const double result = SafeLog10(GetParam().x);
    EXPECT_DOUBLE_EQ(result, GetParam().expected) << "x = " << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SafeLog10Test,
    ::testing::Values(LogCase{100.0, 2.0}, LogCase{1.0, 0.0}, LogCase{0.001, -3.0},
                      LogCase{5e-324, std::log10(5e-324)}, LogCase{0.0, FailureSentinel},
                      LogCase{-0.0, FailureSentinel}, LogCase{-1.0, FailureSentinel},
                      LogCase{-kInf, FailureSentinel}, LogCase{kNaN, FailureSentinel}));

struct PowCase {
    double base;
    double exponent;
    double expected;
};

class SafePowTest : public ::testing::TestWithParam<PowCase> {};

TEST_P(SafePowTest, GivesPowerOrSentinel) {
    const PowCase& c = GetParam();
    const double result = SafePow(c.base, c.exponent);
    EXPECT_DOUBLE_EQ(result, c.expected) << c.base << "^" << c.exponent;
}

INSTANTIATE_TEST_SUITE_P(Table, SafePowTest,
                         ::testing::Values(PowCase{10.0, 2.0, 100.0}, PowCase{10.0, 0.0, 1.0},
                                           PowCase{10.0, -1.0, 0.1},
                                           // overflow and invalid operations
                                           PowCase{10.0, 400.0, FailureSentinel},
                                           PowCase{10.0, kInf, FailureSentinel},
                                           PowCase{10.0, kNaN, FailureSentinel},
                                           PowCase{-8.0, 1.0 / 3.0, FailureSentinel},
                                           PowCase{0.0, -1.0, FailureSentinel},
                                           // underflow keeps the true value: zero, or a subnormal
                                           PowCase{10.0, -400.0, 0.0}, PowCase{10.0, -kInf, 0.0},
                                           PowCase{10.0, -2e27, 0.0}));

TEST(SafePowTest, SubnormalResultIsKept) {
    const double tiny = SafePow(10.0, -320.0);
    EXPECT_GT(tiny, 0.0);
    EXPECT_LT(tiny, 1e-319);
}

TEST(CalculateLinkTest, UnitReferencesGiveExactDecibels) {
    // 1 mile at 1 MHz, 1 W, 1 kbit/s, noiseless, no losses or gains: every
    // term is a round number, so a sign or unit slip shows at once.
    LinkFactors f{};
    f.Range = 1.0;
    f.Freq = 1.0;
    f.TxPower = 1.0;
    f.BitRate = 1.0;
    f.MinEbNoDesired = 100.0;
    const LinkResults r = calculate(f);
    EXPECT_DOUBLE_EQ(r.FreeSpaceAtten, -36.6);
    EXPECT_DOUBLE_EQ(r.TxPowerdb, 30.0);
    EXPECT_DOUBLE_EQ(r.BitRatedb, 30.0);
    EXPECT_DOUBLE_EQ(r.NoiseTemp, -173.9);
    EXPECT_DOUBLE_EQ(r.NoisePbitNo, -173.9);
    EXPECT_DOUBLE_EQ(r.RxPbitEb, -36.6);
    EXPECT_DOUBLE_EQ(r.RxEbNo, 137.3);
    EXPECT_DOUBLE_EQ(r.FadeMargin, 37.3);
    EXPECT_NEAR(r.Reliability, 1.0 - std::pow(10.0, -3.73), 1e-15);
}

TEST(CalculateLinkTest, LossesSubtractAndGainsAdd) {
    LinkFactors f{};
    f.Range = 1.0;
    f.Freq = 1.0;
    f.TxPower = 1.0;
    f.BitRate = 1.0;
    f.TxFeedLoss = 1.0;
    f.Weather = 2.0;
    f.Polarization = 4.0;
    f.TxAntGain = 8.0;
    f.RxAntGain = 16.0;
    f.RxFeedLoss = 32.0;
    EXPECT_DOUBLE_EQ(calculate(f).RxPbitEb, -36.6 - 1.0 - 2.0 - 4.0 + 8.0 + 16.0 - 32.0);
}

struct CascadeCase {
    double lnaNoiseFigure; // dB
    double lnaGain;        // dB
    double rxNoiseFigure;  // dB
    double noiseFactor;    // F1 + (F2 - 1) / G, as a ratio
};

class NoiseCascadeTest : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(NoiseCascadeTest, SecondStageIsScaledByLnaGain) {
    const CascadeCase& c = GetParam();
    LinkFactors f = DefaultFactors();
    f.LnaNoiseFigure = c.lnaNoiseFigure;
    f.LnaGain = c.lnaGain;
    f.RxNoiseFigure = c.rxNoiseFigure;
    EXPECT_NEAR(calculate(f).NoisePbitNo, 10.0 * std::log10(c.noiseFactor) - 173.9, 1e-12);
}

const double kTwoDb = 10.0 * std::log10(2.0);   // a ratio of 2
const double kThreeDb = 10.0 * std::log10(3.0); // a ratio of 3

INSTANTIATE_TEST_SUITE_P(Stages, NoiseCascadeTest,
                         ::testing::Values(CascadeCase{0.0, 0.0, kTwoDb, 2.0},
                                           CascadeCase{0.0, 10.0, kTwoDb, 1.1},
                                           CascadeCase{kTwoDb, 0.0, 0.0, 2.0},
                                           CascadeCase{kTwoDb, 10.0, kThreeDb, 2.2},
                                           CascadeCase{kThreeDb, 20.0, kThreeDb, 3.02}));

// For each factor raised by one unit: which results change, and which way
// the received Eb/No goes. Catches a factor read into the wrong term.
struct DependencyCase {
    double LinkFactors::*field;
    const char* name;
    unsigned changed; // bit i: ResultTable[i] changes
    int ebNoDirection;
};

constexpr unsigned bit(int i) {
    return 1u << i;
}
constexpr unsigned kAfterEb = bit(5) | bit(6) | bit(7) | bit(8); // RxPbitEb and everything after
constexpr unsigned kAfterNo = bit(4) | bit(6) | bit(7) | bit(8); // NoisePbitNo and after, not Eb
constexpr unsigned kMarginOnly = bit(7) | bit(8);

class DependencyTest : public ::testing::TestWithParam<DependencyCase> {};

TEST_P(DependencyTest, FactorReachesOnlyItsResults) {
    const DependencyCase& c = GetParam();
    const LinkResults before = calculate(DefaultFactors());
    LinkFactors f = DefaultFactors();
    f.*c.field += 1.0;
    const LinkResults after = calculate(f);
    for (std::size_t i = 0; i < kResultCount; ++i) {
        const bool changed = before.*ResultTable[i].field != after.*ResultTable[i].field;
        EXPECT_EQ(changed, (c.changed & bit(static_cast<int>(i))) != 0) << ResultTable[i].label;
    }
    const double delta = after.RxEbNo - before.RxEbNo;
    EXPECT_EQ((delta > 0) - (delta < 0), c.ebNoDirection);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFactor, DependencyTest,
    ::testing::Values(DependencyCase{&LinkFactors::Range, "Range", bit(0) | kAfterEb, -1},
                      DependencyCase{&LinkFactors::Freq, "Freq", bit(0) | kAfterEb, -1},
                      DependencyCase{&LinkFactors::TxPower, "TxPower", bit(1) | kAfterEb, +1},
                      DependencyCase{&LinkFactors::BitRate, "BitRate", bit(2) | kAfterEb, -1},
                      DependencyCase{&LinkFactors::MinEbNoDesired, "MinEbNoDesired", kMarginOnly,
                                     0},
                      DependencyCase{&LinkFactors::LnaNoiseFigure, "LnaNoiseFigure", kAfterNo, -1},
                      DependencyCase{&LinkFactors::LnaGain, "LnaGain", kAfterNo, +1},
                      DependencyCase{&LinkFactors::RxNoiseFigure, "RxNoiseFigure", kAfterNo, -1},
                      DependencyCase{&LinkFactors::TxFeedLoss, "TxFeedLoss", kAfterEb, -1},
                      DependencyCase{&LinkFactors::TxAntGain, "TxAntGain", kAfterEb, +1},
                      DependencyCase{&LinkFactors::Weather, "Weather", kAfterEb, -1},
                      DependencyCase{&LinkFactors::Polarization, "Polarization", kAfterEb, -1},
                      DependencyCase{&LinkFactors::RxAntGain, "RxAntGain", kAfterEb, +1},
                      DependencyCase{&LinkFactors::RxFeedLoss, "RxFeedLoss", kAfterEb, -1}));

struct MarginCase {
    double fadeMargin; // dB
    const char* reliabilityText;
};

class ReliabilityTest : public ::testing::TestWithParam<MarginCase> {};

TEST_P(ReliabilityTest, FollowsTheFadeMargin) {
    LinkFactors f = DefaultFactors();
    const double ebNo = calculate(f).RxEbNo;
    f.MinEbNoDesired = ebNo - GetParam().fadeMargin;
    const LinkResults r = calculate(f);
    EXPECT_NEAR(r.FadeMargin, GetParam().fadeMargin, 1e-9);
    EXPECT_EQ(ResultText(ResultTable[8], r.Reliability), GetParam().reliabilityText);
}

INSTANTIATE_TEST_SUITE_P(
    Margins, ReliabilityTest,
    ::testing::Values(MarginCase{0.0, "0.0"}, MarginCase{10.0, "90.0"}, MarginCase{20.0, "99.0"},
                      MarginCase{-10.0, "-900.0"}, MarginCase{200.0, "100.0"},
                      // 10^(-x/10) underflows to 0 far below: r = 1, reliability 0
                      MarginCase{-5000.0, "0.0"}));

TEST(ReliabilityTest, HugelyNegativeMarginGivesZeroNotInfinity) {
    LinkFactors f = DefaultFactors();
    f.MinEbNoDesired = 5000.0;
    const LinkResults r = calculate(f);
    EXPECT_EQ(r.Reliability, 0.0);
}

// A factor under a logarithm that is zero or negative: the sentinel flows on
// into the results and is shown by the number rules, never as a crash.
struct SentinelCase {
    double LinkFactors::*field;
    double value;
    const char* name;
    std::array<const char*, kResultCount> texts;
};

void PrintTo(const SentinelCase& c, std::ostream* os) {
    *os << c.name << " = " << c.value;
}

class SentinelTest : public ::testing::TestWithParam<SentinelCase> {};

TEST_P(SentinelTest, ResultsCarryTheSentinelMagnitude) {
    const SentinelCase& c = GetParam();
    LinkFactors f = DefaultFactors();
    f.*c.field = c.value;
    const LinkResults r = calculate(f);
    const auto texts = resultTexts(r);
    for (std::size_t i = 0; i < kResultCount; ++i) {
        EXPECT_TRUE(std::isfinite(r.*ResultTable[i].field)) << ResultTable[i].label;
        EXPECT_EQ(texts[i], c.texts[i]) << ResultTable[i].label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ZeroOrNegative, SentinelTest,
    ::testing::Values(SentinelCase{&LinkFactors::Range,
                                   0.0,
                                   "Range",
                                   {"-2E28", "37.0", "60.0", "-173.9", "-173.8", "-2E28", "-2E28",
                                    "-2E28", "0.0"}},
                      SentinelCase{&LinkFactors::Range,
                                   -5.0,
                                   "Range",
                                   {"-2E28", "37.0", "60.0", "-173.9", "-173.8", "-2E28", "-2E28",
                                    "-2E28", "0.0"}},
                      SentinelCase{&LinkFactors::Freq,
                                   0.0,
                                   "Freq",
                                   {"-2E28", "37.0", "60.0", "-173.9", "-173.8", "-2E28", "-2E28",
                                    "-2E28", "0.0"}},
                      SentinelCase{&LinkFactors::TxPower,
                                   0.0,
                                   "TxPower",
                                   {"-123.6", "1E28", "60.0", "-173.9", "-173.8", "1E28", "1E28",
                                    "1E28", "100.0"}},
                      SentinelCase{&LinkFactors::BitRate,
                                   0.0,
                                   "BitRate",
                                   {"-123.6", "37.0", "1E28", "-173.9", "-173.8", "-1E28", "-1E28",
                                    "-1E28", "0.0"}}));

TEST(SentinelTest, FreeSpaceTermHoldsTheSentinelItself) {
    LinkFactors f = DefaultFactors();
    f.Range = 0.0;
    const LinkResults r = calculate(f);
    EXPECT_EQ(r.FreeSpaceAtten, -((20.0 * FailureSentinel + 20.0 * std::log10(2250.0)) + 36.6));
}

TEST(SentinelTest, OverflowingNoiseStageGivesSentinelNotInfinity) {
    // A noise figure of 4000 dB (hand-edited) overflows 10^(x/10).
    LinkFactors f = DefaultFactors();
    f.RxNoiseFigure = 4000.0;
    const LinkResults r = calculate(f);
    EXPECT_TRUE(std::isfinite(r.NoisePbitNo));
    EXPECT_NEAR(r.NoisePbitNo, 10.0 * std::log10(FailureSentinel / std::pow(10.0, 0.6)) - 173.9,
                1e-9);
}

struct InterpolationCase {
    double x;
    double expected;
};

class InterpolateBepTest : public ::testing::TestWithParam<InterpolationCase> {};

TEST_P(InterpolateBepTest, LooksUpTheTable) {
    double xs[8];
    double ys[8];
    for (std::size_t i = 0; i < 8; ++i) {
        xs[i] = BepTable[i].ebNo;
        ys[i] = BepTable[i].bep;
    }
    EXPECT_NEAR(InterpolateTable(8, xs, ys, GetParam().x), GetParam().expected, 1e-15)
        << "x = " << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    InsideAndOutside, InterpolateBepTest,
    ::testing::Values(InterpolationCase{9.5, 0.0405}, InterpolationCase{8.5, 0.055},
                      InterpolationCase{10.5, 0.0045}, InterpolationCase{12.5, 0.000255},
                      InterpolationCase{14.25, 0.000000775}, InterpolationCase{10.0, 0.001},
                      InterpolationCase{11.0, 0.008}, InterpolationCase{8.0, 0.03},
                      InterpolationCase{15.0, 0.0000001}, InterpolationCase{7.0, 0.03},
                      InterpolationCase{-1e300, 0.03}, InterpolationCase{16.0, 0.0000001},
                      InterpolationCase{1e300, 0.0000001}, InterpolationCase{kNaN, 0.03}));

TEST(InterpolateTableTest, TooFewPointsGiveZero) {
    const double xs[] = {1.0, 2.0};
    const double ys[] = {5.0, 7.0};
    EXPECT_EQ(InterpolateTable(1, xs, ys, 1.0), 0.0);
    EXPECT_EQ(InterpolateTable(0, xs, ys, 1.0), 0.0);
    EXPECT_EQ(InterpolateTable(-3, xs, ys, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(InterpolateTable(2, xs, ys, 1.25), 5.5);
}

struct BepCase {
    double minEbNo;
    const char* text;
};

class BepTextTest : public ::testing::TestWithParam<BepCase> {};

TEST_P(BepTextTest, ShowsPrefixOutsideTheTable) {
    EXPECT_EQ(BepText(GetParam().minEbNo), GetParam().text) << GetParam().minEbNo;
}

INSTANTIATE_TEST_SUITE_P(Points, BepTextTest,
                         ::testing::Values(BepCase{15.0, "1.0E-7"}, BepCase{16.0, "> 1.0E-7"},
                                           BepCase{15.5, "> 1.0E-7"}, BepCase{7.0, "< 3.0E-2"},
                                           BepCase{1.0, "< 3.0E-2"}, BepCase{7.99, "< 3.0E-2"},
                                           BepCase{8.0, "3.0E-2"}, BepCase{9.0, "8.0E-2"},
                                           BepCase{10.0, "1.0E-3"}, BepCase{9.5, "4.1E-2"},
                                           BepCase{12.0, "5.0E-4"}, BepCase{13.0, "1.0E-5"},
                                           BepCase{50.0, "> 1.0E-7"}));

TEST(ResultTableTest, RowsInDisplayOrderWithPercentLast) {
    const char* labels[kResultCount] = {
        "LabelFreeSpaceAtten", "LabelTxPowerdb",   "LabelBitRatedb",
        "LabelNoiseTemp",      "LabelNoisePbitNo", "LabelRxPbitEb",
        "LabelRxEbNo",         "LabelFadeMargin",  "LabelReliability"};
    LinkResults probe{};
    const auto* base = reinterpret_cast<const char*>(&probe);
    for (std::size_t i = 0; i < kResultCount; ++i) {
        EXPECT_STREQ(ResultTable[i].label, labels[i]);
        const auto* field = reinterpret_cast<const char*>(&(probe.*ResultTable[i].field));
        EXPECT_EQ(static_cast<std::size_t>(field - base), i * sizeof(double)) << labels[i];
        EXPECT_EQ(ResultTable[i].displayScale, i == 8 ? 100.0 : 1.0) << labels[i];
    }
    EXPECT_STREQ(ResultTable[1].caption, "Tx Power "); // the caption ends with a blank
}

} // namespace
