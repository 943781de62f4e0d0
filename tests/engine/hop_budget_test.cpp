// A terrestrial hop over terrain in the design: a profile from a file or
// from tiles between two sites gives Range, the clearance along the path in
// place of the smooth earth's, the diffraction loss as a term of the budget,
// and the hop's outage from multipath and rain against its clear-air margin.
#include "budget_sheet.h"
#include "design_rules.h"
#include "design_settings.h"
#include "hop_terrain.h"
#include "rain_attenuation.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

using testing_support::FaultOf;
using testing_support::SetValue;
using testing_support::TempDir;

// 20 km of ground at 100 m with a ridge of 160 m at 8 km, a point a kilometre.
std::string ridgeCsv() {
    std::string csv = "distance_km,height_m\n";
    for (int i = 0; i <= 20; ++i) {
        csv += std::to_string(i) + "," + (i == 8 ? "160" : "100") + "\n";
    }
    return csv;
}

void setList(Design& design, ParamId id, const std::string& item) {
    design.set(id, ParamSetting{1.0, 1.0, {}, {item}});
}

// 10 GHz over the ridge with 30 m masts.
Design hopDesign(const std::string& profile) {
    Design design;
    SetValue(design, ParamId::Freq, 10000.0);
    SetValue(design, ParamId::TxHeight, 30.0);
    SetValue(design, ParamId::RxHeight, 30.0);
    setList(design, ParamId::Profile, profile);
    return design;
}

// The sites of the profile: 0.18 degrees of latitude at 45 N is 20.0 km.
void setSites(Design& design) {
    SetValue(design, ParamId::TxLatitude, 45.0);
    SetValue(design, ParamId::TxLongitude, 7.0);
    SetValue(design, ParamId::RxLatitude, 45.18);
    SetValue(design, ParamId::RxLongitude, 7.0);
}

// The hop between the sites over 100 m masts (clear of the ridge) with
// 38 dBi dishes and a typed dN1: a margin large enough for deep fading.
void clearHopWithSites(Design& design) {
    setSites(design);
    SetValue(design, ParamId::RefractivityGradient, -300.0);
    SetValue(design, ParamId::TxHeight, 100.0);
    SetValue(design, ParamId::RxHeight, 100.0);
    SetValue(design, ParamId::TxAntGain, 38.0);
    SetValue(design, ParamId::RxAntGain, 38.0);
}

BudgetSheet evaluate(const Design& design) {
    const DesignPoint point = design.point();
    return BudgetModel(point).evaluate(point);
}

bool hasSection(const Design& design, const char* name) {
    const DesignPoint point = design.point();
    const BudgetModel model(point);
    const auto sections = model.sections(point, model.evaluate(point));
    return std::any_of(sections.begin(), sections.end(),
                       [name](const SheetSection& s) { return s.name == name; });
}

TEST(HopBudget, ProfileGivesRangeClearanceAndDiffraction) {
    TempDir dir;
    const Design design = hopDesign(dir.write("ridge.csv", ridgeCsv()));
    ASSERT_EQ(FaultOf(design), "");
    const BudgetSheet sheet = evaluate(design);
    EXPECT_DOUBLE_EQ(sheet.pathKm, 20.0);
    EXPECT_DOUBLE_EQ(sheet.effective.Range * kKilometresPerMile, 20.0);
    EXPECT_FALSE(sheet.clearance); // the smooth earth's word is replaced
    ASSERT_TRUE(sheet.terrain);
    const ProfileClearance& median = sheet.terrain->heights.median;
    EXPECT_DOUBLE_EQ(median.points[median.critical].distanceKm, 8.0);
    EXPECT_DOUBLE_EQ(median.txAltitudeM, 130.0);
    // The ridge stands into the ray (130 m): a loss, and the antennas fail
    // the criteria.
    EXPECT_LT(median.points[median.critical].clearanceM, 0.0);
    EXPECT_FALSE(sheet.terrain->heights.met());
    EXPECT_GT(sheet.terrain->leastTxHeightM, 30.0);
    ASSERT_TRUE(sheet.terrain->diffraction);
    const double loss = sheet.terrain->diffraction->lossDb;
    EXPECT_GT(loss, 6.0);
    EXPECT_NEAR(sheet.terrain->diffraction->actual.edge.distanceKm, 8.0, 1e-9);

    // The same 20 km typed, without the profile: the margin is the loss more.
    Design smooth;
    SetValue(smooth, ParamId::Freq, 10000.0);
    SetValue(smooth, ParamId::Range, 20.0 / kKilometresPerMile);
    const BudgetSheet plain = evaluate(smooth);
    EXPECT_NEAR(plain.results.FadeMargin - sheet.results.FadeMargin, loss, 1e-9);

    // Term by term: a Diffraction term, and the terms add up to the margin.
    const DesignPoint point = design.point();
    const BudgetModel model(point);
    const auto terms = model.terms(point, sheet);
    double sum = 0.0;
    bool diffraction = false;
    for (const LinkTerm& term : terms) {
        sum += term.db;
        diffraction = diffraction || std::string(term.key) == "Diffraction";
    }
    EXPECT_TRUE(diffraction);
    EXPECT_NEAR(sum, sheet.results.FadeMargin, 1e-9);
    EXPECT_TRUE(hasSection(design, "terrain"));
    EXPECT_TRUE(hasSection(design, "diffraction"));
    EXPECT_FALSE(hasSection(design, "outage")); // no sites: no latitude, no dN1
}

TEST(HopBudget, RaisingTheMastToTheLeastHeightMeetsTheCriteria) {
    TempDir dir;
    Design design = hopDesign(dir.write("ridge.csv", ridgeCsv()));
    const double least = evaluate(design).terrain->leastTxHeightM;
    SetValue(design, ParamId::TxHeight, least + 1e-6);
    const BudgetSheet raised = evaluate(design);
    EXPECT_TRUE(raised.terrain->heights.met());
    // A path with 1.0 F1 of clearance loses (almost) nothing to diffraction.
    EXPECT_LT(raised.terrain->diffraction->lossDb, 1.0);
}

TEST(HopBudget, OutageFallsTenfoldForTenDecibelsOfDeepFade) {
    TempDir dir;
    Design design = hopDesign(dir.write("ridge.csv", ridgeCsv()));
    clearHopWithSites(design);
    SetValue(design, ParamId::TxPower, 1.0);
    ASSERT_EQ(FaultOf(design), "");
    const BudgetSheet low = evaluate(design);
    EXPECT_NEAR(low.pathKm, 20.0, 0.1); // from the sites
    ASSERT_TRUE(low.outage);
    EXPECT_TRUE(hasSection(design, "outage"));
    SetValue(design, ParamId::TxPower, 10.0);
    const BudgetSheet high = evaluate(design);
    ASSERT_TRUE(high.outage);
    ASSERT_TRUE(low.outage->multipath.deepFading);
    EXPECT_NEAR(high.outage->fadeMarginDb - low.outage->fadeMarginDb, 10.0, 1e-9);
    // p_w goes as 10^(-A/10) in deep fading; the year's conversion does not
    // depend on A.
    EXPECT_NEAR(low.outage->year.yearPercent / high.outage->year.yearPercent, 10.0, 1e-9);
    EXPECT_EQ(low.outage->dN1Source, "typed");
    EXPECT_FALSE(low.outage->rainYearPercent);
    EXPECT_DOUBLE_EQ(low.outage->total.totalPercent, low.outage->total.multipathPercent);
}

TEST(HopBudget, RainOutageIsWhereTheRainTakesTheClearAirMargin) {
    TempDir dir;
    Design design = hopDesign(dir.write("ridge.csv", ridgeCsv()));
    clearHopWithSites(design);
    SetValue(design, ParamId::Freq, 23000.0);
    SetValue(design, ParamId::RainRate, 42.0);
    SetValue(design, ParamId::TxPower, 0.01);
    const BudgetSheet sheet = evaluate(design);
    ASSERT_TRUE(sheet.outage);
    ASSERT_TRUE(sheet.outage->rainYearPercent);
    const double p = *sheet.outage->rainYearPercent;
    ASSERT_GT(p, kRainLeastPercent);
    ASSERT_LT(p, kRainMostPercent);
    // The margin without rain is the budget's with the rain's loss added back.
    EXPECT_NEAR(sheet.outage->fadeMarginDb, sheet.results.FadeMargin + sheet.rain->loss, 1e-9);
    // At p the rain's loss is that margin.
    EXPECT_NEAR(sheet.rain->loss001 * RainTimeScale(23.0, p), sheet.outage->fadeMarginDb, 1e-6);
    const HopUnavailability& total = sheet.outage->total;
    EXPECT_NEAR(total.totalPercent, total.multipathPercent + total.rainPercent, 1e-12);
    EXPECT_NEAR(total.availablePercent, 100.0 - total.totalPercent, 1e-12);
    EXPECT_NEAR(total.totalMinutes, total.totalPercent / 100.0 * 525960.0, 1e-6);
}

TEST(HopBudget, RainPercentReadBackwardsHeldToTheMethodsRange) {
    const struct {
        double freq, loss001, loss, expected;
    } cases[] = {
        {23.0, 20.0, 1000.0, kRainLeastPercent}, // beyond A0.001
        {23.0, 20.0, 0.01, kRainMostPercent},    // under A1
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(RainPercentExceeded(c.freq, c.loss001, c.loss), c.expected, 1e-9);
    }
    for (const double p : {0.002, 0.05, 0.3}) {
        const double loss = 15.0 * RainTimeScale(18.0, p);
        EXPECT_NEAR(RainPercentExceeded(18.0, 15.0, loss), p, 1e-9 * p);
    }
}

TEST(HopBudget, RefusedDesigns) {
    TempDir dir;
    const std::string ridge = dir.write("ridge.csv", ridgeCsv());
    const std::string bad = dir.write("bad.csv", "0,100\n1,nan\n2,100\n");
    const struct {
        void (*change)(Design&, const std::string&);
        const char* words;
    } cases[] = {
        {[](Design& d, const std::string&) {
             d.clear(ParamId::RxLongitude);
             SetValue(d, ParamId::TxLatitude, 45.0);
             SetValue(d, ParamId::TxLongitude, 7.0);
         },
         "TxLongitude needs RxLongitude"},
        {[](Design& d, const std::string&) {
             SetValue(d, ParamId::Path, static_cast<double>(PathKind::EarthSpace));
         },
         "Profile needs Path terrestrial"},
        {[](Design& d, const std::string& p) {
             setSites(d);
             setList(d, ParamId::Terrain, p);
         },
         "cannot be combined"},
        {[](Design& d, const std::string&) {
             d.clear(ParamId::TxHeight);
             d.clear(ParamId::RxHeight);
         },
         "Profile needs TxHeight"},
        {[](Design& d, const std::string&) {
             setSites(d);
             SetValue(d, ParamId::RxLatitude, 45.5);
         },
         "km apart"},
        {[](Design& d, const std::string& p) { setList(d, ParamId::Profile, p + ".none"); },
         "ridge.csv.none"},
        {[](Design& d, const std::string&) { SetValue(d, ParamId::MinimumEarthFactor, 2.0); },
         "minimum k is above the median k"},
        {[](Design& d, const std::string&) {
             setSites(d);
             SetValue(d, ParamId::RxLatitude, 45.0);
         },
         "same place"},
    };
    for (const auto& c : cases) {
        Design design = hopDesign(ridge);
        c.change(design, ridge);
        const std::string fault = FaultOf(design);
        EXPECT_NE(fault.find(c.words), std::string::npos) << c.words << ": " << fault;
    }
    EXPECT_NE(FaultOf(hopDesign(bad)).find("line 2"), std::string::npos) << FaultOf(hopDesign(bad));
}

// A 3" tile, N45E007.hgt, of 100 m ground with a 400 m ridge along the
// meridian 7.5 E: the profile across it from tiles peaks there.
TEST(HopBudget, ProfileFromTilesBetweenTheSites) {
    TempDir dir;
    constexpr int kSide = 1201;
    std::string tile(static_cast<std::size_t>(kSide) * kSide * 2, '\0');
    for (int row = 0; row < kSide; ++row) {
        for (int col = 0; col < kSide; ++col) {
            const std::uint16_t h = col == 600 ? 400 : 100;
            const std::size_t at = (static_cast<std::size_t>(row) * kSide + col) * 2;
            tile[at] = static_cast<char>(h >> 8);
            tile[at + 1] = static_cast<char>(h & 0xff);
        }
    }
    dir.write("N45E007.hgt", tile);
    Design design;
    SetValue(design, ParamId::Freq, 10000.0);
    SetValue(design, ParamId::TxHeight, 30.0);
    SetValue(design, ParamId::RxHeight, 30.0);
    SetValue(design, ParamId::TxLatitude, 45.5);
    SetValue(design, ParamId::TxLongitude, 7.3);
    SetValue(design, ParamId::RxLatitude, 45.5);
    SetValue(design, ParamId::RxLongitude, 7.7);
    setList(design, ParamId::Terrain, dir.path());
    ASSERT_EQ(FaultOf(design), "");
    const BudgetSheet sheet = evaluate(design);
    ASSERT_TRUE(sheet.terrain);
    const auto& points = sheet.terrain->heights.median.points;
    const auto top = std::max_element(
        points.begin(), points.end(),
        [](const ClearancePoint& a, const ClearancePoint& b) { return a.groundM < b.groundM; });
    EXPECT_NEAR(top->groundM, 400.0, 1e-6);
    EXPECT_NEAR(top->distanceKm, sheet.pathKm / 2.0, 0.1);
    EXPECT_DOUBLE_EQ(points.front().groundM, 100.0);
    EXPECT_NEAR(sheet.terrain->diffraction->actual.edge.distanceKm, top->distanceKm, 1e-9);

    // A site off the tiles: the missing tile is named.
    SetValue(design, ParamId::RxLongitude, 8.2);
    EXPECT_NE(FaultOf(design).find("N45E008"), std::string::npos) << FaultOf(design);
}

} // namespace
