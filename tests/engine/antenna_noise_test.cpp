// Sky noise (ITU-R P.618-13 section 3), pointing loss and polarization
// mismatch against values worked by hand and the textbook limiting cases.
#include "antenna_losses.h"
#include "sky_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// By hand: T_mr (1 - 10^(-A/10)) + 2.7 10^(-A/10), T_mr = 275 K or
// 37.34 + 0.81 T_s.
TEST(SkyNoise, FollowsTheAttenuation) {
    struct Row {
        double attenuationDb;
        std::optional<double> surfaceK;
        double skyK;
    };
    for (const Row& row : std::initializer_list<Row>{{0.0, {}, 2.7},
                                                     {1.0, {}, 58.70442},
                                                     {10.0, {}, 247.77},
                                                     {100.0, {}, 275.0},
                                                     {5.0, 288.15, 185.97934},
                                                     {100.0, 300.0, 280.34}}) {
        EXPECT_NEAR(
            SkyNoiseTemperatureK(row.attenuationDb, MeanRadiatingTemperatureK(row.surfaceK)),
            row.skyK, 1e-4)
            << row.attenuationDb;
    }
}

TEST(Pointing, TwelveTimesTheSquaredRatio) {
    EXPECT_DOUBLE_EQ(PointingLossDb(1.0, 2.0), 3.0); // at the half-power point
    EXPECT_DOUBLE_EQ(PointingLossDb(-0.8, 0.8), 12.0);
    // 1.2 m at 10 GHz: theta_3dB = 70 * 0.0299792 / 1.2 = 1.748789 deg.
    EXPECT_NEAR(DishPointingLossDb(0.1, 1.2, 10000.0), 0.0392379, 1e-7);
}

TEST(Polarization, MismatchLoss) {
    constexpr auto same = PolarizationSense::Same;
    constexpr auto opposite = PolarizationSense::Opposite;
    struct Row {
        double ar1Db, ar2Db, tiltDeg;
        PolarizationSense sense;
        double lossDb;
    };
    for (const Row& row : std::initializer_list<Row>{
             {0, 0, 0, same, 0.0},            // matched circular
             {0, 0, 30, opposite, kInf},      // crossed circular
             {kInf, kInf, 45, same, 3.0103},  // linear: cos^2 tau
             {kInf, kInf, -60, same, 6.0206}, // the sign of the tilt does not matter
             {kInf, kInf, 90, same, kInf},    // crossed linear
             {0, kInf, 17, same, 3.0103},     // circular on linear
             {3, 0, 70, same, 0.12517},       // 1/2 + r / (r^2 + 1), r = 10^(3/20)
             {3, 3, 90, same, 0.50810},       // worst case of two 3 dB ellipses
             {3, 3, 270, same, 0.50810},      // repeats every 180 degrees
             {3, 3, 0, opposite, 9.56995},    // best case of opposite senses
             {6, 2, 45, same, 0.50522}}) {
        const double loss =
            PolarizationMismatchLossDb(row.ar1Db, row.ar2Db, row.tiltDeg, row.sense);
        if (std::isinf(row.lossDb)) {
            EXPECT_EQ(loss, kInf) << row.ar1Db << " " << row.ar2Db << " " << row.tiltDeg;
        } else {
            EXPECT_NEAR(loss, row.lossDb, 1e-4)
                << row.ar1Db << " " << row.ar2Db << " " << row.tiltDeg;
        }
    }
}

} // namespace
