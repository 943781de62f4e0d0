// Clearance over a terrain profile and the least antenna heights of the
// planning criteria, against hops worked by hand.
#include "path_clearance.h"
#include "profile_clearance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<double>;

// A knife edge 30 m high at mid-path of 10 km, antennas 50 m over ground at
// sea level, 10 GHz. At mid-path F1 = 17.32 sqrt(25 / 100) = 8.66 m; the
// bulge is 25 / (12.74 k): 1.471743 m at k = 4/3, 2.943485 m at 2/3.
const Numbers kEdgeKm = {0.0, 5.0, 10.0};
const Numbers kEdgeM = {0.0, 30.0, 0.0};

ClearanceHop edgeHop(double tx, double rx) {
    return {kEdgeKm, kEdgeM, tx, rx, 10.0};
}

TEST(ProfileClearance, PointByPointWorkedByHand) {
    std::string error;
    const auto c = ClearanceAlong(edgeHop(50.0, 50.0), 4.0 / 3.0, error);
    ASSERT_TRUE(c) << error;
    ASSERT_EQ(c->points.size(), 3u);
    EXPECT_EQ(c->critical, 1u);
    const ClearancePoint& mid = c->points[1];
    EXPECT_NEAR(mid.bulgeM, 1.471743, 1e-6);
    EXPECT_NEAR(mid.fresnelM, 8.66, 1e-9);
    EXPECT_NEAR(mid.rayM, 50.0, 1e-12);
    EXPECT_NEAR(mid.clearanceM, 50.0 - 31.471743, 1e-6);
    EXPECT_NEAR(mid.clearanceF1, 18.528257 / 8.66, 1e-6);
    // The ends: the antennas themselves.
    EXPECT_DOUBLE_EQ(c->points.front().clearanceM, 50.0);
    EXPECT_DOUBLE_EQ(c->points.back().rayM, 50.0);
    EXPECT_DOUBLE_EQ(c->txAltitudeM, 50.0);
}

TEST(ProfileClearance, RayFollowsAntennaAltitudes) {
    // Ends at different ground heights: the ray runs from 110 m to 40 m
    // above sea level, so at 2.5 km of 10 km it is at 92.5 m.
    const Numbers km = {0.0, 2.5, 5.0, 10.0};
    const Numbers m = {100.0, 20.0, 60.0, 0.0};
    std::string error;
    const auto c = ClearanceAlong({km, m, 10.0, 40.0, 6.0}, 4.0 / 3.0, error);
    ASSERT_TRUE(c) << error;
    EXPECT_NEAR(c->points[1].rayM, 92.5, 1e-12);
    EXPECT_NEAR(c->points[2].rayM, 75.0, 1e-12);
    // The point at 5 km (75 - 60 - bulge over F1) is the critical one.
    EXPECT_EQ(c->critical, 2u);
    EXPECT_DOUBLE_EQ(c->txAltitudeM, 110.0);
    EXPECT_DOUBLE_EQ(c->rxAltitudeM, 40.0);
}

TEST(ProfileClearance, CriteriaOfBothSteps) {
    // Step 1 needs 30 + 1.471743 + 8.66 = 40.131743 m of ray at mid-path,
    // step 3 (extended) 30 + 2.943485 + 0.3 * 8.66 = 35.541485 m; the ray at
    // mid-path is the mean of the two antennas' altitudes.
    const struct {
        double tx, rx;
        ObstructionKind kind;
        bool median, minimum;
    } cases[] = {
        {50.0, 50.0, ObstructionKind::Extended, true, true},
        {40.0, 40.0, ObstructionKind::Extended, false, true},  // 40 < 40.13
        {36.0, 35.0, ObstructionKind::Extended, false, false}, // 35.5 < 35.54
        {36.0, 35.0, ObstructionKind::Isolated, false, true},  // grazing: 32.94
        {40.0, 40.2, ObstructionKind::Tropical, false, true},  // 0.6 F1: 38.14
        {40.5, 40.0, ObstructionKind::Tropical, true, true},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto check = CheckAntennaHeights(
            edgeHop(c.tx, c.rx),
            {.medianK = 4.0 / 3.0, .minimumK = 2.0 / 3.0, .obstruction = c.kind}, error);
        ASSERT_TRUE(check) << error;
        EXPECT_EQ(check->medianMet, c.median) << c.tx << " " << c.rx;
        EXPECT_EQ(check->minimumMet, c.minimum) << c.tx << " " << c.rx;
        EXPECT_EQ(check->met(), c.median && c.minimum);
    }
}

TEST(ProfileClearance, LeastAntennaHeightMeetsTheCriteriaExactly) {
    // With Rx at 50 m, Tx needs 2 * 40.131743 - 50 = 30.263485 m (step 1
    // rules); with Rx at 10 m and tropical criteria step 1 still rules:
    // 2 * 40.131743 - 10 = 70.263485 m.
    const struct {
        double other;
        HopEnd end;
        ObstructionKind kind;
        double expected;
    } cases[] = {
        {50.0, HopEnd::Tx, ObstructionKind::Extended, 30.263485},
        {50.0, HopEnd::Rx, ObstructionKind::Extended, 30.263485},
        {10.0, HopEnd::Tx, ObstructionKind::Tropical, 70.263485},
        {200.0, HopEnd::Tx, ObstructionKind::Extended, 0.0}, // already clear at 0 m
    };
    for (const auto& c : cases) {
        const HeightCriteria criteria{.obstruction = c.kind};
        std::string error;
        const ClearanceHop hop =
            c.end == HopEnd::Tx ? edgeHop(0.0, c.other) : edgeHop(c.other, 0.0);
        const auto least = LeastAntennaHeightM(hop, criteria, c.end, error);
        ASSERT_TRUE(least) << error;
        EXPECT_NEAR(*least, c.expected, 1e-5);
        // The answer meets the criteria, and a centimetre less does not
        // (unless the answer is the ground itself).
        const auto raised =
            c.end == HopEnd::Tx ? edgeHop(*least + 1e-9, c.other) : edgeHop(c.other, *least + 1e-9);
        EXPECT_TRUE(CheckAntennaHeights(raised, criteria, error)->met());
        if (*least > 0.0) {
            const auto lowered = c.end == HopEnd::Tx ? edgeHop(*least - 0.01, c.other)
                                                     : edgeHop(c.other, *least - 0.01);
            EXPECT_FALSE(CheckAntennaHeights(lowered, criteria, error)->met());
        }
    }
}

TEST(ProfileClearance, FlatProfileAgreesWithTheMidPathClearance) {
    Numbers km, m;
    for (int i = 0; i <= 40; ++i) {
        km.push_back(i * 0.5);
        m.push_back(0.0);
    }
    std::string error;
    const auto c = ClearanceAlong({km, m, 30.0, 30.0, 8.0}, 4.0 / 3.0, error);
    ASSERT_TRUE(c) << error;
    const PathClearance mid = MidPathClearance(20.0, 8.0, 30.0, 30.0, 4.0 / 3.0);
    EXPECT_NEAR(c->points[20].clearanceM, mid.clearanceM, 1e-9);
    EXPECT_NEAR(c->points[20].fresnelM, mid.fresnelM, 1e-9);
    EXPECT_EQ(c->critical, 20u); // the bulge is largest at mid-path
}

TEST(ProfileClearance, RefusesWhatItCannotTake) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const Numbers two = {0.0, 1.0};
    const Numbers back = {0.0, 2.0, 1.0};
    const Numbers nan = {0.0, kNaN, 2.0};
    const Numbers three = {0.0, 1.0, 2.0};
    const struct {
        ClearanceHop hop;
        double k;
        const char* words;
    } cases[] = {
        {{two, two, 10, 10, 10}, 4.0 / 3.0, "at least 3 points"},
        {{back, three, 10, 10, 10}, 4.0 / 3.0, "do not increase at point 3"},
        {{three, nan, 10, 10, 10}, 4.0 / 3.0, "point 2 is not a finite number"},
        {{three, three, -1, 10, 10}, 4.0 / 3.0, "0 m or more"},
        {{three, three, 10, 10, 0}, 4.0 / 3.0, "frequency"},
        {{three, three, 10, 10, 10}, 0.0, "factor k"},
        {{three, two, 10, 10, 10}, 4.0 / 3.0, "differ in number"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ClearanceAlong(c.hop, c.k, error));
        EXPECT_NE(error.find(c.words), std::string::npos) << error;
    }
}

} // namespace
