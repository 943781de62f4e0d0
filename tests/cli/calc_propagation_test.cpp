// The propagation options in the calculator: how they are read, what they
// do to the budget, and that a sweep recomputes them at every point.
#include "cli_test_support.h"
#include "dish_antenna.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

constexpr double kKmPerMile = 1.609344;

QJsonObject jsonOf(std::vector<std::string> args) {
    args.push_back("--json");
    const JobRun run = RunJob(args);
    EXPECT_EQ(run.status, kExitDone);
    return ParseJson(run.out).object();
}

// The number of an entry with the given key in a JSON array of entries.
double valueOf(const QJsonValue& entries, const char* key) {
    for (const QJsonValue& entry : entries.toArray()) {
        if (entry["key"].toString() == QLatin1String(key)) {
            return entry["value"].toDouble();
        }
    }
    ADD_FAILURE() << "no entry " << key;
    return 0.0;
}

// The design a command line makes.
DesignPoint parse(const std::vector<std::string>& args) {
    CalcOptions options;
    std::string error;
    EXPECT_TRUE(ParseCalcArguments(args, options, error)) << error;
    Design design;
    options.inputs.applyTo(design);
    return design.point();
}

TEST(CalcPropagation, ReadsUnitsAndDefaults) {
    const DesignPoint feet = parse({"--heights=100ft, 60 ft", "--rx-dish", "4ft,60%"});
    EXPECT_DOUBLE_EQ(feet[ParamId::TxHeight], 30.48);
    EXPECT_DOUBLE_EQ(feet[ParamId::RxHeight], 18.288);
    EXPECT_DOUBLE_EQ(feet[ParamId::RxDishDiameter], 1.2192);
    EXPECT_DOUBLE_EQ(feet[ParamId::RxDishEfficiency], 0.6);
    const DesignPoint metres = parse({"--heights", "30m,20", "--tx-dish=1.2,0.7"});
    EXPECT_DOUBLE_EQ(metres[ParamId::TxHeight], 30.0);
    EXPECT_DOUBLE_EQ(metres[ParamId::RxHeight], 20.0);
    EXPECT_DOUBLE_EQ(metres[ParamId::TxDishEfficiency], 0.7);
    EXPECT_DOUBLE_EQ(parse({"--tx-dish", "2"})[ParamId::TxDishEfficiency], 0.55);
    EXPECT_EQ(parse({"--rain-rate", "25", "--polarization", "H"})[ParamId::RainPolarization], 0.0);
}

TEST(CalcPropagation, RainIsAddedToWeatherAndDishesReplaceTheGains) {
    const std::vector<std::string> base{"Freq=20000", "Range=10", "Weather=1.5"};
    const QJsonObject plain = jsonOf(base);
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--rain-rate", "42", "--tx-dish", "1.2", "--rx-dish", "0.6,65%"});
    const QJsonObject json = jsonOf(args);
    const QJsonValue rows = json["propagation"]["rows"];
    const double rain = valueOf(rows, "RainLoss");
    const RainPath expected =
        RainPathAttenuation(20.0, 10 * kKmPerMile, 42.0, 0.01, kVerticalTiltDeg, 0.0);
    EXPECT_NEAR(rain, expected.loss, 1e-9);
    EXPECT_NEAR(valueOf(json["factors"], "Weather"), 1.5 + rain, 1e-9);
    EXPECT_NEAR(valueOf(json["factors"], "TxAntGain"), DishGainDbi(1.2, 0.55, 20000.0), 1e-9);
    EXPECT_NEAR(valueOf(json["factors"], "RxAntGain"), DishGainDbi(0.6, 0.65, 20000.0), 1e-9);
    const double gains =
        valueOf(json["factors"], "TxAntGain") + valueOf(json["factors"], "RxAntGain") -
        valueOf(plain["factors"], "TxAntGain") - valueOf(plain["factors"], "RxAntGain");
    EXPECT_NEAR(valueOf(json["results"], "FadeMargin") - valueOf(plain["results"], "FadeMargin"),
                gains - rain, 1e-9);
    for (const char* key : {"RainK", "RainAlpha", "RainSpecificAtten", "RainDistanceFactor",
                            "RainEffectivePath", "TxDishBeamwidth", "RxDishBeamwidth"}) {
        EXPECT_GT(valueOf(rows, key), 0.0) << key;
    }
}

TEST(CalcPropagation, ClearanceOfTenKilometresAt915MHz) {
    const JobRun run = RunJob({"Freq=915", "Range=6.21371192", "--heights", "20,10"});
    ASSERT_EQ(run.status, kExitDone);
    const auto lines = Lines(run.out);
    ASSERT_GT(lines.size(), 24u);
    const std::string extra = run.out.substr(run.out.find("Minimum BEP Desired"));
    EXPECT_NE(extra.find("Fresnel Zone F1                 28.6 m"), std::string::npos) << extra;
    EXPECT_NE(extra.find("Earth Bulge                     1.47 m"), std::string::npos) << extra;
    EXPECT_NE(extra.find("within the radio horizon"), std::string::npos) << extra;
    EXPECT_NE(extra.find("under 0.6 F1"), std::string::npos) << extra;
}

// The fade margin column of a CSV sweep.
std::vector<double> marginColumn(const std::string& csv) {
    std::vector<double> margins;
    const auto lines = Lines(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view cells = lines[i];
        for (int column = 0; column < 8; ++column) {
            cells.remove_prefix(cells.find(',') + 1);
        }
        margins.push_back(std::stod(std::string(cells.substr(0, cells.find(',')))));
    }
    return margins;
}

TEST(CalcPropagation, SweepRecomputesTheRainAtEveryRange) {
    const std::vector<std::string> sweep{"Freq=12000", "--sweep", "Range=1:40:3"};
    std::vector<std::string> rainy = sweep;
    rainy.insert(rainy.end(), {"--rain-rate", "30", "--availability", "99.9"});
    const std::vector<double> dry = marginColumn(RunJob(sweep).out);
    const std::vector<double> wet = marginColumn(RunJob(rainy).out);
    ASSERT_EQ(dry.size(), 14u);
    ASSERT_EQ(wet.size(), dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i) {
        const double km = (1.0 + 3.0 * static_cast<double>(i)) * kKmPerMile;
        const double loss = RainPathAttenuation(12.0, km, 30.0, 0.1, kVerticalTiltDeg, 0.0).loss;
        EXPECT_NEAR(dry[i] - wet[i], loss, 1e-9) << i;
    }
}

TEST(CalcPropagation, BelowOneGigahertzNoRainLossAndOneNote) {
    const JobRun run = RunJob({"Freq=915", "--rain-rate", "50"});
    EXPECT_EQ(run.status, kExitDone);
    EXPECT_EQ(run.messages, std::vector<std::string>{RainBelowModelNote(false)});
    EXPECT_NE(run.out.find("Rain Loss                       0.00 dB"), std::string::npos);
    const JobRun sweep = RunJob({"--rain-rate", "50", "--sweep", "Freq=500:1500:100"});
    EXPECT_EQ(sweep.messages, std::vector<std::string>{RainBelowModelNote(true)});
}

} // namespace
