// The receiver and the waveforms in the budget: the terms still add up to the
// fade margin and the noise parts to Tsys, the window's budget stays where
// nothing asks otherwise, No = k Tsys by hand, the waveforms' thresholds and
// choices, the availability curve, and a list parameter in a design file.
#include "availability_curve.h"
#include "budget_explain.h"
#include "design_json.h"
#include "design_settings.h"
#include "factor_table.h"
#include "sky_noise.h"
#include "waveform_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testing_support::WaveformIndex;

using P = ParamId;

struct Case {
    const char* name;
    std::vector<std::pair<ParamId, double>> settings;
    std::vector<std::string> stages;
};

DesignPoint pointOf(const Case& c) {
    Design design;
    for (const auto& [id, value] : c.settings) {
        design.set(id, {value, value, {}});
    }
    if (!c.stages.empty()) {
        ParamSetting stages;
        std::string error;
        EXPECT_TRUE(ListSetting(ParamRowOf(P::ReceiverStages), c.stages, stages, error)) << error;
        design.set(P::ReceiverStages, stages);
    }
    return design.point();
}

const std::vector<Case>& cases() {
    static const std::vector<Case> list = {
        {"window", {}, {}},
        {"bandwidth", {{P::Bandwidth, 2.0}}, {}},
        {"stages", {}, {"LNA,35K,30", "mixer,10,15", "IF,15,0"}},
        {"antenna",
         {{P::AntennaTemperature, 50.0}, {P::RxFeedLoss, 0.5}},
         {"LNA,35K,30", "dc,10,20"}},
        {"pointing",
         {{P::TxPointingError, 0.5},
          {P::RxPointingError, 0.2},
          {P::TxDishDiameter, 1.2},
          {P::Freq, 12000.0}},
         {}},
        {"axial", {{P::TxAxialRatio, 3.0}, {P::RxAxialRatio, 3.0}, {P::AxialRatioTilt, 90.0}}, {}},
        {"sky rain", {{P::SkyNoise, 0.0}, {P::RainRate, 60.0}, {P::Freq, 23000.0}}, {}},
        {"sky earth-space",
         {{P::SkyNoise, 0.0},
          {P::Path, 1.0},
          {P::Elevation, 30.0},
          {P::RainRate, 30.0},
          {P::Latitude, 45.0},
          {P::RainHeight, 3.0},
          {P::Freq, 12000.0},
          {P::Range, 24000.0}},
         {}},
        {"dvbs2", {{P::Waveform, WaveformIndex("dvbs2:qpsk-3/4")}}, {}},
        {"dvbs2 symbol rate",
         {{P::Waveform, WaveformIndex("dvbs2:16apsk-2/3")},
          {P::SymbolRate, 27.5e6},
          {P::AntennaTemperature, 60.0}},
         {}},
        {"auto",
         {{P::Waveform, WaveformIndex("dvbs2:auto")}, {P::Margin, 2.0}, {P::Range, 50.0}},
         {}},
        {"auto symbol rate",
         {{P::Waveform, WaveformIndex("dvbs2:auto")},
          {P::SymbolRate, 30e6},
          {P::Margin, 1.0},
          {P::AntennaTemperature, 60.0},
          {P::Range, 300.0}},
         {}},
        {"lora",
         {{P::Waveform, WaveformIndex("lora:sf7")}, {P::CodingRate, 2.0}, {P::Payload, 127.0}},
         {"LNA,1.5,20"}},
    };
    return list;
}

BudgetSheet evaluated(const Case& c, BudgetExplanation* explanation = nullptr) {
    const DesignPoint point = pointOf(c);
    const BudgetModel model(point);
    std::string error;
    EXPECT_TRUE(model.check(point, error)) << c.name << ": " << error;
    const BudgetSheet sheet = model.evaluate(point);
    if (explanation != nullptr) {
        *explanation = ExplainBudget(model, point, sheet);
    }
    return sheet;
}

TEST(ReceiverBudget, TermsAddUpToTheFadeMarginAndPartsToTsys) {
    for (const Case& c : cases()) {
        BudgetExplanation explained{};
        const BudgetSheet sheet = evaluated(c, &explained);
        double margin = 0.0;
        for (const LinkTerm& term : explained.terms) {
            margin += term.db;
        }
        EXPECT_NEAR(margin, sheet.results.FadeMargin, 1e-9) << c.name;
        double kelvin = 0.0;
        double percent = 0.0;
        for (const NoiseContribution& part : explained.receiver.noise.contributions) {
            kelvin += part.temperatureK;
            percent += part.percent;
        }
        EXPECT_NEAR(kelvin, explained.receiver.noise.temperatureK, 1e-9) << c.name;
        EXPECT_NEAR(percent, 100.0, 1e-9) << c.name;
    }
}

// A bandwidth only adds lines; the window's chain given as stages is the
// window's cascade.
TEST(ReceiverBudget, TheWindowsBudgetWhereNothingAsksOtherwise) {
    LinkResults window{};
    CalculateLink(testing_support::DefaultFactors(), window);
    const BudgetSheet bandwidth = evaluated(cases()[1]);
    const BudgetSheet stages = evaluated({"window as stages", {}, {"LNA,0.1,6", "rx,0.1,40"}});
    for (const ResultRow& row : ResultTable) {
        EXPECT_EQ(bandwidth.results.*row.field, window.*row.field) << row.caption;
        EXPECT_NEAR(stages.results.*row.field, window.*row.field, 1e-12) << row.caption;
    }
}

// Antenna 50 K, feed 0.5 dB, LNA 35 K / 30 dB, downconverter 10 dB / 20 dB:
// Tsys = 127.584466 K at the antenna, No = k Tsys / L at the LNA.
TEST(ReceiverBudget, NoIsKTsysAtTheFirstStage) {
    const BudgetSheet sheet = evaluated(cases()[3]);
    EXPECT_NEAR(sheet.receiver->noise.temperatureK, 127.584466, 1e-6);
    const double no = 10.0 * std::log10(1.380649e-23 * 127.584466) + 30.0 - 0.5;
    EXPECT_NEAR(sheet.results.NoisePbitNo, no, 1e-7);
    EXPECT_NEAR(sheet.results.FadeMargin,
                sheet.results.RxPbitEb - no - sheet.effective.MinEbNoDesired, 1e-7);
}

TEST(Waveforms, ThresholdsAndBitRates) {
    // Table 13: qpsk-3/4 4.03 dB at 1.487473 bit/symbol; 16apsk-2/3 at 2.637201.
    const BudgetSheet qpsk = evaluated(cases()[8]);
    EXPECT_NEAR(qpsk.effective.MinEbNoDesired, 4.03 - 10.0 * std::log10(1.487473), 1e-5);
    EXPECT_EQ(qpsk.effective.BitRate, qpsk.given.BitRate);
    EXPECT_NEAR(evaluated(cases()[9]).effective.BitRate, 27.5e3 * 2.637201, 0.02);
    // LoRa SF7 at 125 kHz, CR 4/7: 3906.25 bit/s; the margin is the SNR's over
    // the floor of -7.5 dB in 125 kHz.
    const BudgetSheet lora = evaluated(cases()[12]);
    EXPECT_DOUBLE_EQ(lora.effective.BitRate, 3.90625);
    const double cn0 = lora.results.RxEbNo + lora.results.BitRatedb;
    EXPECT_NEAR(lora.results.FadeMargin, cn0 - 10.0 * std::log10(125e3) + 7.5, 1e-9);
}

// dvbs2:auto keeps the margin, and no more efficient MODCOD would: at the
// symbol rate given (Es/N0), else at the bit rate given (Eb/N0).
TEST(Waveforms, AutoTakesTheMostEfficientThatKeepsTheMargin) {
    for (const auto& [index, margin, symbolRate] :
         {std::tuple{10, 2.0, 0.0}, std::tuple{11, 1.0, 30e6}}) {
        const BudgetSheet sheet = evaluated(cases()[index]);
        const Dvbs2Modcod& chosen = *sheet.waveform->modcod;
        ASSERT_TRUE(sheet.waveform->closes) << index;
        EXPECT_GE(sheet.results.FadeMargin, margin - 1e-9) << index;
        const double cn0 = sheet.results.RxEbNo + sheet.results.BitRatedb;
        for (const Dvbs2Modcod& row : Dvbs2ModcodTable) {
            if (Dvbs2Efficiency(row) > Dvbs2Efficiency(chosen)) {
                const double left = symbolRate > 0.0
                                        ? cn0 - 10.0 * std::log10(symbolRate) - row.requiredEsNoDb
                                        : cn0 - 10.0 * std::log10(sheet.given.BitRate * 1e3) -
                                              Dvbs2RequiredEbNoDb(row);
                EXPECT_LT(left, margin) << index << " " << row.name;
            }
        }
    }
}

// The sky behind a terrestrial rain loss, with T_mr of a typed surface
// temperature; a dish's pointing loss and that of the dish an antenna gain
// stands for (55 %) are the same.
TEST(ReceiverBudget, SkyNoiseAndPointingAtEachEnd) {
    Case rain = cases()[6];
    rain.settings.push_back({P::Temperature, 288.15});
    const BudgetSheet sky = evaluated(rain);
    EXPECT_EQ(sky.receiver->skyAttenuationDb, sky.rain->loss);
    EXPECT_NEAR(sky.receiver->noise.contributions.front().temperatureK,
                SkyNoiseTemperatureK(sky.rain->loss, 37.34 + 0.81 * 288.15), 1e-9);
    const BudgetSheet dish = evaluated(cases()[4]);
    const BudgetSheet gain = evaluated(
        {"gain",
         {{P::TxPointingError, 0.5}, {P::TxAntGain, dish.txDish->gainDbi}, {P::Freq, 12000.0}},
         {}});
    EXPECT_NEAR(dish.receiver->txPointingDb, 12.0 * std::pow(0.5 / dish.txDish->beamwidthDeg, 2),
                1e-12);
    EXPECT_NEAR(gain.receiver->txPointingDb, dish.receiver->txPointingDb, 1e-9);
    EXPECT_NEAR(gain.effective.TxAntGain, dish.effective.TxAntGain, 1e-9);
}

// Every choice's name reads back to it; LoRa's 125 kHz may be left out.
TEST(Waveforms, EveryNameReadsBackToItsChoice) {
    const std::span<const Choice> choices = WaveformChoices();
    ASSERT_EQ(choices.size(), kWaveformChoiceCount);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        for (const char* name : {choices[i].name, choices[i].alias}) {
            if (name != nullptr) {
                EXPECT_EQ(WaveformIndex(name), static_cast<double>(i)) << name;
            }
        }
    }
    EXPECT_EQ(WaveformIndex("LoRa:SF12"), WaveformIndex("lora:sf12:125"));
    const WaveformSetting last = WaveformOfChoice(choices.size() - 1);
    EXPECT_TRUE(last.kind == WaveformKind::Lora && last.spreadingFactor == 12 &&
                last.bandwidthKHz == 500);
    EXPECT_STREQ(WaveformOfChoice(0).modcod->name, "qpsk-1/4");
}

TEST(AvailabilityCurve, LossFallsWithTimeAndTheMeanIsALowerBound) {
    Case c = cases()[7];
    c.settings.insert(c.settings.end(), {{P::Waveform, WaveformIndex("dvbs2:auto")},
                                         {P::SymbolRate, 30e6},
                                         {P::TxPower, 100.0},
                                         {P::TxAntGain, 45.0},
                                         {P::RxAntGain, 40.0}});
    const DesignPoint point = pointOf(c);
    const AvailabilityCurve curve = EvaluateAvailabilityCurve(BudgetModel(point), point);
    ASSERT_EQ(curve.points.size(), kAvailabilityPercents.size());
    double mean = 0.0;
    for (std::size_t i = 0; i + 1 < curve.points.size(); ++i) {
        EXPECT_GT(curve.points[i].atmosphereDb, curve.points[i + 1].atmosphereDb);
        EXPECT_LE(curve.points[i].throughputBps, curve.points[i + 1].throughputBps);
        mean += curve.points[i].throughputBps *
                (curve.points[i + 1].percent - curve.points[i].percent) / 100.0;
    }
    mean += curve.points.back().throughputBps * 0.95;
    EXPECT_NEAR(*curve.meanThroughputBps, mean, 1e-6);
    EXPECT_GT(curve.points.back().throughputBps, curve.points.front().throughputBps);
}

TEST(DesignFile, KeepsAListAndRefusesWhatIsNoListOfStages) {
    const ParamRow& row = ParamRowOf(P::ReceiverStages);
    ParamSetting setting;
    std::string error;
    ASSERT_TRUE(ReadListSetting(row, " LNA,35K,30 ;; mixer,10,15", setting, error)) << error;
    EXPECT_EQ(ListSettingText(setting), "LNA,35K,30; mixer,10,15");
    Design design;
    design.set(P::ReceiverStages, setting);
    Design read;
    ASSERT_TRUE(DesignFromJson(DesignToJson(design), read, error)) << error;
    EXPECT_TRUE(read == design);
    const std::string head = R"({"format": "quillstone-design", "version": 1, "parameters": )";
    const std::pair<const char*, const char*> refused[] = {
        {R"({"ReceiverStages": {"value": "LNA,1,2"}})", "is not a list of texts"},
        {R"({"ReceiverStages": {"value": ["LNA,1"]}})", "ReceiverStages: receiver stage 'LNA,1'"},
    };
    for (const auto& [parameters, why] : refused) {
        EXPECT_FALSE(DesignFromJson(head + parameters + "}", read, error)) << parameters;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
}

} // namespace
