#include "factor_table.h"
#include "link_factors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

using testing_support::DefaultFactors;

namespace {

const FactorRow& row(std::string_view key) {
    for (const FactorRow& r : FactorTable) {
        if (key == r.key) {
            return r;
        }
    }
    throw std::invalid_argument(std::string(key));
}

TEST(FactorTableTest, FieldsRunInRecordOrder) {
    // The settings file and the calculation rely on table order = record order.
    LinkFactors probe{};
    const auto* base = reinterpret_cast<const char*>(&probe);
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        const auto* field = reinterpret_cast<const char*>(&(probe.*FactorTable[i].field));
        EXPECT_EQ(static_cast<std::size_t>(field - base), i * sizeof(double)) << FactorTable[i].key;
    }
}

TEST(FactorTableTest, NamesAreUniqueAndFollowTheKey) {
    std::set<std::string> seen;
    for (const FactorRow& r : FactorTable) {
        for (const char* name : {r.key, r.slider, r.valueLabel, r.menuItem}) {
            EXPECT_TRUE(seen.insert(name).second) << "spelled twice: " << name;
        }
        EXPECT_EQ(std::string("ScrollBar") + r.key, r.slider);
        EXPECT_EQ(std::string("Label") + r.key, r.valueLabel);
    }
}

TEST(FactorTableTest, SlidersAreConsistent) {
    for (const FactorRow& r : FactorTable) {
        SCOPED_TRACE(r.key);
        EXPECT_LT(r.min, r.max);
        EXPECT_GE(r.formPosition, r.min);
        EXPECT_LE(r.formPosition, r.max);
        EXPECT_TRUE(r.scale == 1 || r.scale == 10);
        // Only the Tx antenna gain shows two decimals.
        EXPECT_EQ(r.decimals, std::string_view(r.key) == "TxAntGain" ? 2 : 1);
    }
}

TEST(DefaultFactorsTest, OverwriteEveryField) {
    LinkFactors f;
    std::memset(&f, 0xFF, sizeof f); // every field NaN
    SetDefaultFactors(f);
    const double expected[kFactorCount] = {10.0, 2250.0, 5.0, 1000.0, 15.0, 0.1,  6.0,
                                           0.1,  1.0,    1.1, 0.1,    0.1,  10.0, 0.1};
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        EXPECT_EQ(f.*FactorTable[i].field, expected[i]) << FactorTable[i].key;
    }
}

struct PositionCase {
    const char* key;
    double value;
    int position;
};

void PrintTo(const PositionCase& c, std::ostream* os) {
    *os << c.key << " = " << c.value;
}

class SliderPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(SliderPositionTest, RoundsThenLimits) {
    const PositionCase& c = GetParam();
    EXPECT_EQ(SliderPosition(row(c.key), c.value), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, SliderPositionTest,
    ::testing::Values(PositionCase{"Weather", 0.25, 2}, PositionCase{"Weather", 0.26, 3},
                      PositionCase{"Weather", 0.3, 3}, PositionCase{"MinEbNoDesired", 15.5, 15},
                      PositionCase{"Freq", 2250.0, 22500}, PositionCase{"TxAntGain", 1.1, 11},
                      PositionCase{"TxAntGain", -0.25, -3}, PositionCase{"LnaGain", 6.0, 60},
                      PositionCase{"Range", 17.4, 17}));

INSTANTIATE_TEST_SUITE_P(
    Limits, SliderPositionTest,
    ::testing::Values(PositionCase{"Range", 0.1, 1}, PositionCase{"Range", 1000.0, 200},
                      PositionCase{"BitRate", 500000000.0, 300000}, PositionCase{"BitRate", 0.5, 5},
                      PositionCase{"TxAntGain", -50.0, -500},
                      PositionCase{"TxAntGain", -600.0, -500},
                      PositionCase{"TxAntGain", 1e300, 500}, PositionCase{"Freq", 0.1, 2000},
                      PositionCase{"Freq", -1e300, 2000}, PositionCase{"RxNoiseFigure", 0.0, 1},
                      PositionCase{"Range", std::numeric_limits<double>::infinity(), 200},
                      PositionCase{"Range", std::numeric_limits<double>::quiet_NaN(), 1},
                      PositionCase{"TxAntGain", std::numeric_limits<double>::quiet_NaN(), 0}));

struct ValueCase {
    const char* key;
    int position;
    double value;
};

class SliderValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SliderValueTest, IsTheNearestDouble) {
    const ValueCase& c = GetParam();
    // Exact comparison: a tenth must come out as the literal's double.
    EXPECT_EQ(SliderValue(row(c.key), c.position), c.value) << c.key << " at " << c.position;
}

INSTANTIATE_TEST_SUITE_P(
    Scales, SliderValueTest,
    ::testing::Values(ValueCase{"Weather", 3, 0.3}, ValueCase{"TxPower", 1, 0.1},
                      ValueCase{"TxAntGain", 11, 1.1}, ValueCase{"TxAntGain", -500, -50.0},
                      ValueCase{"Freq", 22500, 2250.0}, ValueCase{"BitRate", 300000, 30000.0},
                      ValueCase{"Range", 17, 17.0}, ValueCase{"MinEbNoDesired", 50, 50.0}));

SliderPositions positionsOf(const LinkFactors& f) {
    SliderPositions p{};
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        p[i] = SliderPosition(FactorTable[i], f.*FactorTable[i].field);
    }
    return p;
}

TEST(SlidersToFactorsTest, DefaultsSurviveTheRoundTrip) {
    LinkFactors defaults = DefaultFactors();
    LinkFactors read;
    std::memset(&read, 0xFF, sizeof read);
    SlidersToFactors(positionsOf(defaults), read);
    EXPECT_EQ(std::memcmp(&read, &defaults, sizeof read), 0);
}

TEST(SlidersToFactorsTest, EveryFieldTakesItsOwnSlider) {
    SliderPositions p{};
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        p[i] = FactorTable[i].min + static_cast<int>(i) + 1; // distinct, inside every range
    }
    LinkFactors f;
    std::memset(&f, 0xFF, sizeof f);
    SlidersToFactors(p, f);
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        EXPECT_EQ(f.*FactorTable[i].field, static_cast<double>(p[i]) / FactorTable[i].scale)
            << FactorTable[i].key;
    }
}

TEST(SlidersToFactorsTest, TypedValueBeyondSliderIsReplaced) {
    LinkFactors f = DefaultFactors();
    f.Range = 1000.0;       // typed, beyond the slider's 200
    f.Polarization = 0.123; // typed, finer than one position
    SliderPositions p = positionsOf(f);
    p[2] = 70; // the user moves the Tx Power slider
    SlidersToFactors(p, f);
    EXPECT_EQ(f.Range, 200.0);
    EXPECT_EQ(f.TxPower, 7.0);
    EXPECT_EQ(f.Polarization, 0.1);
}

} // namespace
