// The path's clearance over a smooth earth of effective radius factor k (4/3
// unless the design gives it; see path_clearance.h): lines and verdicts only,
// the budget is left as it is.
#include "budget_features.h"

#include "hop_terrain.h"
#include "number_text.h"

namespace {

constexpr double kMHzPerGHz = 1000.0;
constexpr int kTextWidth = 12;

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    sheet.clearance =
        MidPathClearance(sheet.pathKm, sheet.given.Freq / kMHzPerGHz, point[ParamId::TxHeight],
                         point[ParamId::RxHeight], point[ParamId::EarthFactor]);
}

std::string kmText(double km) {
    return FormatInWidth(kTextWidth, 2, km) + " km";
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    const PathClearance& c = *sheet.clearance;
    auto& out = section.lines;
    out.push_back(FixedLine("TxHeight", "Tx Antenna Height", point[ParamId::TxHeight], 1, "m"));
    out.push_back(FixedLine("RxHeight", "Rx Antenna Height", point[ParamId::RxHeight], 1, "m"));
    if (!point.has(ParamId::RainRate)) { // the rain's lines hold it already
        out.push_back(FixedLine("PathLength", "Path Length", sheet.pathKm, 2, "km"));
    }
    // The standard earth by its name, any other by its factor.
    const double k = point[ParamId::EarthFactor];
    out.push_back(FixedLine("RadioHorizon",
                            k == kStandardEarthFactor
                                ? std::string("Radio Horizon 4/3 Earth")
                                : "Radio Horizon k = " + FormatInWidth(kTextWidth, 2, k),
                            c.horizonKm, 2, "km"));
    out.push_back(FixedLine("FresnelRadius", "Fresnel Zone F1", c.fresnelM, 1, "m"));
    out.push_back(FixedLine("EarthBulge", "Earth Bulge", c.bulgeM, 2, "m"));
    out.push_back(FixedLine("Clearance", "Clearance Mid-path", c.clearanceM, 1, "m"));
    out.push_back(FixedLine("ClearanceFraction", "Clearance / F1", c.clearanceFraction, 2, ""));

    const std::string path = "The path of " + kmText(sheet.pathKm);
    section.notes.push_back(
        c.beyondHorizon ? path + " is beyond the radio horizon of " + kmText(c.horizonKm) +
                              ": no line of sight over a smooth earth."
                        : path + " is within the radio horizon of " + kmText(c.horizonKm) + ".");
    const std::string fraction = FormatInWidth(kTextWidth, 2, c.clearanceFraction);
    section.notes.push_back(c.underRequired ? "The clearance at mid-path is " + fraction +
                                                  " F1, under 0.6 F1: expect diffraction loss."
                                            : "The clearance at mid-path is " + fraction +
                                                  " F1, at least 0.6 F1.");
}

// On a hop with a profile the clearance along it takes this one's place.
bool withoutProfile(const DesignPoint& point) {
    return !HasHopProfile(point);
}

} // namespace

const FeatureRow kClearanceFeature{.section = "propagation",
                                   .title = "Propagation",
                                   .pathDependent = true,
                                   .trigger = ParamId::TxHeight,
                                   .alternative = ParamId::RxHeight,
                                   .adjust = adjust,
                                   .lines = lines,
                                   .appliesOn = withoutProfile};
