// Multipath fading, the worst month to the year, and the hop's unavailability,
// against points worked by hand from the equations.
#include "multipath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
using Heights = std::vector<double>;

// Hop A: 40 km, 10 GHz, h_e 300 m, h_r 100 m, dN1 -400, s_a 90 m: K = 10^(-4.4 + 1.08)
// 100^-0.46 = 10^-4.24, |eps_p| = 200/40 = 5, log p0 = -4.24 + 3.4 log 40 - 1.03 log 6 + 0.8
// - 0.076 = -4.24 + 5.447004 - 0.801496 + 0.724 = 1.129508, At = 25 + 1.2 log p0 = 26.355410.
// Shallow, A = 20: pt = p0 10^(-At/10) = 0.0311865, qa' = -20 log(3.119140e-4)/At = 2.660528,
// qt = 0.660528/((1 + 0.3*0.048109) 0.378716) - 4.3 (0.048109 + 0.032944) = 1.370780,
// qa = 2 + 1.03*0.478630 (qt + 4.3*0.125) = 2.940761, p_w = 100 (1 - exp(-10^-qa)).
// A = 0: p_w = 100 (1 - 1/e) whatever the hop.
// Hop B: 10 km, 10 GHz, sea level, dN1 -200, s_a 0: K = 10^(-4.4 + 0.54 - 0.46),
// p0 = 10^(-4.32 + 3.4 + 0.8), At = 25 - 0.144; A = 30: p_w = 10^-3.12.
constexpr MultipathHop kHopA = {40, 10, 300, 100, -400, 90};
constexpr MultipathHop kHopB = {10, 10, 0, 0, -200, 0};

TEST(Multipath, WorstMonthWorkedByHand) {
    const struct {
        MultipathHop hop;
        double fadeDb, k, p0, atDb, pw;
        bool deep;
    } cases[] = {
        {kHopA, 30, 5.754399e-5, 13.474361, 26.355410, 0.013474361, true},
        {kHopA, 20, 5.754399e-5, 13.474361, 26.355410, 0.114549, false},
        {kHopA, 0, 5.754399e-5, 13.474361, 26.355410, 63.212056, false},
        {kHopB, 30, 4.786301e-5, 0.758578, 24.856, 7.585776e-4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fadeDb);
        std::string error;
        const auto m = MultipathWorstMonth(c.hop, c.fadeDb, error);
        ASSERT_TRUE(m) << error;
        EXPECT_NEAR(m->geoclimatic / c.k, 1.0, 1e-6);
        EXPECT_NEAR(m->occurrencePercent / c.p0, 1.0, 1e-6);
        EXPECT_NEAR(m->transitionDb, c.atDb, 1e-6);
        EXPECT_NEAR(m->worstMonthPercent / c.pw, 1.0, 1e-5);
        EXPECT_EQ(m->deepFading, c.deep);
    }
    EXPECT_NEAR(PathInclinationMrad(300, 100, 40), 5.0, 1e-12);
}

// The two laws meet at At, and p_w falls as A grows.
TEST(Multipath, LawsMeetAtTheTransition) {
    std::string error;
    auto pw = [&](double a) { return MultipathWorstMonth(kHopA, a, error)->worstMonthPercent; };
    const double at = MultipathWorstMonth(kHopA, 0, error)->transitionDb;
    EXPECT_NEAR(pw(at - 1e-9) / pw(at), 1.0, 1e-6);
    for (double a = 0.5; a <= 45.0; a += 0.5) {
        EXPECT_LT(pw(a), pw(a - 0.5)) << a;
    }
}

// 10 to 50 m: variance (400 + 100 + 0 + 100 + 400)/5. A 200 km path keeps 45 to 155 km.
TEST(Multipath, RoughnessOfTheMiddleOfTheProfile) {
    std::string error;
    EXPECT_NEAR(*TerrainRoughnessM(Heights{0, 1, 2, 3, 4}, Heights{10, 20, 30, 40, 50}, error),
                std::sqrt(200.0), 1e-12);
    EXPECT_NEAR(*TerrainRoughnessM(Heights{0, 40, 50, 100, 150, 160, 200},
                                   Heights{1000, 1000, 10, 20, 30, 1000, 1000}, error),
                std::sqrt(200.0 / 3.0), 1e-12);
}

// dG = 10.5 - 5.6 log(1.1 +- |cos 2 xi|^0.7) - 2.7 log d + 1.7 log(1 + eps):
// 45 deg, 40 km, 5 mrad: 10.5 - 5.6*0.041393 - 2.7*1.602060 + 1.7*0.778151;
// 60 deg: 1.1 - 0.5^0.7 = 0.484428, -5.6 log = +1.762716; 0 deg, 10 km: 10.5 - 5.6 log 2.1
// - 2.7; 90 deg, 1 km: 10.5 + 5.6 = 16.1, held at 10.8. Then p = 10^(-dG/10) p_w.
TEST(Multipath, WorstMonthToYearWorkedByHand) {
    const double cases[][5] = {{45, 40, 5, 7.265496, 0.187694},
                               {60, 40, 5, 9.260012, 0.118577},
                               {-60, 40, 5, 9.260012, 0.118577},
                               {0, 10, 0, 5.995572, 0.251445},
                               {90, 1, 0, 10.8, 0.083176}};
    for (const auto& c : cases) {
        std::string error;
        const auto y = WorstMonthToYear(2.0, c[0], c[1], c[2], error);
        ASSERT_TRUE(y) << error;
        EXPECT_NEAR(y->conversionDb, c[3], 1e-6);
        EXPECT_NEAR(y->yearPercent, 2.0 * c[4], 2e-6);
    }
}

// 0.001 % and 0.01 % of 525960 minutes: 5.2596 and 52.596, together 57.8556.
TEST(Multipath, UnavailabilityAddsMultipathAndRain) {
    std::string error;
    const auto u = CombineUnavailability(0.001, 0.01, error);
    ASSERT_TRUE(u) << error;
    EXPECT_NEAR(u->totalPercent, 0.011, 1e-12);
    EXPECT_NEAR(u->availablePercent, 99.989, 1e-12);
    EXPECT_NEAR(u->multipathMinutes, 5.2596, 1e-9);
    EXPECT_NEAR(u->rainMinutes, 52.596, 1e-9);
    EXPECT_NEAR(u->totalMinutes, 57.8556, 1e-9);
    EXPECT_EQ(CombineUnavailability(60, 70, error)->availablePercent, 0.0);
}

template <typename Call> void expectRefused(Call call) {
    std::string error;
    EXPECT_FALSE(call(error));
    EXPECT_FALSE(error.empty() || error.find('\n') != std::string::npos) << error;
}

TEST(Multipath, RefusesBadInput) {
    const MultipathHop hops[] = {{0, 10, 0, 0, -200, 0},
                                 {10, -1, 0, 0, -200, 0},
                                 {10, 10, 0, 0, kNaN, 0},
                                 {10, 10, kInf, 0, -200, 0},
                                 {10, 10, 0, 0, -200, -1}};
    for (const auto& hop : hops) {
        expectRefused([&](std::string& e) { return MultipathWorstMonth(hop, 30, e); });
    }
    expectRefused([](std::string& e) { return MultipathWorstMonth(kHopB, -1, e); });
    const Heights profiles[][2] = {
        {{0}, {5}}, {{0, 1, 2}, {5, 5}}, {{0, 2, 1}, {5, 5, 5}}, {{0, 1, 2}, {5, kNaN, 5}}};
    for (const auto& p : profiles) {
        expectRefused([&](std::string& e) { return TerrainRoughnessM(p[0], p[1], e); });
    }
    const double years[][4] = {
        {101, 45, 40, 5}, {1, 91, 40, 5}, {1, 45, 0, 5}, {1, 45, 40, -1}, {kNaN, 45, 40, 5}};
    for (const auto& y : years) {
        expectRefused([&](std::string& e) { return WorstMonthToYear(y[0], y[1], y[2], y[3], e); });
    }
    for (const auto& [multipath, rain] : {std::pair{-1.0, 0.0}, {0.0, 101.0}, {kNaN, 0.0}}) {
        expectRefused([&](std::string& e) { return CombineUnavailability(multipath, rain, e); });
    }
}

} // namespace
