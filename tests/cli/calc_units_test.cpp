// Every unit of every key, converted to the factor's own unit; units that do
// not fit their key are refused with a message naming the ones that do.
#include "calc_options.h"
#include "calc_units.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UnitCase {
    const char* key;
    const char* text;
    double expected; // the factor's own unit
};

void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << c.key << "=" << c.text;
}

class UnitTable : public testing::TestWithParam<UnitCase> {};

TEST_P(UnitTable, ConvertsToTheFactorsOwnUnit) {
    double value = 0.0;
    std::string error;
    ASSERT_TRUE(ParseValueWithUnit(*FindFactor(GetParam().key), GetParam().text, value, error))
        << error;
    EXPECT_NEAR(value, GetParam().expected, 1e-12 * std::abs(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitTable,
    testing::Values(UnitCase{"Range", "2mi", 2.0}, UnitCase{"Range", "1.609344 km", 1.0},
                    UnitCase{"Range", "1609.344m", 1.0},
                    UnitCase{"Range", "1nmi", 1.852 / 1.609344},
                    UnitCase{"Freq", "2.25e9Hz", 2250.0}, UnitCase{"Freq", "2250000kHz", 2250.0},
                    UnitCase{"Freq", "2250MHz", 2250.0}, UnitCase{"Freq", "2.25GHz", 2250.0},
                    UnitCase{"TxPower", "5W", 5.0}, UnitCase{"TxPower", "500mW", 0.5},
                    UnitCase{"TxPower", "30dBm", 1.0}, UnitCase{"TxPower", "10dBW", 10.0},
                    UnitCase{"BitRate", "1000bps", 1.0}, UnitCase{"BitRate", "5kbps", 5.0},
                    UnitCase{"BitRate", "2Mbps", 2000.0}, UnitCase{"MinEbNoDesired", "9.5dB", 9.5},
                    UnitCase{"LnaNoiseFigure", "0.5dB", 0.5}, UnitCase{"LnaGain", "20dB", 20.0},
                    UnitCase{"RxNoiseFigure", "3dB", 3.0}, UnitCase{"TxFeedLoss", "1.5dB", 1.5},
                    UnitCase{"Weather", "4dB", 4.0}, UnitCase{"Polarization", "3dB", 3.0},
                    UnitCase{"RxFeedLoss", "0.2dB", 0.2}, UnitCase{"TxAntGain", "3dB", 3.0},
                    UnitCase{"TxAntGain", "3dBi", 3.0}, UnitCase{"TxAntGain", "3dBd", 5.15},
                    UnitCase{"RxAntGain", "3dB", 3.0}, UnitCase{"RxAntGain", "3dBi", 3.0},
                    UnitCase{"RxAntGain", "-2.15dBd", 0.0}, UnitCase{"Range", " 7 ", 7.0}));

class BadUnit : public testing::TestWithParam<UnitCase> {};

TEST_P(BadUnit, IsRefusedWithAReason) {
    double value = 42.0;
    std::string error;
    EXPECT_FALSE(ParseValueWithUnit(*FindFactor(GetParam().key), GetParam().text, value, error));
    EXPECT_EQ(value, 42.0);
    EXPECT_NE(error.find(GetParam().key), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Units, BadUnit,
                         testing::Values(UnitCase{"Range", "5dBm", 0},
                                         UnitCase{"TxPower", "5MW", 0},
                                         UnitCase{"TxPower", "5w", 0}, UnitCase{"Freq", "2.5e", 0},
                                         UnitCase{"Weather", "3dBi", 0}, UnitCase{"Range", "km", 0},
                                         UnitCase{"Range", "", 0}));

TEST(Units, MetricNotes) {
    EXPECT_EQ(MetricNote(*FindFactor("Range"), 10.0), " (16.09 km)");
    EXPECT_EQ(MetricNote(*FindFactor("TxPower"), 5.0), " (37.0 dBm)");
    EXPECT_EQ(MetricNote(*FindFactor("Freq"), 5.0), "");
}

} // namespace
