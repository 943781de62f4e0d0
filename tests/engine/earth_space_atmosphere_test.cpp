// The total of P.618-13 section 2.5, the evaluation of all parts at once with
// its input checks, and the slant range to a satellite.
#include "earth_space_atmosphere.h"
#include "itu_table.h"
#include "reference_atmosphere.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

using testing_support::ExpectEveryRow;
using testing_support::ItuRow;

TEST(EarthSpace, TotalMatchesEveryRow) {
    ExpectEveryRow("ITURP618-13_A_total.csv", 64, "A_total", [](const ItuRow& v) {
        return TotalAttenuationDb(
            {v("A_gas"), v("A_gas_1"), v("A_clouds"), v("A_clouds_1"), v("A_rain"), v("A_scin")},
            v("p"));
    });
}

// The first site of the validation tables (London, 14.25 GHz, 1 %), every
// input typed: each part and the total as the tables give them.
EarthSpaceInput london() {
    EarthSpaceInput in;
    in.freqGHz = 14.25;
    in.elevationDeg = 31.07699124;
    in.latitudeDeg = 51.5;
    in.stationHeightKm = 0.031382984;
    in.percentOfTime = 1.0;
    in.temperatureK = 283.6108756;
    in.vapourDensityGm3 = 13.79653679;
    in.pressureHpa = 1009.485612 + 13.79653679 * 283.6108756 / 216.7; // p + e
    in.columnarVapourKgM2 = 33.72946527;
    in.liquidWaterKgM2 = 1.26328615;
    in.rainRateMmH = 26.48052;
    in.rainHeightKm = 0.031382984 + 4.690817392 * std::sin(31.07699124 * std::numbers::pi / 180);
    in.tiltDeg = 0.0;
    in.wetRefractivity = 50.38926222;
    in.antennaDiameterM = 1.0;
    in.antennaEfficiency = 0.65;
    return in;
}

TEST(EarthSpace, EvaluatesEveryPartOfTheFirstSite) {
    const auto result = EvaluateEarthSpace(london());
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->gas, 0.226874038, 1e-5);
    EXPECT_NEAR(result->cloud.value_or(0.0), 0.45516982, 1e-5);
    EXPECT_NEAR(result->rain.value_or(0.0), 0.495317069, 1e-5);
    EXPECT_NEAR(result->scintillation.value_or(0.0), 0.261931889, 1e-5);
    EXPECT_NEAR(result->total, 1.212790721, 1e-5);
    EXPECT_EQ(result->pressureHpa.origin, InputOrigin::Typed);
    EXPECT_EQ(result->wetRefractivity->origin, InputOrigin::Typed);
}

TEST(EarthSpace, UntypedValuesSayWhereTheyCameFrom) {
    EarthSpaceInput in = london();
    in.pressureHpa.reset();
    in.vapourDensityGm3.reset();
    in.wetRefractivity.reset();
    in.liquidWaterKgM2.reset();
    in.rainHeightKm.reset();
    in.isothermHeightKm = 4.0;
    const auto result = EvaluateEarthSpace(in);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->temperatureK.origin, InputOrigin::Typed);
    EXPECT_EQ(result->pressureHpa.origin, InputOrigin::ReferenceAtmosphere);
    EXPECT_DOUBLE_EQ(result->pressureHpa.value,
                     ReferenceAtmosphereAt(in.stationHeightKm).pressureHpa);
    EXPECT_EQ(result->vapourDensityGm3.origin, InputOrigin::ReferenceAtmosphere);
    EXPECT_DOUBLE_EQ(result->rainHeightKm->value, 4.36);
    EXPECT_EQ(result->rainHeightKm->origin, InputOrigin::FromIsotherm);
    EXPECT_EQ(result->wetRefractivity->origin, InputOrigin::FromSurface);
    EXPECT_STREQ(InputOriginName(result->wetRefractivity->origin), "P.453-14 from T and rho");
    EXPECT_FALSE(result->cloud);
}

struct BadInput {
    const char* name;
    std::function<void(EarthSpaceInput&)> spoil;
    const char* message;
};
using testing_support::PrintTo;

class EarthSpaceInputCheck : public testing::TestWithParam<BadInput> {};

TEST_P(EarthSpaceInputCheck, SaysWhatIsWrongAndGivesNoNumber) {
    ASSERT_TRUE(EarthSpaceInputErrors(london()).empty());
    EarthSpaceInput in = london();
    GetParam().spoil(in);
    EXPECT_EQ(EarthSpaceInputErrors(in), std::vector<std::string>{GetParam().message});
    EXPECT_FALSE(EvaluateEarthSpace(in));
}

INSTANTIATE_TEST_SUITE_P(
    EarthSpace, EarthSpaceInputCheck,
    testing::Values(BadInput{"LowElevation", [](auto& in) { in.elevationDeg = 4.9; },
                             "elevation must be from 5 to 90 degrees"},
                    BadInput{"HighFrequency",
                             [](auto& in) {
                                 in.freqGHz = 400.0;
                                 in.rainRateMmH.reset();
                             },
                             "frequency must be from 1 to 350 GHz"},
                    BadInput{"RareP", [](auto& in) { in.percentOfTime = 0.0005; },
                             "percentage of time must be from 0.001 to 50 %"},
                    BadInput{"NegativeRate", [](auto& in) { in.rainRateMmH = -1.0; },
                             "rain rate must not be negative"},
                    BadInput{"RainBelowStation", [](auto& in) { in.rainHeightKm = 0.0; },
                             "rain height is below the station"},
                    BadInput{"RainWithoutHeight", [](auto& in) { in.rainHeightKm.reset(); },
                             "rain needs a rain height or a 0 degC isotherm height"},
                    BadInput{"TwoRainHeights", [](auto& in) { in.isothermHeightKm = 3.0; },
                             "give a rain height or a 0 degC isotherm height, not both"},
                    BadInput{"RainAtFivePercentAndMore", [](auto& in) { in.percentOfTime = 10.0; },
                             "rain is predicted for 0.001 to 5 % of the time"},
                    BadInput{"LowPressure", [](auto& in) { in.pressureHpa = 10.0; },
                             "pressure must exceed the water-vapour pressure rho T / 216.7 hPa"},
                    BadInput{"NoColumn", [](auto& in) { in.columnarVapourKgM2 = 0.0; },
                             "total columnar water vapour must be above 0 kg/m2"},
                    BadInput{"Efficiency", [](auto& in) { in.antennaEfficiency = 1.5; },
                             "antenna efficiency must be above 0 and at most 1"},
                    BadInput{"NotANumber", [](auto& in) { in.latitudeDeg = std::nan(""); },
                             "latitude must be from -90 to 90 degrees"}),
    testing_support::RowName{});

TEST(EarthSpace, SlantRangeToASatellite) {
    constexpr double kGeostationaryKm = 35786.0;
    EXPECT_NEAR(SlantRangeKm(90.0, kGeostationaryKm, 0.0), kGeostationaryKm, 1e-9);
    EXPECT_NEAR(SlantRangeKm(90.0, 550.0, 2.0), 548.0, 1e-9);
    // At the horizon the path is the tangent of Pythagoras's triangle.
    EXPECT_NEAR(SlantRangeKm(0.0, kGeostationaryKm, 0.0),
                std::sqrt(42157.0 * 42157.0 - 6371.0 * 6371.0), 1e-6);
}

} // namespace
