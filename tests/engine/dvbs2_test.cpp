// DVB-S2 MODCODs against ETSI EN 302 307-1 Table 13 (normal FECFRAME, no
// pilots) row by row, the choice of the most efficient MODCOD, and names.
#include "dvbs2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

namespace {

// Table 13: MODCOD, spectral efficiency (bit/symbol), ideal Es/N0 (dB).
struct PublishedRow {
    const char* name;
    double efficiency, esNoDb;
};
constexpr PublishedRow kTable13[] = {
    {"qpsk-1/4", 0.490243, -2.35},    {"qpsk-1/3", 0.656448, -1.24},
    {"qpsk-2/5", 0.789412, -0.30},    {"qpsk-1/2", 0.988858, 1.00},
    {"qpsk-3/5", 1.188304, 2.23},     {"qpsk-2/3", 1.322253, 3.10},
    {"qpsk-3/4", 1.487473, 4.03},     {"qpsk-4/5", 1.587196, 4.68},
    {"qpsk-5/6", 1.654663, 5.18},     {"qpsk-8/9", 1.766451, 6.20},
    {"qpsk-9/10", 1.788612, 6.42},    {"8psk-3/5", 1.779991, 5.50},
    {"8psk-2/3", 1.980636, 6.62},     {"8psk-3/4", 2.228124, 7.91},
    {"8psk-5/6", 2.478562, 9.35},     {"8psk-8/9", 2.646012, 10.69},
    {"8psk-9/10", 2.679207, 10.98},   {"16apsk-2/3", 2.637201, 8.97},
    {"16apsk-3/4", 2.966728, 10.21},  {"16apsk-4/5", 3.165623, 11.03},
    {"16apsk-5/6", 3.300184, 11.61},  {"16apsk-8/9", 3.523143, 12.89},
    {"16apsk-9/10", 3.567342, 13.13}, {"32apsk-3/4", 3.703295, 12.73},
    {"32apsk-4/5", 3.951571, 13.64},  {"32apsk-5/6", 4.119540, 14.28},
    {"32apsk-8/9", 4.397854, 15.69},  {"32apsk-9/10", 4.453027, 16.05},
};

TEST(Table13, EveryRowMatches) {
    static_assert(std::size(kTable13) == Dvbs2ModcodTable.size());
    for (const PublishedRow& row : kTable13) {
        const Dvbs2Modcod* modcod = nullptr;
        std::string error;
        ASSERT_TRUE(FindDvbs2Modcod(row.name, modcod, error)) << error;
        EXPECT_NEAR(Dvbs2Efficiency(*modcod), row.efficiency, 5e-7) << row.name;
        EXPECT_EQ(modcod->requiredEsNoDb, row.esNoDb) << row.name;
        EXPECT_NEAR(Dvbs2RequiredEbNoDb(*modcod), row.esNoDb - 10.0 * std::log10(row.efficiency),
                    1e-5)
            << row.name;
    }
}

TEST(Dvbs2Names, IgnoreCaseAndListTheValidOnesOnError) {
    const Dvbs2Modcod* modcod = nullptr;
    std::string error;
    ASSERT_TRUE(FindDvbs2Modcod("32APSK-9/10", modcod, error));
    EXPECT_STREQ(modcod->name, "32apsk-9/10");
    for (const char* bad : {"qpsk-7/8", "64apsk-3/4", "", "qpsk-1/4 "}) {
        EXPECT_FALSE(FindDvbs2Modcod(bad, modcod, error)) << bad;
        EXPECT_NE(error.find("valid: qpsk-1/4 qpsk-1/3"), std::string::npos) << error;
        EXPECT_NE(error.find("32apsk-9/10"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(Dvbs2Auto, PicksTheMostEfficientMet) {
    struct Row {
        double esNoDb, marginDb;
        const char* modcod; // nullptr: none is met
    };
    for (const Row& row :
         std::initializer_list<Row>{{-2.36, 0.0, nullptr},
                                    {-2.35, 0.0, "qpsk-1/4"},
                                    {2.0, 1.0, "qpsk-1/2"},    // the margin met exactly
                                    {5.6, 0.0, "8psk-3/5"},    // 1.780 before qpsk-5/6's 1.655
                                    {6.5, 0.0, "qpsk-9/10"},   // 1.789 beats 8psk-3/5
                                    {10.7, 0.0, "16apsk-3/4"}, // before 8psk-8/9
                                    {10.7, 2.0, "8psk-3/4"},
                                    {30.0, 3.0, "32apsk-9/10"}}) {
        const auto chosen = SelectDvbs2Modcod(row.esNoDb, row.marginDb, 1e6);
        ASSERT_EQ(chosen.has_value(), row.modcod != nullptr) << row.esNoDb;
        if (chosen) {
            EXPECT_STREQ(chosen->modcod->name, row.modcod) << row.esNoDb;
        }
    }
    // 27.5 Msymbol/s at Es/N0 = 9 dB, C/N0 = 9 + 74.393327 dBHz: 16apsk-2/3,
    // 27.5e6 * 2.637201 = 72.523 Mbit/s, 0.03 dB to spare.
    const auto chosen = SelectDvbs2ModcodForCn0(83.393327, 0.0, 27.5e6);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_STREQ(chosen->modcod->name, "16apsk-2/3");
    EXPECT_NEAR(chosen->throughput, 72.523e6, 1e3);
    EXPECT_NEAR(chosen->excessDb, 0.03, 1e-5);
}

} // namespace
