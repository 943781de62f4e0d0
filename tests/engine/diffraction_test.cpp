// The delta-Bullington method against the ITU-R validation examples in
// terrain/ (the folder TERRAIN_DATA_DIR), and against points worked by hand.
#include "diffraction.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The rows after the header line; a field that is not a number reads as NaN.
std::vector<std::vector<double>> readCsv(const std::string& file) {
    std::ifstream in(TERRAIN_DATA_DIR "/" + file);
    std::vector<std::vector<double>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        auto& row = rows.emplace_back();
        for (std::string f; std::getline(fields, f, ',');) {
            std::from_chars(f.data(), f.data() + f.size(), row.emplace_back(kNaN));
        }
    }
    return rows;
}

enum CaseColumn { kCase, kPath, kFGHz = 3, kHtgM, kHrgM, kLbulla = 10, kLbulls, kLdsph, kLd };

// The examples were worked with a_e = 8500 km and the wavelength 0.3 / f (the
// model's): Lbulla and Lbulls come out to 1e-5 dB, Ldsph and Ld to 0.005 dB. Their
// column a_e = 8476.67 km (DN = 39) would leave Ldsph up to 0.26 dB off.
TEST(DeltaBullington, ReproducesTheValidationExamples) {
    const auto cases = readCsv("cases.csv");
    ASSERT_EQ(cases.size(), 21u);
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(static_cast<int>(c[kCase])));
        std::vector<double> x, h; // path 1 is profile3.csv
        for (const auto& p : readCsv("profile" + std::to_string(int(c[kPath]) + 2) + ".csv")) {
            x.push_back(p[0]);
            h.push_back(p[1]);
        }
        ASSERT_GT(x.size(), 300u);
        std::string error;
        const auto r = DeltaBullingtonLoss({x, h, c[kHtgM], c[kHrgM], c[kFGHz], 8500.0}, error);
        ASSERT_TRUE(r) << error;
        EXPECT_NEAR(r->actual.lossDb, c[kLbulla], 0.01);
        EXPECT_NEAR(r->smooth.lossDb, c[kLbulls], 0.01);
        EXPECT_NEAR(r->sphericalDb, c[kLdsph], 0.01);
        EXPECT_NEAR(r->lossDb, c[kLd], 0.01);
    }
}

// By hand, at 0.3 GHz (lambda = 1 m), mostly with a_e = 1e9 km (bulge under 2e-5 m);
// Lbull = J + (1 - exp(-J/6)) (10 + 0.02 d), J = 6.9 + 20 log(sqrt((nu - 0.1)^2 + 1) + nu - 0.1).
// Smooth ends from v1, v2: hst = (2 v1 d - v2)/d^2, hsr = (v2 - v1 d)/d^2, less the obstacle's
// height above the antennas' line shared by its slopes, held at or below the ground.
TEST(DeltaBullington, WorkedByHand) {
    struct {
        std::vector<double> x, h;
        double antennaM, radiusKm, lossDb, edgeKm, edgeM;
        bool beyondHorizon;
        double txSmoothM, rxSmoothM;
    } const cases[] = {
        // Stim = 20/5 = 4 > Str = 0, Srim = 4, dbp = 40/8 = 5, edge 10 + 4*5; nu = 20
        // sqrt(0.002*10/25) = 0.565685, J = 20 log(1.568800) + 6.9 = 10.811354, + 0.835014*10.2.
        // hst = hsr = 15, less 20/2: 5, held at 0.
        {{0, 5, 10}, {0, 30, 0}, 10.0, 1e9, 19.328494, 5.0, 30.0, true, 0.0, 0.0},
        // With the bulge 500*25/8500 = 1.470588: nu = 21.470588*0.0282843 = 0.607280, J =
        // 11.136227, + 0.843709*10.2; the rays cross at 31.470588 m in that frame.
        {{0, 5, 10}, {0, 30, 0}, 10.0, 8500, 19.742063, 5.0, 30.0, true, 0.0, 0.0},
        // In sight: nu = -10*0.0282843, J = 3.650970, + 0.455831*10.2; 15 held at 0.
        {{0, 5, 10}, {0, 30, 0}, 40.0, 1e9, 8.300443, 5.0, 30.0, false, 0.0, 0.0},
        // Stim = max(20/2, 10/8) = 10, Srim = max(20/8, 10/2) = 5, dbp = 50/15, edge 10 dbp;
        // nu = 33.3333 sqrt(0.02/(3.3333*6.6667)) = 1, J = 13.925729, + 0.901802*10.2.
        // hst = 16, hsr = 8, less 20*2/3 and 20/3, held at 0.
        {{0, 2, 8, 10}, {0, 20, 10, 0}, 0.0, 1e9, 23.124295, 10.0 / 3, 100.0 / 3, true, 0, 0},
        // nu = -30*0.0282843 = -0.848528 < -0.78. v1 = 200, v2 = 500 + 2500, hst = hsr = 10.
        {{0, 5, 10}, {20, 0, 20}, 10.0, 1e9, 0.0, 5.0, 0.0, false, 10.0, 10.0},
        // Stim = max(-55/2, 15/4) = 3.75, Srim = max(-55/8, 15/6) = 2.5, dbp = 25/6.25 = 4,
        // nu = 15 sqrt(0.02/24) = 0.433013, J = 9.741554, + 0.802811*10.2.
        // v1 = 960, v2 = 16360: hst = 28.4 - 15*0.6 = 19.4, hsr = 67.6 - 15*0.4 held at 50.
        {{0, 2, 4, 10}, {50, 0, 70, 50}, 5.0, 1e9, 17.930225, 4.0, 70.0, true, 19.4, 50.0},
        // Grazing, the bulge lost: Stim = Str, no Bullington point; nu = 0 at 1 km, J(0) =
        // 6.032852, + 0.634129*10.04. v1 = 40, v2 = 160: hst = 0, hsr = 20, on the ground.
        {{0, 1, 2}, {0, 10, 20}, 0.0, 1e300, 12.399511, 1.0, 10.0, false, 0.0, 20.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lossDb);
        std::string error;
        const auto r =
            DeltaBullingtonLoss({c.x, c.h, c.antennaM, c.antennaM, 0.3, c.radiusKm}, error);
        ASSERT_TRUE(r) << error;
        EXPECT_NEAR(r->actual.lossDb, c.lossDb, 1e-4);
        EXPECT_NEAR(r->actual.edge.distanceKm, c.edgeKm, 1e-4);
        EXPECT_NEAR(r->actual.edge.heightM, c.edgeM, 1e-3);
        EXPECT_EQ(r->actual.edge.beyondHorizon, c.beyondHorizon);
        EXPECT_NEAR(r->txSmoothM, c.txSmoothM, 1e-9);
        EXPECT_NEAR(r->rxSmoothM, c.rxSmoothM, 1e-9);
        EXPECT_TRUE(std::isfinite(r->sphericalDb) && std::isfinite(r->lossDb));
    }
    EXPECT_EQ(KnifeEdgeLossDb(-0.78), 0.0); // the formula would give 0.004 dB
}

// 0.03 GHz, 100 km, 1 m (dlos 8.2 km): s = 18*0.003/0.03 = 1.8, K_H = 0.036 * 0.157696 *
// 444.24^-0.25 = 1.236568e-3, K_V = K_H sqrt(487.24) = 2.729540e-2; X = 1.632325, 1.628816:
// F = 11 + 10 log X - 17.6 X = -15.600848, -15.548442; B = 0.0045298, 0.0045103: G = 20
// log(B + 0.1 B^3) = -46.878460, -46.915840, floor 2 + 20 log K = -56.1556 (H), -29.2782 (V);
// L = -F - 2 G. 1 GHz, 50 m (dlos 58.3 km): B = 2.345860, G = 17.6 sqrt(B - 1.1) - 5 log(B -
// 1.1) - 8. 10 km, 100 m: the ray clears the earth by 98.5 m, above hreq = 15.1 m.
// 0.5 GHz, 30 km, 40 and 5 m (dlos 54.3 km): c = 35/45, m = 250*900/(8500*45) = 0.588235,
// b = 0.552011, dse1 = 23.280158, hse = 3.637522, hreq = 17.456 sqrt(23.28*6.72*0.6/30) =
// 30.876795; a_em = 500 (30/(6.324555 + 2.236068))^2 = 6140.472; X = 1.553664 < 1.6: F =
// -20 log X - 5.6488 X^1.425 = -14.410901; G = 3.785967, -15.642722; (1 - hse/hreq) 26.267656.
TEST(DeltaBullington, SphericalEarthWorkedByHand) {
    const auto h = Polarization::Horizontal;
    const struct {
        double freqGHz, km, txM, rxM;
        Polarization pol;
        double lossDb;
    } cases[] = {{0.03, 100, 1, 1, h, 109.357767},
                 {0.03, 100, 1, 1, Polarization::Vertical, 74.104862},
                 {1, 100, 50, 50, h, 51.919347},
                 {1, 10, 100, 100, h, 0.0},
                 {0.5, 30, 40, 5, h, 23.173125}};
    for (const auto& c : cases) {
        EXPECT_NEAR(SphericalEarthLossDb(c.km, c.txM, c.rxM, c.freqGHz, 8500, c.pol), c.lossDb,
                    1e-5);
    }
}

TEST(DeltaBullington, RefusesBadPaths) {
    struct {
        std::vector<double> x, h;
        double antennaM, freqGHz, radiusKm;
    } const bad[] = {
        {{0, 1}, {0, 0}, 10, 1, 8500},          {{0, 1, 2}, {0, 0}, 10, 1, 8500},
        {{0, 1, 1}, {0, 0, 0}, 10, 1, 8500},    {{0, 2, 1}, {0, 0, 0}, 10, 1, 8500},
        {{0, kNaN, 2}, {0, 0, 0}, 10, 1, 8500}, {{0, 1, 2}, {0, kNaN, 0}, 10, 1, 8500},
        {{0, 1, 2}, {0, 0, 0}, -1, 1, 8500},    {{0, 1, 2}, {0, 0, 0}, kNaN, 1, 8500},
        {{0, 1, 2}, {0, 0, 0}, 10, 0, 8500},    {{0, 1, 2}, {0, 0, 0}, 10, kNaN, 8500},
        {{0, 1, 2}, {0, 0, 0}, 10, 1, 0},       {{0, 1, 2}, {0, 0, 0}, 10, 1, -8500},
        {{0, 1, 2}, {0, 0, 0}, 10, 1, kNaN},
    };
    for (const auto& b : bad) {
        std::string error;
        EXPECT_FALSE(DeltaBullingtonLoss({b.x, b.h, b.antennaM, 10, b.freqGHz, b.radiusKm}, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

} // namespace
