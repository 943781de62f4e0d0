// The terrain profile's drawing against a knife edge worked by hand: five
// points 2.5 km apart at 10 GHz, 10 m of ground with a 100 m ridge in the
// middle, both antennas 110 m up (120 m above sea level). At mid-path
// F1 = 17.32 sqrt(5 * 5 / (10 * 10)) = 8.66 m and the bulge is
// 5 * 5 / (12.74 k) = 1.4717 m at k = 4/3, 2.9435 m at k = 2/3.
#include "number_text.h"
#include "profile_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<double> kKm{0.0, 2.5, 5.0, 7.5, 10.0};
const std::vector<double> kGroundM{10.0, 10.0, 100.0, 10.0, 10.0};
constexpr double kTol = 1e-3; // m

SheetTerrain knifeEdge(const std::vector<double>& ground = kGroundM, double antennaM = 110.0) {
    const ClearanceHop hop{kKm, ground, antennaM, antennaM, 10.0};
    std::string error;
    const std::optional<HeightCheck> heights = CheckAntennaHeights(hop, HeightCriteria{}, error);
    EXPECT_TRUE(heights) << error;
    SheetTerrain terrain{};
    terrain.heights = *heights;
    const DiffractionPath path{kKm, ground, antennaM, antennaM, 10.0, 6371.0 * 4.0 / 3.0};
    terrain.diffraction = DeltaBullingtonLoss(path, error);
    EXPECT_TRUE(terrain.diffraction) << error;
    return terrain;
}

TEST(ProfileDrawing, KnifeEdgeSeriesAtTheMedianK) {
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge());
    ASSERT_EQ(d.km.size(), 5u);
    EXPECT_EQ(d.title, "Terrain profile at the median k = 4/3");
    // The terrain raised by the bulge: nothing at the ends, the most mid-path.
    const double terrain[] = {10.0, 11.103807, 101.471743, 11.103807, 10.0};
    const double earth[] = {0.0, 1.103807, 1.471743, 1.103807, 0.0};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(d.terrainM[i], terrain[i], kTol) << i;
        EXPECT_NEAR(d.earthM[i], earth[i], kTol) << i;
        EXPECT_NEAR(d.rayM[i], 120.0, kTol) << i;
    }
    // The envelopes hang from the ray: F1 = 8.66 m mid-path, none at the ends.
    EXPECT_NEAR(d.lowerF1M[2], 111.34, kTol);
    EXPECT_NEAR(d.lower06F1M[2], 114.804, kTol);
    EXPECT_NEAR(d.upperF1M[2], 128.66, kTol);
    EXPECT_NEAR(d.lowerF1M[0], 120.0, kTol);
    EXPECT_NEAR(d.upperF1M[4], 120.0, kTol);
    // The ridge is the critical point: 18.528 m = 2.1395 F1 of clearance.
    EXPECT_EQ(d.critical, 2u);
    EXPECT_DOUBLE_EQ(d.criticalMark.km, 5.0);
    EXPECT_NEAR(d.criticalMark.m, 101.471743, kTol);
    EXPECT_NEAR(d.clearanceM[2], 18.528257, kTol);
    EXPECT_NEAR(d.clearanceF1[2], 2.139522, 1e-5);
    // The antennas on their masts.
    EXPECT_DOUBLE_EQ(d.tx.km, 0.0);
    EXPECT_NEAR(d.tx.groundM, 10.0, kTol);
    EXPECT_NEAR(d.tx.antennaM, 120.0, kTol);
    EXPECT_DOUBLE_EQ(d.rx.km, 10.0);
    EXPECT_NEAR(d.rx.antennaM, 120.0, kTol);
    // In line of sight the diffraction's edge is the ridge itself, raised as
    // the terrain is.
    ASSERT_TRUE(d.obstacle);
    EXPECT_DOUBLE_EQ(d.obstacle->km, 5.0);
    EXPECT_NEAR(d.obstacle->m, 101.471743, kTol);
    ASSERT_TRUE(d.obstacleNu);
    EXPECT_LT(*d.obstacleNu, 0.0); // cleared
}

TEST(ProfileDrawing, TheMinimumKBendsTheEarthMore) {
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge(), ProfileK::Minimum);
    EXPECT_EQ(d.title, "Terrain profile at the minimum k = 2/3");
    EXPECT_NEAR(d.terrainM[1], 12.207614, kTol);
    EXPECT_NEAR(d.terrainM[2], 102.943485, kTol);
    EXPECT_NEAR(d.clearanceF1[2], 1.969574, 1e-5);
    EXPECT_NEAR(d.lower06F1M[2], 114.804, kTol); // the ray and F1 do not depend on k
    ASSERT_TRUE(d.obstacle);
    EXPECT_NEAR(d.obstacle->m, 102.943485, kTol);
}

TEST(ProfileDrawing, AxesHoldEverythingAtRoundTicks) {
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge());
    // Across: the path's ends exactly, a tick every 2 km.
    EXPECT_DOUBLE_EQ(d.x.low, 0.0);
    EXPECT_DOUBLE_EQ(d.x.high, 10.0);
    std::vector<std::string> xTicks;
    for (const ProfileTick& tick : d.x.ticks)
        xTicks.push_back(tick.text);
    EXPECT_EQ(xTicks, (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
    // Up: from sea level (the ground is low) to above the upper F1 (128.66 m),
    // widened to whole ticks of 50 m.
    EXPECT_TRUE(d.earthShown);
    EXPECT_DOUBLE_EQ(d.y.low, 0.0);
    EXPECT_DOUBLE_EQ(d.y.high, 150.0);
    std::vector<std::string> yTicks;
    for (const ProfileTick& tick : d.y.ticks)
        yTicks.push_back(tick.text);
    EXPECT_EQ(yTicks, (std::vector<std::string>{"0", "50", "100", "150"}));
}

TEST(ProfileDrawing, AHighPlateauLeavesSeaLevelOut) {
    std::vector<double> plateau = kGroundM;
    for (double& h : plateau)
        h += 1500.0;
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge(plateau));
    EXPECT_FALSE(d.earthShown);
    EXPECT_GT(d.y.low, 1400.0);
    EXPECT_LE(d.y.low, 1510.0);
    EXPECT_GE(d.y.high, 1628.66);
    EXPECT_LT(d.y.high - d.y.low, 300.0);
}

struct ReadoutRow {
    std::size_t index;
    const char* separator;
    const char* text;
};

TEST(ProfileDrawing, ReadoutOfAPoint) {
    const ReadoutRow rows[] = {
        {2, ".", "5.00 km: ground 100.0 m, ray 120.0 m, clearance 18.5 m = 2.14 F1"},
        {1, ".", "2.50 km: ground 10.0 m, ray 120.0 m, clearance 108.9 m = 14.52 F1"},
        // At the antennas F1 is 0: no fraction.
        {0, ".", "0.00 km: ground 10.0 m, ray 120.0 m, clearance 110.0 m"},
        {4, ".", "10.00 km: ground 10.0 m, ray 120.0 m, clearance 110.0 m"},
        // The screen's separator where the window sets one.
        {2, ",", "5,00 km: ground 100,0 m, ray 120,0 m, clearance 18,5 m = 2,14 F1"},
        {5, ".", ""}, // past the last point
    };
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge());
    for (const ReadoutRow& row : rows) {
        SetDecimalSeparator(row.separator);
        EXPECT_EQ(ProfilePointText(d, row.index), row.text) << row.index;
    }
    SetDecimalSeparator("");
}

TEST(ProfileDrawing, NearestPoint) {
    const ProfileDrawing d = BuildProfileDrawing(knifeEdge());
    const std::pair<double, std::size_t> rows[] = {
        {-3.0, 0}, {0.0, 0}, {1.2, 0}, {1.3, 1}, {4.9, 2}, {6.3, 3}, {9.9, 4}, {42.0, 4},
    };
    for (const auto& [km, index] : rows)
        EXPECT_EQ(NearestProfilePoint(d, km), index) << km;
    EXPECT_EQ(NearestProfilePoint(ProfileDrawing{}, 1.0), 0u);
}

TEST(ProfileDrawing, EarthFactorAsWritten) {
    const std::pair<double, const char*> rows[] = {
        {4.0 / 3.0, "4/3"}, {2.0 / 3.0, "2/3"}, {1.0, "1.00"}, {1.2, "1.20"}, {5.0 / 3.0, "5/3"},
    };
    for (const auto& [k, text] : rows)
        EXPECT_EQ(EarthFactorText(k), text) << k;
}

TEST(ProfileDrawing, CaptionNamesKTheCriticalPointAndTheObstacle) {
    const std::string caption = ProfileCaption(BuildProfileDrawing(knifeEdge()));
    EXPECT_EQ(caption.rfind("Terrain profile at the median k = 4/3. Critical point at 5.00 km: "
                            "clearance 18.5 m = 2.14 F1. Diffraction obstacle at 5.00 km",
                            0),
              0u)
        << caption;
}

TEST(ProfileDrawing, NoPointsNoSeries) {
    const ProfileDrawing d = BuildProfileDrawing(SheetTerrain{});
    EXPECT_TRUE(d.km.empty());
    EXPECT_FALSE(d.obstacle);
    EXPECT_EQ(ProfilePointText(d, 0), "");
    EXPECT_LT(d.x.low, d.x.high);
    EXPECT_LT(d.y.low, d.y.high);
}

} // namespace
