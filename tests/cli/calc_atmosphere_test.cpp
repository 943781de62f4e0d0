// The atmosphere in the calculator where a single output does not show it:
// a sweep works the atmosphere out anew at every point, and a solve lands
// on the margin with the atmosphere's loss at the answer.
#include "cli_test_support.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <charconv>

namespace {

// Every part of the atmosphere: gases, clouds, rain and scintillation.
const std::vector<std::string> kEarthSpace{
    "--path",         "earth-space", "--elevation",    "35",  "--latitude", "45",
    "--rain-rate",    "30",          "--rain-height",  "3.5", "--rx-dish",  "1.2",
    "--availability", "99.9",        "--cloud-liquid", "0.6"};

std::vector<std::string> with(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

QJsonObject jsonOf(const std::vector<std::string>& args) {
    const JobRun run = RunJob(with(args, {"--json"}));
    EXPECT_EQ(run.status, kExitDone) << (run.messages.empty() ? "" : run.messages.front());
    return ParseJson(run.out).object();
}

double fadeMarginOf(const QJsonObject& json) {
    for (const QJsonValue& entry : json["results"].toArray()) {
        if (entry["key"].toString() == QLatin1String("FadeMargin")) {
            return entry["value"].toDouble();
        }
    }
    ADD_FAILURE() << "no FadeMargin";
    return 0.0;
}

std::string shortest(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, ec == std::errc() ? end : text);
}

TEST(CalcAtmosphere, SweepPointsAreTheBudgetsOfTheirFrequencies) {
    const JobRun sweep = RunJob(with(kEarthSpace, {"--sweep", "Freq=10000:50000:10000"}));
    ASSERT_EQ(sweep.status, kExitDone);
    const std::vector<std::string> rows = Lines(sweep.out);
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::string freq = rows[i].substr(0, rows[i].find(','));
        const double margin =
            std::stod(rows[i].substr(rows[i].rfind(',', rows[i].rfind(',') - 1) + 1));
        EXPECT_DOUBLE_EQ(margin, fadeMarginOf(jsonOf(with(kEarthSpace, {"Freq=" + freq})))) << freq;
    }
}

TEST(CalcAtmosphere, SolvedValueGivesTheMarginWithTheAtmosphere) {
    const struct {
        std::vector<std::string> design;
        const char* key;
        double margin;
    } cases[] = {
        {with(kEarthSpace, {"Freq=20GHz"}), "TxPower", 3.0},
        {with(kEarthSpace, {"Freq=20GHz", "--satellite-altitude", "35786"}), "TxAntGain", -2.0},
        {with(kEarthSpace, {"Freq=12GHz"}), "Weather", 1.0},
        {{"--gas", "Freq=60GHz", "--temperature", "25", "--vapour-density", "12"}, "Range", 0.0},
        {{"--gas", "--rain-rate", "20", "Range=20"}, "Freq", 5.0},
        {{"--path", "earth-space", "--elevation", "30", "--rain-rate", "30", "--latitude", "45",
          "--rain-height", "3.5"},
         "Freq",
         10.0},
    };
    for (const auto& c : cases) {
        const QJsonObject solved =
            jsonOf(with(c.design, {"--solve", c.key, "--margin", shortest(c.margin)}));
        const double value = solved["solve"]["factor"]["value"].toDouble();
        const double margin =
            fadeMarginOf(jsonOf(with(c.design, {std::string(c.key) + "=" + shortest(value)})));
        EXPECT_NEAR(margin, c.margin, 1e-6) << c.key << " = " << value;
    }
}

} // namespace
