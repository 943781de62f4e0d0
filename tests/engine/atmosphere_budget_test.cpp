// The atmosphere in the budget: a design's parameters reach the ITU-R
// models as the validation examples give them, and the budget's terms still
// add up to the fade margin with the atmosphere's loss as a term of its own.
#include "budget_sheet.h"
#include "design_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string_view>

namespace {

using testing_support::SetValue;

// The first site of ITU-R Study Group 3's validation examples for P.618-13
// (London, 14.25 GHz, 1 %), every map value typed, as the parameters of a
// design. Source: the validation examples of ITU-R Study Group 3, see
// /work/shared/itu/README.md; rows 1 of ITURP618-13_A_total.csv,
// ITURP618-13_A_rain.csv and ITURP618-13_A_sci.csv.
Design londonDesign() {
    Design design;
    const double elevation = 31.07699124;
    const double station = 0.031382984;        // km
    const double temperature = 283.6108756;    // K
    const double vapour = 13.79653679;         // g/m3
    const double dryPressure = 1009.485612;    // hPa
    const double slantBelowRain = 4.690817392; // L_s, km
    SetValue(design, ParamId::Path, static_cast<double>(PathKind::EarthSpace));
    SetValue(design, ParamId::Freq, 14250.0);
    SetValue(design, ParamId::Elevation, elevation);
    SetValue(design, ParamId::Latitude, 51.5);
    SetValue(design, ParamId::StationHeight, station);
    SetValue(design, ParamId::Availability, 99.0);
    SetValue(design, ParamId::Temperature, temperature);
    SetValue(design, ParamId::VapourDensity, vapour);
    SetValue(design, ParamId::Pressure, dryPressure + vapour * temperature / 216.7);
    SetValue(design, ParamId::VapourContent, 33.72946527);
    SetValue(design, ParamId::CloudLiquid, 1.26328615);
    SetValue(design, ParamId::RainRate, 26.48052);
    SetValue(design, ParamId::RainHeight,
             station + slantBelowRain * std::sin(elevation * std::numbers::pi / 180.0));
    SetValue(design, ParamId::RainPolarization, 0.0); // h: tilt 0
    SetValue(design, ParamId::WetRefractivity, 50.38926222);
    SetValue(design, ParamId::RxDishDiameter, 1.0);
    SetValue(design, ParamId::RxDishEfficiency, 0.65);
    return design;
}

TEST(AtmosphereBudget, AnEarthSpaceDesignGivesTheValidationExamplesTotal) {
    const DesignPoint point = londonDesign().point();
    const BudgetModel model(point);
    std::string error;
    ASSERT_TRUE(model.check(point, error)) << error;
    const BudgetSheet sheet = model.evaluate(point);
    ASSERT_TRUE(sheet.atmosphere);
    EXPECT_NEAR(sheet.atmosphere->lossDb, 1.212790721, 1e-5);
    EXPECT_NEAR(sheet.effective.Weather, sheet.given.Weather + sheet.atmosphere->lossDb, 1e-12);
    EXPECT_FALSE(sheet.rain); // the terrestrial rain of P.530-17 stays out
}

Design terrestrialGas(double freqMHz, double rainRate) {
    Design design;
    SetValue(design, ParamId::Gas, 1.0);
    SetValue(design, ParamId::Freq, freqMHz);
    SetValue(design, ParamId::Range, 3.0);
    if (rainRate > 0.0) {
        SetValue(design, ParamId::RainRate, rainRate);
    }
    return design;
}

TEST(AtmosphereBudget, TermsAddUpWithTheAtmosphereAsATermAfterWeather) {
    for (const Design& design :
         {londonDesign(), terrestrialGas(60000.0, 0.0), terrestrialGas(23000.0, 40.0)}) {
        const DesignPoint point = design.point();
        const BudgetModel model(point);
        const BudgetSheet sheet = model.evaluate(point);
        ASSERT_TRUE(sheet.atmosphere);
        const std::vector<LinkTerm> terms = model.terms(point, sheet);
        double sum = 0.0;
        for (const LinkTerm& term : terms) {
            sum += term.db;
        }
        EXPECT_NEAR(sum, sheet.results.FadeMargin, 1e-9);
        const auto weather = std::find_if(terms.begin(), terms.end(), [](const LinkTerm& t) {
            return std::string_view(t.key) == "Weather";
        });
        ASSERT_NE(weather + 1, terms.end());
        EXPECT_EQ(std::string_view((weather + 1)->key), "Atmosphere");
        EXPECT_DOUBLE_EQ((weather + 1)->db, -sheet.atmosphere->lossDb);
        EXPECT_NEAR(weather->value, sheet.effective.Weather - sheet.atmosphere->lossDb, 1e-12);
    }
}

} // namespace
