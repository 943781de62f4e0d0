// A terrestrial hop on the calculator's command line: a profile and the
// sites give the JSON members "terrain", "diffraction" and "outage", and
// --profile-out writes the profile with its clearance as CSV.
#include "cli_test_support.h"
#include "test_base.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

namespace {

using testing_support::TempDir;

std::string ridgeCsv() {
    std::string csv;
    for (int i = 0; i <= 20; ++i) {
        csv += std::to_string(i) + "," + (i == 8 ? "160" : "100") + "\n";
    }
    return csv;
}

std::vector<std::string> hopArgs(const std::string& profile) {
    return {"--tx-site", "45,7",  "--rx-site", "45.18,7", "--profile", profile,
            "--heights", "60,60", "--dn1",     "-300",    "Freq=23GHz"};
}

TEST(CalcHop, JsonHasTerrainDiffractionAndOutage) {
    TempDir dir;
    std::vector<std::string> args = hopArgs(dir.write("ridge.csv", ridgeCsv()));
    args.push_back("--json");
    const JobRun run = RunJob(args);
    ASSERT_EQ(run.status, kExitDone) << (run.messages.empty() ? "" : run.messages.front());
    const QJsonObject json = ParseJson(run.out).object();
    const QJsonObject terrain = json["terrain"].toObject();
    EXPECT_NEAR(terrain["pathKm"].toDouble(), 20.0, 0.1);
    EXPECT_EQ(terrain["profilePoints"].toDouble(), 21.0);
    EXPECT_DOUBLE_EQ(terrain["criticalDistanceKm"].toDouble(), 8.0);
    EXPECT_DOUBLE_EQ(terrain["criticalGroundM"].toDouble(), 160.0);
    EXPECT_EQ(terrain["heightCriteriaMet"].toString(), "no");
    const QJsonObject diffraction = json["diffraction"].toObject();
    EXPECT_GT(diffraction["lossDb"].toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(diffraction["obstacleDistanceKm"].toDouble(), 8.0);
    const QJsonObject outage = json["outage"].toObject();
    EXPECT_EQ(outage["dN1Source"].toString(), "typed");
    const double total = outage["totalPercent"].toDouble();
    EXPECT_GT(total, 0.0);
    EXPECT_NEAR(outage["availablePercent"].toDouble(), 100.0 - total, 1e-12);
}

TEST(CalcHop, ProfileOutWritesEveryPointWithAFullStop) {
    TempDir dir;
    std::vector<std::string> args = hopArgs(dir.write("ridge.csv", ridgeCsv()));
    const std::string out = dir.file("out.csv");
    args.insert(args.end(), {"--profile-out", out});
    // Files keep their full stops whatever the process's locale is.
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const JobRun run = RunJob(args);
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_EQ(run.status, kExitDone) << (run.messages.empty() ? "" : run.messages.front());
    std::istringstream lines(dir.read("out.csv"));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("distance_km,ground_m,bulge_m,ray_m,fresnel_m,clearance_m,", 0), 0u);
    int rows = 0;
    std::string ridge;
    while (std::getline(lines, line)) {
        ++rows;
        if (line.rfind("8,160,", 0) == 0) {
            ridge = line;
        }
    }
    EXPECT_EQ(rows, 21);
    ASSERT_FALSE(ridge.empty());
    EXPECT_EQ(ridge.find(';'), std::string::npos);
    // Ten columns, the ray at 160 m above sea level: 100 m ground + 60 m mast.
    EXPECT_EQ(std::count(ridge.begin(), ridge.end(), ','), 9);
    EXPECT_NE(ridge.find(",160,"), std::string::npos) << ridge;
}

TEST(CalcHop, ProfileOutIsNotWrittenWhenTheDesignIsRefused) {
    TempDir dir;
    const std::string out = dir.file("out.csv");
    const JobRun run =
        RunJob({"--heights", "30,30", "--profile", dir.file("none.csv"), "--profile-out", out});
    EXPECT_EQ(run.status, kExitBadArguments);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_NE(run.messages.front().find("none.csv"), std::string::npos) << run.messages.front();
    EXPECT_FALSE(dir.exists("out.csv"));
}

} // namespace
