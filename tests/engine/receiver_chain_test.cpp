// The receiver chain against published cascades, the window's own budget and
// figures of merit worked by hand.
#include "factor_table.h"
#include "link_calculation.h"
#include "receiver_chain.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr NoiseUnit dB = NoiseUnit::Decibel;
constexpr NoiseUnit K = NoiseUnit::Kelvin;

// LNA 1.5 dB / 20 dB, mixer 10 / 15, IF 15: 1.80 dB. Preselector 2 / -2,
// LNA 1.5 / 18, filter 1 / -1, mixer 8 / -6: 3.83 dB.
TEST(Cascade, PublishedNoiseFigures) {
    const std::pair<std::vector<ReceiverStage>, double> cascades[] = {
        {{{"LNA", 1.5, dB, 20}, {"mixer", 10, dB, 15}, {"IF", 15, dB, 0}}, 1.80},
        {{{"pre", 2, dB, -2}, {"LNA", 1.5, dB, 18}, {"filter", 1, dB, -1}, {"mix", 8, dB, -6}},
         3.83}};
    for (const auto& [stages, noiseFigureDb] : cascades) {
        EXPECT_NEAR(CascadeStages(stages).noiseFigureDb, noiseFigureDb, 0.005);
    }
}

// The window's No counts the LNA and the receiver as a two-stage cascade; the
// receiver's own gain does not enter.
TEST(Cascade, EqualsTheWindowsTwoStageNoiseFigure) {
    for (const auto [lnaNf, lnaGain, rxNf] :
         {std::array{0.8, 30.0, 6.0}, {3.0, 0.0, 10.0}, {0.0, 12.5, 0.0}, {2.5, -3.0, 8.0}}) {
        LinkFactors factors = testing_support::DefaultFactors();
        factors.LnaNoiseFigure = lnaNf;
        factors.LnaGain = lnaGain;
        factors.RxNoiseFigure = rxNf;
        LinkResults r{};
        CalculateLink(factors, r);
        EXPECT_NEAR(
            CascadeStages({{{"LNA", lnaNf, dB, lnaGain}, {"rx", rxNf, dB, 40}}}).noiseFigureDb,
            r.NoisePbitNo - r.NoiseTemp, 1e-9)
            << lnaNf << " " << lnaGain << " " << rxNf;
    }
}

// Antenna 50 K, feed 0.5 dB, LNA 35 K / 30 dB, downconverter 10 dB / 20 dB; by
// hand with L = 10^0.05: feed (L - 1) 290, LNA 35 L, downconverter 2610 L / 1000.
TEST(SystemNoise, ContributorsReferredToTheAntenna) {
    const SystemNoise noise =
        EvaluateSystemNoise({50.0, 0.5, {{"LNA", 35, K, 30}, {"downconverter", 10, dB, 20}}});
    const double expected[] = {50.0, 35.385352, 39.270646, 2.928468};
    ASSERT_EQ(noise.contributions.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(noise.contributions[i].temperatureK, expected[i], 1e-6) << i;
    }
    EXPECT_EQ(noise.contributions[2].name, "LNA");
    EXPECT_NEAR(noise.contributions[2].percent, 100.0 * 39.270646 / 127.584466, 1e-5);
}

// The contributions (and their percentages) sum to Tsys = Tant + (L - 1) 290 +
// L Trx, Trx from the receiver's cascade noise figure.
TEST(SystemNoise, ContributionsSumToTheSystemTemperature) {
    for (const ReceiverSystem& system : std::vector<ReceiverSystem>{
             {35.0, 0.3, {{"LNA", 0.6, dB, 35}, {"cable", 6, dB, -6}, {"rx", 12, dB, 60}}},
             {290.0, 3.0, {{"LNB", 80.0, K, 55}}},
             {2.7, 0.0, {{"maser", 4.0, K, 40}, {"HEMT", 0.9, dB, 30}}},
             {150.0, 1.0, {}}}) {
        const SystemNoise noise = EvaluateSystemNoise(system);
        const double loss = std::pow(10.0, system.feedLossDb / 10.0);
        const double rx = (std::pow(10.0, noise.receiver.noiseFigureDb / 10.0) - 1.0) * 290.0;
        double sum = 0.0, percent = 0.0;
        for (const NoiseContribution& c : noise.contributions) {
            sum += c.temperatureK;
            percent += c.percent;
        }
        EXPECT_NEAR(sum, system.antennaTemperatureK + (loss - 1.0) * 290.0 + loss * rx, 1e-9);
        EXPECT_EQ(sum, noise.temperatureK);
        EXPECT_NEAR(percent, 100.0, 1e-9);
    }
}

// 150 K in 2 MHz: -143.83 dBW. A link by hand: 10 W, feed 1 dB, 30 dBi; path
// 200 dB; 40 dBi; 200 K; 1 MHz: C = -121 dBW, C/N0 = C + 228.5992 - 23.0103.
TEST(FiguresOfMerit, WorkedExamples) {
    EXPECT_NEAR(NoisePowerDbw(150.0, 2e6), -143.83, 0.005);
    const FiguresOfMerit m = EvaluateFiguresOfMerit({10.0, 1.0, 30.0, 200.0, 40.0, 1e6}, 200.0);
    EXPECT_EQ(m.eirpDbw + 30.0, m.eirpDbm);
    EXPECT_NEAR(m.eirpDbw, 39.0, 1e-9);
    EXPECT_NEAR(m.receivedPowerDbm, -91.0, 1e-9);
    EXPECT_NEAR(m.gOverTDbK, 16.98970, 1e-5);
    EXPECT_NEAR(m.cOverN0DbHz, 84.58887, 1e-5);
    EXPECT_NEAR(m.noisePowerDbm, -115.58887, 1e-5);
    EXPECT_NEAR(m.cOverNDb, 24.58887, 1e-5);
}

TEST(StageText, ReadsNameNoiseAndGainOrSaysWhy) {
    struct Row {
        const char* text;
        ReceiverStage stage; // an empty name: refused with `message`
        const char* message;
    };
    for (const Row& row :
         std::initializer_list<Row>{{"LNA,0.8,30", {"LNA", 0.8, dB, 30}, ""},
                                    {"LNA,35K,30", {"LNA", 35, K, 30}, ""},
                                    {" cable , 2.5 , -2.5 ", {"cable", 2.5, dB, -2.5}, ""},
                                    {"LNA,0.8", {}, "expected NAME,NF,GAIN"},
                                    {"LNA,0.8,", {}, "no gain"},
                                    {"LNA,0,8,30", {}, "expected NAME,NF,GAIN"},
                                    {"LNA,-5K,30", {}, "negative noise temperature"},
                                    {"LNA,-0.5,30", {}, "below 0 dB"},
                                    {"LNA,0.8,3O", {}, "gain '3O'"}}) {
        ReceiverStage stage{"old", 1.0, dB, 1.0};
        std::string error;
        const bool valid = !row.stage.name.empty();
        ASSERT_EQ(ParseReceiverStage(row.text, stage, error), valid) << row.text << error;
        if (valid) {
            EXPECT_TRUE(stage.name == row.stage.name && stage.noise == row.stage.noise &&
                        stage.unit == row.stage.unit && stage.gainDb == row.stage.gainDb)
                << row.text;
        } else {
            EXPECT_NE(error.find(row.message), std::string::npos) << error;
            EXPECT_EQ(error.find('\n'), std::string::npos);
            EXPECT_EQ(stage.name, "old");
        }
    }
}

} // namespace
