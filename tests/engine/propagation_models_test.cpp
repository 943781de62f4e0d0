// Rain attenuation, path clearance and dish gain against published values
// and against the formulas evaluated independently here.
#include "dish_antenna.h"
#include "path_clearance.h"
#include "rain_attenuation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Values printed in the recommendation's own table of k and alpha.
struct TablePoint {
    double freqGHz, kH, alphaH, kV, alphaV;
};

void PrintTo(const TablePoint& t, std::ostream* os) {
    *os << t.freqGHz << " GHz";
}

class RainTable : public testing::TestWithParam<TablePoint> {};

TEST_P(RainTable, MatchesThePublishedCoefficients) {
    const TablePoint& t = GetParam();
    const RainCoefficients h = HorizontalRainCoefficients(t.freqGHz);
    const RainCoefficients v = VerticalRainCoefficients(t.freqGHz);
    // The table prints four significant digits.
    EXPECT_NEAR(h.k / t.kH, 1.0, 5e-4);
    EXPECT_NEAR(v.k / t.kV, 1.0, 5e-4);
    EXPECT_NEAR(h.alpha, t.alphaH, 5e-5);
    EXPECT_NEAR(v.alpha, t.alphaV, 5e-5);
}

INSTANTIATE_TEST_SUITE_P(Rain, RainTable,
                         testing::Values(TablePoint{1, 0.0000259, 0.9691, 0.0000308, 0.8592},
                                         TablePoint{10, 0.01217, 1.2571, 0.01129, 1.2156},
                                         TablePoint{20, 0.09164, 1.0568, 0.09611, 0.9847},
                                         TablePoint{30, 0.2403, 0.9485, 0.2291, 0.9129},
                                         TablePoint{40, 0.4431, 0.8673, 0.4274, 0.8421}),
                         [](const auto& info) {
                             return "At" + std::to_string(static_cast<int>(info.param.freqGHz)) +
                                    "GHz";
                         });

// The sums of Gaussians in log10 f, evaluated from the printed coefficients
// with a loop of its own: {a, b, c} per term, then m and the constant.
double fit(const std::vector<std::array<double, 3>>& terms, double m, double constant, double f) {
    double sum = m * std::log10(f) + constant;
    for (const auto& [a, b, c] : terms) {
        sum += a * std::exp(-std::pow((std::log10(f) - b) / c, 2));
    }
    return sum;
}

TEST(Rain, CoefficientsFollowTheFitAtOtherFrequencies) {
    for (const double f : {1.5, 3.0, 7.0, 55.0, 150.0, 400.0, 1000.0}) {
        const double kH = std::pow(10.0, fit({{-5.33980, -0.10008, 1.13098},
                                              {-0.35351, 1.26970, 0.45400},
                                              {-0.23789, 0.86036, 0.15354},
                                              {-0.94158, 0.64552, 0.16817}},
                                             -0.18961, 0.71147, f));
        const double kV = std::pow(10.0, fit({{-3.80595, 0.56934, 0.81061},
                                              {-3.44965, -0.22911, 0.51059},
                                              {-0.39902, 0.73042, 0.11899},
                                              {0.50167, 1.07319, 0.27195}},
                                             -0.16398, 0.63297, f));
        const double aH = fit({{-0.14318, 1.82442, -0.55187},
                               {0.29591, 0.77564, 0.19822},
                               {0.32177, 0.63773, 0.13164},
                               {-5.37610, -0.96230, 1.47828},
                               {16.1721, -3.29980, 3.43990}},
                              0.67849, -1.95537, f);
        const double aV = fit({{-0.07771, 2.33840, -0.76284},
                               {0.56727, 0.95545, 0.54039},
                               {-0.20238, 1.14520, 0.26809},
                               {-48.2991, 0.791669, 0.116226},
                               {48.5833, 0.791459, 0.116479}},
                              -0.053739, 0.83433, f);
        EXPECT_NEAR(HorizontalRainCoefficients(f).k / kH, 1.0, 1e-12) << f;
        EXPECT_NEAR(VerticalRainCoefficients(f).k / kV, 1.0, 1e-12) << f;
        EXPECT_NEAR(HorizontalRainCoefficients(f).alpha, aH, 1e-12) << f;
        EXPECT_NEAR(VerticalRainCoefficients(f).alpha, aV, 1e-12) << f;
    }
}

TEST(Rain, TiltAndElevationCombineTheTwoPolarizations) {
    const RainCoefficients h = HorizontalRainCoefficients(15.0);
    const RainCoefficients v = VerticalRainCoefficients(15.0);
    const double circularK = (h.k + v.k) / 2.0;
    const double circularAlpha = (h.k * h.alpha + v.k * v.alpha) / (h.k + v.k);
    struct Case {
        double tilt, elevation, k, alpha;
    };
    for (const Case& c :
         {Case{kHorizontalTiltDeg, 0.0, h.k, h.alpha}, Case{kVerticalTiltDeg, 0.0, v.k, v.alpha},
          Case{kCircularTiltDeg, 0.0, circularK, circularAlpha},
          Case{kHorizontalTiltDeg, 90.0, circularK, circularAlpha}}) {
        const RainCoefficients r = RainCoefficientsFor(15.0, c.tilt, c.elevation);
        EXPECT_NEAR(r.k, c.k, 1e-12 * c.k) << c.tilt << " " << c.elevation;
        EXPECT_NEAR(r.alpha, c.alpha, 1e-9) << c.tilt << " " << c.elevation;
    }
}

struct PathCase {
    double d, rate, alpha, f;
};

TEST(Rain, DistanceFactorAndItsCap) {
    for (const PathCase& c :
         {PathCase{10, 50, 0.9847, 20}, PathCase{30, 25, 1.2156, 10}, PathCase{5, 100, 1.1, 38},
          PathCase{0.2, 50, 1.0, 20}, PathCase{3, 0, 1.0, 20}}) {
        const double denominator = 0.477 * std::pow(c.d, 0.633) *
                                       std::pow(c.rate, 0.073 * c.alpha) * std::pow(c.f, 0.123) -
                                   10.579 * (1.0 - std::exp(-0.024 * c.d));
        const double expected = denominator < 0.4 ? 2.5 : 1.0 / denominator;
        EXPECT_NEAR(RainDistanceFactor(c.d, c.rate, c.alpha, c.f), expected, 1e-12) << c.d;
    }
    EXPECT_EQ(RainDistanceFactor(0.2, 50, 1.0, 20), 2.5); // a short path takes the cap
}

TEST(Rain, TimeScaleFollowsThePowerLaw) {
    for (const double f : {5.0, 10.0, 20.0, 40.0}) {
        const double c0 = f < 10.0 ? 0.12 : 0.12 + 0.4 * std::pow(std::log10(f / 10.0), 0.8);
        const double c1 = std::pow(0.07, c0) * std::pow(0.12, 1.0 - c0);
        const double c2 = 0.855 * c0 + 0.546 * (1.0 - c0);
        const double c3 = 0.139 * c0 + 0.043 * (1.0 - c0);
        for (const double p : {0.001, 0.003, 0.1, 1.0}) {
            EXPECT_NEAR(RainTimeScale(f, p), c1 * std::pow(p, -(c2 + c3 * std::log10(p))), 1e-12)
                << f << " " << p;
        }
        // The law passes through A0.01 itself, up to its rounded constants.
        EXPECT_NEAR(RainTimeScale(f, 0.01), 1.0, 3e-3) << f;
    }
}

TEST(Rain, PathAttenuationChainsTheSteps) {
    const RainPath path = RainPathAttenuation(20.0, 10.0, 50.0, 0.01, kVerticalTiltDeg, 0.0);
    const double gamma = 0.09611 * std::pow(50.0, 0.9847); // the table's kV, alphaV
    EXPECT_NEAR(path.specific / gamma, 1.0, 1e-3);
    EXPECT_NEAR(path.effectiveKm, 10.0 * path.distanceFactor, 1e-12);
    EXPECT_DOUBLE_EQ(path.loss, path.loss001); // p = 0.01 % is the reference
    EXPECT_NEAR(path.loss001, path.specific * path.effectiveKm, 1e-12);
    const RainPath yearly = RainPathAttenuation(20.0, 10.0, 50.0, 0.1, kVerticalTiltDeg, 0.0);
    EXPECT_NEAR(yearly.loss, path.loss001 * RainTimeScale(20.0, 0.1), 1e-12);
    EXPECT_EQ(RainPathAttenuation(20.0, 10.0, 0.0, 0.01, 0.0, 0.0).loss, 0.0);
    EXPECT_EQ(RainPathAttenuation(20.0, 0.0, 50.0, 0.01, 0.0, 0.0).loss, 0.0);
}

TEST(PathClearance, PublishedChecks) {
    EXPECT_NEAR(FresnelRadiusM(5.0, 5.0, 0.915), 28.6, 0.05);
    EXPECT_NEAR(EarthBulgeM(5.0, 5.0), 1.47, 0.005);
    // The rule of thumb for a 4/3 earth: 4.12 (sqrt h1 + sqrt h2) km, h in m.
    EXPECT_NEAR(RadioHorizonKm(30.0, 20.0), 4.12 * (std::sqrt(30.0) + std::sqrt(20.0)), 0.05);
}

TEST(PathClearance, MidPathVerdicts) {
    struct Case {
        double d, h1, h2;
        bool beyond, under;
    };
    for (const Case& c : {Case{10, 30, 30, false, false}, Case{10, 20, 10, false, true},
                          Case{30, 10, 10, true, true}, Case{40, 150, 50, false, false}}) {
        const PathClearance p = MidPathClearance(c.d, 0.915, c.h1, c.h2);
        const double bulge = (c.d / 2) * (c.d / 2) / (12.74 * 4.0 / 3.0);
        EXPECT_NEAR(p.clearanceM, (c.h1 + c.h2) / 2.0 - bulge, 1e-9) << c.d;
        EXPECT_NEAR(p.clearanceFraction * p.fresnelM, p.clearanceM, 1e-9) << c.d;
        EXPECT_EQ(p.beyondHorizon, c.beyond) << c.d;
        EXPECT_EQ(p.underRequired, c.under) << c.d;
    }
}

TEST(DishAntenna, GainAndBeamwidth) {
    EXPECT_NEAR(DishGainDbi(1.2, 0.55, 2250.0), 26.4, 0.05);
    // Twice the diameter, four times the area; 55 % of a 100 % dish.
    EXPECT_NEAR(DishGainDbi(2.4, 0.55, 2250.0) - DishGainDbi(1.2, 0.55, 2250.0),
                20.0 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(DishGainDbi(1.2, 1.0, 2250.0) - DishGainDbi(1.2, 0.55, 2250.0),
                -10.0 * std::log10(0.55), 1e-9);
    EXPECT_NEAR(DishBeamwidthDeg(1.2, 2250.0), 70.0 * (299.792458 / 2250.0) / 1.2, 1e-9);
}

} // namespace

namespace {

// The earth bulge and the radio horizon scale with the effective earth
// radius factor k: b = d1 d2 / (12.74 k), d = sqrt(2 k a h1) + sqrt(2 k a h2).
TEST(PathClearance, TheEarthFactorScalesTheBulgeAndTheHorizon) {
    const PathClearance standard = MidPathClearance(32.0, 18.0, 30.0, 20.0);
    const PathClearance worst = MidPathClearance(32.0, 18.0, 30.0, 20.0, 2.0 / 3.0);
    EXPECT_NEAR(standard.bulgeM, 16.0 * 16.0 / (12.74 * 4.0 / 3.0), 1e-9);
    EXPECT_NEAR(worst.bulgeM, 2.0 * standard.bulgeM, 1e-9);
    EXPECT_NEAR(worst.horizonKm, standard.horizonKm / std::sqrt(2.0), 1e-9);
    EXPECT_EQ(worst.fresnelM, standard.fresnelM); // the zone does not bend
    EXPECT_LT(worst.clearanceM, standard.clearanceM);
}

} // namespace
