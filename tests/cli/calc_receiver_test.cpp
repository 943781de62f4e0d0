// The receiver options as the calculator runs them: --explain's JSON adds up
// (its terms to the fade margin, its noise parts to Tsys), and --stage given
// again and again builds one list, which replaces a design file's.
#include "cli_test_support.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

double sumOf(const QJsonArray& rows, const char* member) {
    double sum = 0.0;
    for (const QJsonValue& row : rows) {
        sum += row.toObject()[member].toDouble();
    }
    return sum;
}

TEST(CalcReceiver, ExplainedTermsAndNoisePartsAddUp) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--explain", "--json"},
          {"--explain", "--json", "--stage", "LNA,35K,30", "--stage", "mixer,10,15",
           "--antenna-temperature", "50", "--pointing-error", "0.4,0.3", "--axial-ratio", "2,4,30",
           "--waveform", "dvbs2:auto", "--symbol-rate", "2MBd", "--margin", "3"}}) {
        const JobRun run = RunJob(args);
        ASSERT_EQ(run.status, kExitDone) << run.messages.front();
        const QJsonObject json = ParseJson(run.out).object();
        const QJsonObject explain = json["explain"].toObject();
        const double margin = json["results"].toArray()[7].toObject()["value"].toDouble();
        EXPECT_NEAR(sumOf(explain["terms"].toArray(), "db"), margin, 1e-9) << run.out;
        EXPECT_NEAR(explain["fadeMargin"].toDouble(), margin, 1e-9);
        EXPECT_NEAR(sumOf(explain["noise"].toArray(), "kelvin"),
                    explain["systemNoiseTemperatureK"].toDouble(), 1e-9);
        EXPECT_EQ(json["receiver"]["systemNoiseTemperatureK"], explain["systemNoiseTemperatureK"]);
    }
}

TEST(CalcReceiver, StagesBuildOneListThatReplacesTheFiles) {
    TempDir dir;
    dir.write("in.json", R"({"format": "quillstone-design", "version": 1, "parameters": )"
                         R"({"ReceiverStages": {"value": ["old,3,10"]}}})");
    const JobRun run = RunJob({"--design", dir.file("in.json"), "--stage", "LNA,0.5,30", "--stage",
                               "mixer,10,15", "--save-design", dir.file("out.json")});
    ASSERT_EQ(run.status, kExitDone) << run.messages.front();
    EXPECT_NE(
        dir.read("out.json").find(R"("ReceiverStages": {"value": ["LNA,0.5,30","mixer,10,15"]})"),
        std::string::npos)
        << dir.read("out.json");
}

} // namespace
