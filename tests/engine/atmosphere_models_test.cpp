// The gas, reference-atmosphere, cloud, rain and scintillation models against
// every row of the ITU-R validation tables (itu/) and published values.
#include "cloud_attenuation.h"
#include "gas_attenuation.h"
#include "itu_table.h"
#include "reference_atmosphere.h"
#include "scintillation.h"
#include "slant_rain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using testing_support::ExpectEveryRow;
using testing_support::ItuRow;
using testing_support::ItuTable;
using testing_support::ReadItuTable;

TEST(GasAttenuation, SpecificAttenuationMatchesEveryRow) {
    const auto gamma = [](const ItuRow& v) {
        return GasSpecificAttenuation(v("f"), v("P"), v("T"), v("rho"));
    };
    const char* file = "ITURP676-12_gamma.csv";
    ExpectEveryRow(file, 355, "gamma0", [&](const ItuRow& v) { return gamma(v).oxygen; });
    ExpectEveryRow(file, 355, "gammaw", [&](const ItuRow& v) { return gamma(v).waterVapour; });
    ExpectEveryRow(file, 355, "gamma",
                   [&](const ItuRow& v) { return TerrestrialGasLossDb(gamma(v), 1.0); });
}

TEST(GasAttenuation, SlantPathMatchesEveryRow) {
    ExpectEveryRow("ITURP676-12_A_gas.csv", 64, "A_gas", [](const ItuRow& v) {
        // The table's P is the dry-air pressure; a barometer reads p + e.
        const SurfaceAir air{v("P") + VapourPressureHpa(v("rho"), v("T")), v("T"), v("rho")};
        const auto gas = SlantGasAttenuation(v("f"), v("el"), air, v("V_t"), v("h"));
        return gas ? gas->lossDb : std::numeric_limits<double>::quiet_NaN();
    });
}

TEST(GasAttenuation, LineTablesAreTheRecommendationsTables) {
    const auto expectSame = [](const char* file, std::span<const SpectralLine> lines) {
        const ItuTable table = ReadItuTable(file);
        ASSERT_EQ(table.rows.size(), lines.size()) << file;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto& [f0, c] = lines[i];
            EXPECT_EQ(table.rows[i], (std::vector{f0, c[0], c[1], c[2], c[3], c[4], c[5]})) << i;
        }
    };
    expectSame("P676-12_lines_oxygen.csv", OxygenLines());
    expectSame("P676-12_lines_water_vapour.csv", WaterVapourLines());
}

TEST(GasAttenuation, SlantPathOnlyFromFiveToNinetyDegrees) {
    const SurfaceAir air{1013.25, 288.15, 7.5};
    for (const double elevation : {4.99, 90.01, -10.0, std::nan("")}) {
        EXPECT_FALSE(SlantGasAttenuation(20.0, elevation, air, std::nullopt, 0.0)) << elevation;
    }
    EXPECT_TRUE(SlantGasAttenuation(20.0, 5.0, air, std::nullopt, 0.0));
}

// Without V_t, A_w = gamma_w h_w; the reference atmosphere holds 15 kg/m2
// (7.5 g/m3 over a 2 km scale height), and the two ways agree within 20 %.
TEST(GasAttenuation, EquivalentHeightAgreesWithTheColumn) {
    const SurfaceAir air{1013.25, 288.15, 7.5};
    for (const double f : {10.0, 22.235, 30.0, 50.0, 100.0}) {
        const auto profile = SlantGasAttenuation(f, 90.0, air, std::nullopt, 0.0);
        const double column = ZenithWaterVapourFromColumnDb(f, 15.0, 0.0);
        ASSERT_TRUE(profile);
        EXPECT_NEAR(profile->waterVapourZenithDb / column, 1.0, 0.2) << f;
    }
}

// The U.S. Standard Atmosphere 1976 tables, which P.835-6 follows, at
// geometric heights.
TEST(ReferenceAtmosphere, MatchesTheStandardAtmosphereTables) {
    struct Point {
        double km, kelvin, hpa;
    };
    for (const Point& p :
         {Point{0, 288.150, 1013.25}, Point{5, 255.676, 540.48}, Point{10, 223.252, 264.999},
          Point{20, 216.650, 55.2929}, Point{30, 226.509, 11.9703}, Point{50, 270.650, 0.79779},
          Point{80, 198.639, 0.010524}, Point{90, 186.87, 0.0018359},
          Point{100, 195.08, 0.00032011}}) {
        const ReferenceAtmosphere air = ReferenceAtmosphereAt(p.km);
        EXPECT_NEAR(air.temperatureK, p.kelvin, 5e-3) << p.km << " km";
        EXPECT_NEAR(air.pressureHpa / p.hpa, 1.0, 2e-4) << p.km << " km";
    }
    EXPECT_DOUBLE_EQ(ReferenceAtmosphereAt(0.0).vapourDensityGm3, 7.5);
    EXPECT_DOUBLE_EQ(ReferenceAtmosphereAt(2.0).vapourDensityGm3, 7.5 / std::numbers::e);
    // High up, the floor of the mixing ratio e / P = 2e-6 holds the vapour.
    const ReferenceAtmosphere high = ReferenceAtmosphereAt(30.0);
    EXPECT_NEAR(VapourPressureHpa(high.vapourDensityGm3, high.temperatureK) / high.pressureHpa,
                2e-6, 1e-12);
}

TEST(CloudAttenuation, MatchesEveryRow) {
    const ItuTable liquid = ReadItuTable("ITURP840-8_columnar_content_reduced_liquid.csv");
    ExpectEveryRow("ITURP840-8_cloud_attenuation.csv", 64, "Ac", [&](const ItuRow& v) {
        for (const auto& values : liquid.rows) {
            const ItuRow l{liquid, values};
            if (l("lat") == v("lat") && l("lon") == v("lon") && l("p") == v("p")) {
                return CloudAttenuationDb(v("f"), v("el"), l("Lred"));
            }
        }
        return std::numeric_limits<double>::quiet_NaN();
    });
}

TEST(SlantRain, MatchesEveryRow) {
    ExpectEveryRow("ITURP618-13_A_rain.csv", 64, "A_rain", [](const ItuRow& v) {
        // The table gives L_s, the slant path below the rain height.
        const double rainHeight = v("hs") + v("Ls") * std::sin(v("el") * std::numbers::pi / 180);
        return SlantRainAttenuation(
                   {v("f"), v("el"), v("lat"), v("hs"), rainHeight, v("R001"), v("p"), v("tau")})
            .loss;
    });
}

TEST(SlantRain, NoLossWithoutRainOnThePath) {
    SlantRainInput in{20.0, 30.0, 45.0, 1.0, 3.0, 40.0, 0.01, kCircularTiltDeg};
    EXPECT_TRUE(SlantRainAttenuation(in).pathInRain);
    EXPECT_GT(SlantRainAttenuation(in).loss, 0.0);
    for (const double rainHeight : {1.0, 0.5}) {
        in.rainHeightKm = rainHeight;
        EXPECT_FALSE(SlantRainAttenuation(in).pathInRain) << rainHeight;
        EXPECT_EQ(SlantRainAttenuation(in).loss, 0.0) << rainHeight;
        EXPECT_EQ(RainHeightBelowStation(rainHeight, in.stationHeightKm), rainHeight < 1.0);
    }
    EXPECT_DOUBLE_EQ(RainHeightFromIsothermKm(4.0), 4.36);
}

TEST(Scintillation, MatchesEveryRow) {
    ExpectEveryRow("ITURP618-13_A_sci.csv", 64, "A_scin", [](const ItuRow& v) {
        return ScintillationFadeDb({v("f"), v("el"), v("p"), v("N_wet"), v("D"), v("eta")});
    });
}

// A dish large enough to average the turbulence out (x >= 7) sees no fade;
// the reference atmosphere at sea level (e = 9.97 hPa) has N_wet = 47.53.
TEST(Scintillation, PublishedLimits) {
    EXPECT_EQ(ScintillationFadeDb({30.0, 10.0, 1.0, 50.0, 40.0, 1.0}), 0.0);
    EXPECT_NEAR(WetRefractivity(288.15, 7.5), 47.53, 0.01);
}

} // namespace
