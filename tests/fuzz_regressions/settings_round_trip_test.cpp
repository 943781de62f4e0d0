// Values the settings fuzzer took from hand-edited files to the save and back:
// a value whose nine-decimal text still fits in the 79 characters of a
// formatted number must come back from the next start as that text reads.
#include "base_dir_test.h"
#include "factor_table.h"
#include "link_settings.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::DefaultFactors;

namespace {

struct RoundTripCase {
    const char* name;
    const char* line; // the hand-edited line under [UserInfo]
    double LinkFactors::*field;
    double loaded;    // the value after the first load
    double afterSave; // the value after a save and a second load
};

const RoundTripCase kCases[] = {
    // 78 characters with nine decimals: the longest positive text below 1e68.
    {"JustBelowTheLimit", "Freq=9.99e67", &LinkFactors::Freq, 9.99e67, 9.99e67},
    // A minus sign and 68 integer digits: exactly 79 characters.
    {"NegativeAtTheLimit", "Range=-5e67", &LinkFactors::Range, -5e67, -5e67},
    {"NineDecimalsKept", "BitRate=0.1234567891234", &LinkFactors::BitRate, 0.1234567891234,
     0.123456789},
    {"SubnormalBecomesZero", "TxPower=1e-320", &LinkFactors::TxPower, 1e-320, 0.0},
    {"TinyNegativeBecomesZero", "TxAntGain=-0.0000000001", &LinkFactors::TxAntGain, -1e-10, 0.0},
    {"ExponentAccepted", "LnaGain=2.25e3", &LinkFactors::LnaGain, 2250.0, 2250.0},
};

class SettingsRoundTrip : public testing_support::BaseDirTest,
                          public testing::WithParamInterface<RoundTripCase> {
  protected:
    void SetUp() override {
        BaseDirTest::SetUp();
        m_path = MakeSettingsPath(Dir());
    }

    std::string m_path;
};

TEST_P(SettingsRoundTrip, ValueComesBackAsItsSavedText) {
    const RoundTripCase& c = GetParam();
    ASSERT_TRUE(testing_support::WriteAll(m_path, "[UserInfo]\r\n" + std::string(c.line) + "\r\n"));
    LinkFactors factors = DefaultFactors();
    WindowPosition position;
    ASSERT_TRUE(LoadLinkSettings(m_path, factors, position));
    EXPECT_EQ(factors.*c.field, c.loaded);

    ASSERT_TRUE(SaveLinkSettings(m_path, factors, position));
    LinkFactors reloaded = DefaultFactors();
    WindowPosition reloadedPosition{0, 0};
    ASSERT_TRUE(LoadLinkSettings(m_path, reloaded, reloadedPosition));
    EXPECT_EQ(reloaded.*c.field, c.afterSave);
    EXPECT_EQ(reloadedPosition.x, 688);
    EXPECT_EQ(reloadedPosition.y, 171);
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsRoundTrip, testing::ValuesIn(kCases),
                         testing_support::RowName());

} // namespace
