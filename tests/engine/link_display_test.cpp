#include "link_display.h"

#include "factor_table.h"
#include "number_text.h"

#include <gtest/gtest.h>

#include <cstring>

using testing_support::FactorIndex;

namespace {

class LinkDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override { SetDefaultFactors(factors); }
    void TearDown() override { SetDecimalSeparator("."); }

    const LinkDisplay& show() {
        CalculateLink(factors, results);
        MakeLinkDisplay(factors, results, display);
        return display;
    }

    LinkFactors factors{};
    LinkResults results{};
    LinkDisplay display;
};

// The defaults' texts, each through the factor and result text rules: the
// one check of the default texts below the window.
TEST_F(LinkDisplayTest, DefaultsFillEveryText) {
    const LinkDisplay& d = show();
    const SliderPositions positions = {10, 22500, 50, 10000, 15, 1, 60, 1, 10, 11, 1, 1, 100, 1};
    EXPECT_EQ(d.positions, positions);
    const std::array<std::string, kFactorCount> values = {
        "10.0", "2250.0", "5.0",  "1000.0", "15.0", "0.1",  "6.0",
        "0.1",  "1.0",    "1.10", "0.1",    "0.1",  "10.0", "0.1"};
    EXPECT_EQ(d.valueTexts, values);
    EXPECT_EQ(d.bepText, "1.0E-7");
    const std::array<std::string, kResultCount> texts = {
        "-123.6", "37.0", "60.0", "-173.9", "-173.8", "-136.9", "36.9", "21.9", "99.4"};
    EXPECT_EQ(d.resultTexts, texts);
}

TEST_F(LinkDisplayTest, TypedValuesBeyondTheSlidersShowThemselves) {
    factors.Range = 0.1;
    factors.BitRate = 500000000.0;
    factors.TxAntGain = -500.0;
    factors.MinEbNoDesired = 15.5;
    factors.Weather = 0.25;
    const LinkDisplay& d = show();
    struct {
        double LinkFactors::*field;
        int position;
        const char* text;
    } expected[] = {{&LinkFactors::Range, 1, "0.1"},
                    {&LinkFactors::BitRate, 300000, "500000000.0"},
                    {&LinkFactors::TxAntGain, -500, "-500.00"},
                    {&LinkFactors::MinEbNoDesired, 15, "15.5"},
                    {&LinkFactors::Weather, 2, "0.3"}};
    for (const auto& e : expected) {
        const std::size_t i = FactorIndex(e.field);
        EXPECT_EQ(d.positions[i], e.position) << FactorTable[i].key;
        EXPECT_EQ(d.valueTexts[i], e.text) << FactorTable[i].key;
    }
    EXPECT_EQ(d.bepText, "> 1.0E-7");
    // Showing never changes the values themselves.
    EXPECT_EQ(factors.Range, 0.1);
    EXPECT_EQ(factors.BitRate, 500000000.0);
}

TEST_F(LinkDisplayTest, HugeValuesUseTheScientificForm) {
    factors.BitRate = 1e12;
    factors.Range = 0.0;
    const LinkDisplay& d = show();
    EXPECT_EQ(d.valueTexts[FactorIndex(&LinkFactors::BitRate)], "1E12");
    EXPECT_EQ(d.valueTexts[FactorIndex(&LinkFactors::Range)], "0.0");
    EXPECT_EQ(d.resultTexts[0], "-2E28");
}

TEST_F(LinkDisplayTest, MinEbNoChangesOnlyMarginReliabilityAndBepText) {
    const LinkDisplay before = show();
    factors.MinEbNoDesired = 12.0;
    const LinkDisplay& after = show();
    EXPECT_EQ(after.bepText, "5.0E-4");
    EXPECT_NE(after.bepText, before.bepText);
    for (std::size_t i = 0; i < kResultCount; ++i) {
        const bool changes = i == 7 || i == 8; // FadeMargin, Reliability
        EXPECT_EQ(after.resultTexts[i] != before.resultTexts[i], changes) << ResultTable[i].label;
    }
    EXPECT_EQ(after.resultTexts[7], "24.9");
}

TEST_F(LinkDisplayTest, LnaGainLeavesReceivedPowerAlone) {
    const LinkDisplay before = show();
    const LinkResults resultsBefore = results;
    factors.LnaGain = 0.0;
    const LinkDisplay& after = show();
    EXPECT_EQ(results.RxPbitEb, resultsBefore.RxPbitEb);
    EXPECT_NE(results.NoisePbitNo, resultsBefore.NoisePbitNo);
    EXPECT_EQ(after.bepText, before.bepText);
}

TEST_F(LinkDisplayTest, UserSeparatorReachesEveryLabel) {
    SetDecimalSeparator(",");
    const LinkDisplay& d = show();
    EXPECT_EQ(d.valueTexts[FactorIndex(&LinkFactors::TxAntGain)], "1,10");
    EXPECT_EQ(d.valueTexts[FactorIndex(&LinkFactors::Freq)], "2250,0");
    EXPECT_EQ(d.resultTexts[0], "-123,6");
    EXPECT_EQ(d.resultTexts[8], "99,4");
    EXPECT_EQ(d.bepText, "1,0E-7");
}

TEST_F(LinkDisplayTest, LongResultIsCutToSevenCharacters) {
    factors.Range = 1e6;      // hand-edited: about -223.6 dB, still fits
    factors.TxPower = 1e10;   // 130 dBm
    factors.RxAntGain = -1e6; // hand-edited: a million dB of loss
    const LinkDisplay& d = show();
    for (const std::string& text : d.resultTexts) {
        EXPECT_LE(text.size(), 7u) << text;
    }
    EXPECT_EQ(d.resultTexts[0], "-223.6");
    EXPECT_EQ(d.resultTexts[1], "130.0");
    // Eb is about -1000153.8 dB: rounded to seven digits, "-1000154.0" is cut
    // to its first seven characters.
    EXPECT_EQ(d.resultTexts[5], "-100015");
    EXPECT_EQ(d.valueTexts[FactorIndex(&LinkFactors::RxAntGain)], "-1000000.0");
    EXPECT_EQ(d.resultTexts[8], "0.0");
}

} // namespace
