// A site in the design: the station's and the satellite's places give the
// path's elevation and slant range (every feature sees the elevation as if
// typed), the rules between the site and a typed elevation or polarization,
// the refusals of an elevation the models do not hold for, and angles read
// in degrees, minutes and seconds by the one value reader.
#include "budget_sheet.h"
#include "design_rules.h"
#include "design_settings.h"
#include "value_reader.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testing_support::FaultOf;
using testing_support::SetValue;

// Turin to a geostationary satellite at 13 degrees east, 20 GHz, every
// part of the atmosphere typed.
Design siteDesign() {
    Design design = testing_support::TurinSiteDesign();
    SetValue(design, ParamId::StationHeight, 0.24);
    SetValue(design, ParamId::Availability, 99.9);
    SetValue(design, ParamId::RainRate, 32.0);
    SetValue(design, ParamId::RainHeight, 3.6);
    SetValue(design, ParamId::CloudLiquid, 0.8);
    return design;
}

TEST(SiteBudget, LookAnglesGiveThePathItsElevationAndSlantRange) {
    const Design design = siteDesign();
    ASSERT_EQ(FaultOf(design), "");
    const DesignPoint point = design.point();
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    const LookResult look = GeostationaryLookAngles({45.07, 7.69, 0.24}, 13.0);
    ASSERT_TRUE(look);
    ASSERT_TRUE(sheet.site);
    EXPECT_DOUBLE_EQ(sheet.site->angles.elevationDeg, look.angles.elevationDeg);
    EXPECT_DOUBLE_EQ(sheet.pathKm, look.angles.rangeKm);
    EXPECT_DOUBLE_EQ(sheet.effective.Range * kKilometresPerMile, look.angles.rangeKm);
    ASSERT_TRUE(sheet.atmosphere);
    EXPECT_DOUBLE_EQ(sheet.atmosphere->pathKm, look.angles.rangeKm);

    // The atmosphere is the one of that elevation typed.
    Design typed = siteDesign();
    typed.clear(ParamId::StationLongitude);
    typed.clear(ParamId::SatelliteLongitude);
    SetValue(typed, ParamId::Elevation, look.angles.elevationDeg);
    const DesignPoint typedPoint = typed.point();
    const BudgetSheet typedSheet = BudgetModel(typedPoint).evaluate(typedPoint);
    ASSERT_TRUE(typedSheet.atmosphere);
    EXPECT_DOUBLE_EQ(sheet.atmosphere->lossDb, typedSheet.atmosphere->lossDb);
    ASSERT_TRUE(sheet.atmosphere->parts.rain);
    EXPECT_DOUBLE_EQ(*sheet.atmosphere->parts.rain, *typedSheet.atmosphere->parts.rain);
}

TEST(SiteBudget, AntennaHeightRaisesTheStationOfTheLookAngles) {
    Design design = siteDesign();
    SetValue(design, ParamId::AntennaHeight, 0.03);
    const DesignPoint point = design.point();
    const BudgetSheet sheet = BudgetModel(point).evaluate(point);
    ASSERT_TRUE(sheet.site);
    EXPECT_DOUBLE_EQ(sheet.site->station.heightKm, 0.27);
    EXPECT_DOUBLE_EQ(sheet.pathKm,
                     GeostationaryLookAngles({45.07, 7.69, 0.27}, 13.0).angles.rangeKm);
}

TEST(SiteBudget, SectionListsTheLookAngles) {
    const DesignPoint point = siteDesign().point();
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    const std::vector<SheetSection> sections = model.sections(point, sheet);
    const auto site = std::find_if(sections.begin(), sections.end(),
                                   [](const SheetSection& s) { return s.name == "site"; });
    ASSERT_NE(site, sections.end());
    const auto field = [&](std::string_view name) {
        for (const SheetField& f : site->fields) {
            if (f.name == name) {
                return f.number;
            }
        }
        ADD_FAILURE() << "no field " << name;
        return 0.0;
    };
    EXPECT_DOUBLE_EQ(field("elevationDeg"), sheet.site->angles.elevationDeg);
    EXPECT_DOUBLE_EQ(field("azimuthDeg"), sheet.site->angles.azimuthDeg);
    EXPECT_DOUBLE_EQ(field("slantRangeKm"), sheet.site->angles.rangeKm);
    // East of the station, north of the equator: the satellite is south-east.
    EXPECT_GT(field("azimuthDeg"), 90.0);
    EXPECT_LT(field("azimuthDeg"), 180.0);
}

// A linearly polarized satellite on the station's meridian: horizontal (0)
// arrives horizontal, so the rain is that of the h choice; vertical that of v.
TEST(SiteBudget, PolarizationAngleSetsTheRainsTilt) {
    const struct {
        double angle;
        double choice; // RainPolarization: h 0, v 1
    } cases[] = {{0.0, 0.0}, {90.0, 1.0}};
    for (const auto& c : cases) {
        Design site = siteDesign();
        SetValue(site, ParamId::StationLongitude, 13.0);
        SetValue(site, ParamId::PolarizationAngle, c.angle);
        Design typed = siteDesign();
        SetValue(typed, ParamId::StationLongitude, 13.0);
        SetValue(typed, ParamId::RainPolarization, c.choice);
        ASSERT_EQ(FaultOf(site), "");
        const DesignPoint a = site.point();
        const DesignPoint b = typed.point();
        const BudgetSheet withAngle = BudgetModel(a).evaluate(a);
        const BudgetSheet withChoice = BudgetModel(b).evaluate(b);
        EXPECT_NEAR(*withAngle.atmosphere->parts.rain, *withChoice.atmosphere->parts.rain, 1e-9)
            << c.angle;
    }
    // And either differs from the circular default.
    Design circular = siteDesign();
    SetValue(circular, ParamId::StationLongitude, 13.0);
    Design horizontal = circular;
    SetValue(horizontal, ParamId::PolarizationAngle, 0.0);
    const DesignPoint c = circular.point();
    const DesignPoint h = horizontal.point();
    EXPECT_GT(std::fabs(*BudgetModel(c).evaluate(c).atmosphere->parts.rain -
                        *BudgetModel(h).evaluate(h).atmosphere->parts.rain),
              0.01);
}

TEST(SiteBudget, RefusedSites) {
    const struct {
        ParamId id;
        double value;
        const char* words;
    } cases[] = {
        {ParamId::Elevation, 30.0, "SatelliteLongitude cannot be combined with Elevation"},
        {ParamId::SatelliteLongitude, 100.0, "below the station's horizon (elevation -10.18"},
        {ParamId::SatelliteLongitude, 85.0,
         "above the station's horizon: an Earth-space path "
         "needs 5 to 90 degrees"},
        {ParamId::StationLongitude, 193.0, "straight below"},
        {ParamId::SatelliteLatitude, 10.0, "SatelliteLatitude needs SatelliteAltitude"},
        {ParamId::RainPolarization, 0.0, ""}, // with the polarization angle: below
        {ParamId::Path, 0.0, "needs Gas or Path earth-space"},
    };
    for (const auto& c : cases) {
        Design design = siteDesign();
        SetValue(design, c.id, c.value);
        if (c.id == ParamId::StationLongitude) {
            SetValue(design, ParamId::Latitude, 0.0); // the satellite's antipode
        }
        if (c.id == ParamId::RainPolarization) {
            SetValue(design, ParamId::PolarizationAngle, 10.0);
            EXPECT_EQ(FaultOf(design),
                      "PolarizationAngle cannot be combined with RainPolarization");
            continue;
        }
        EXPECT_NE(FaultOf(design).find(c.words), std::string::npos)
            << c.words << " / " << FaultOf(design);
    }
    Design noSatellite = siteDesign();
    noSatellite.clear(ParamId::StationLongitude);
    EXPECT_EQ(FaultOf(noSatellite), "SatelliteLongitude needs StationLongitude");
}

// Angles in degrees, minutes and seconds through the one value reader.
TEST(SiteBudget, AngleTextsOfTheRegistry) {
    const struct {
        ParamId id;
        const char* text;
        ValueFault fault;
        double value;
    } cases[] = {
        {ParamId::Latitude,
         "45\xC2\xB0"
         "4'12\"N",
         ValueFault::None, 45.07},
        {ParamId::Latitude, "45d4m12sS", ValueFault::None, -45.07},
        {ParamId::Latitude, "45.07", ValueFault::None, 45.07},
        {ParamId::StationLongitude, "7d41m24sW", ValueFault::None, -7.69},
        {ParamId::SatelliteLongitude, "13E", ValueFault::None, 13.0},
        {ParamId::Latitude,
         "45\xC2\xB0"
         "61'",
         ValueFault::BadEntry, 0.0},
        {ParamId::Latitude, "91", ValueFault::OutOfRange, 0.0},
        {ParamId::StationLongitude, "400", ValueFault::OutOfRange, 0.0},
        {ParamId::StationLongitude, "200\xC2\xB0W", ValueFault::OutOfRange, 0.0},
        {ParamId::SatelliteLatitude, "10E", ValueFault::BadEntry, 0.0},
        {ParamId::Latitude, "45x", ValueFault::NotANumber, 0.0},
    };
    for (const auto& c : cases) {
        const ValueReading reading =
            ReadValueText(ParamRowOf(c.id), c.text, static_cast<double>(PathKind::EarthSpace));
        EXPECT_EQ(reading.fault, c.fault) << c.text;
        if (c.fault == ValueFault::None) {
            EXPECT_NEAR(reading.setting.value, c.value, 1e-12) << c.text;
        }
    }
}

} // namespace
