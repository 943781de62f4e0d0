// A terrestrial hop over terrain (hop_terrain.h): the sites give Range along
// the geodesic; the profile gives the clearance at every point for the
// median and the minimum k, the least antenna heights of the planning
// criteria (profile_clearance.h), the diffraction loss over it, added to
// Weather (diffraction.h), and the hop's outage from multipath and rain
// against its clear-air fade margin (multipath.h).
#include "section_writer.h"

#include "climate_maps.h"
#include "hop_terrain.h"
#include "number_text.h"
#include "site_climate.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMHzPerGHz = 1000.0;
constexpr double kMinutesPerPercent = kMinutesPerYear / 100.0;
constexpr int kTextWidth = 12;

double freqGHz(const BudgetSheet& sheet) {
    return sheet.effective.Freq / kMHzPerGHz;
}

ObstructionKind obstructionOf(const DesignPoint& point) {
    switch (static_cast<int>(point[ParamId::Obstruction])) {
    case 1:
        return ObstructionKind::Isolated;
    case 2:
        return ObstructionKind::Tropical;
    default:
        return ObstructionKind::Extended;
    }
}

const char* obstructionWords(ObstructionKind kind) {
    switch (kind) {
    case ObstructionKind::Isolated:
        return "0.0 F1 (grazing) over an isolated obstruction";
    case ObstructionKind::Tropical:
        return "0.6 F1 on a tropical path";
    case ObstructionKind::Extended:
        break;
    }
    return "0.3 F1 over an extended obstruction";
}

bool onHop(const DesignPoint& point) {
    return OnTerrestrialPath(point);
}

bool onProfile(const DesignPoint& point) {
    return OnTerrestrialPath(point) && HasHopProfile(point);
}

// The profile with each end's ground as the design gives it.
struct Ground {
    std::vector<double> distanceKm;
    std::vector<double> heightM;
};

Ground groundOf(const DesignPoint& point, const TerrainProfile& profile) {
    Ground g{profile.distanceKm, profile.heightM};
    g.heightM.front() = HopGroundM(point, profile, true);
    g.heightM.back() = HopGroundM(point, profile, false);
    return g;
}

// The ground the clearance was worked out on, its distances less `origin`.
Ground groundAlong(const ProfileClearance& clearance, double origin) {
    Ground g;
    g.distanceKm.reserve(clearance.points.size());
    g.heightM.reserve(clearance.points.size());
    for (const ClearancePoint& p : clearance.points) {
        g.distanceKm.push_back(p.distanceKm - origin);
        g.heightM.push_back(p.groundM);
    }
    return g;
}

ClearanceHop hopOf(const DesignPoint& point, const Ground& ground, double freq) {
    return {ground.distanceKm, ground.heightM, point[ParamId::TxHeight], point[ParamId::RxHeight],
            freq};
}

HeightCriteria criteriaOf(const DesignPoint& point) {
    return {.medianK = point[ParamId::EarthFactor],
            .minimumK = point[ParamId::MinimumEarthFactor],
            .obstruction = obstructionOf(point)};
}

// --- the hop's sites and profile --------------------------------------------

bool hopCheck(const DesignPoint& point, DesignFault& fault) {
    std::string error;
    if (HasHopSites(point) && !HopSitesOf(point, error)) {
        fault = {ParamId::TxLongitude, error};
        return false;
    }
    if (!HasHopProfile(point)) {
        return true;
    }
    const auto profile = LoadHopProfile(point, error);
    if (!profile) {
        fault = {point.has(ParamId::Profile) ? ParamId::Profile : ParamId::Terrain, error};
        return false;
    }
    if (point[ParamId::MinimumEarthFactor] > point[ParamId::EarthFactor]) {
        fault = {ParamId::MinimumEarthFactor, "the minimum k is above the median k (" +
                                                  ShortestText(point[ParamId::EarthFactor]) + ")"};
        return false;
    }
    return true;
}

void hopAdjust(const DesignPoint& point, BudgetSheet& sheet) {
    std::string error;
    std::optional<HopSites> sites;
    if (HasHopSites(point)) {
        sites = HopSitesOf(point, error);
        if (!sites) {
            return; // refused by the check
        }
        sheet.pathKm = sites->path.distanceKm;
        sheet.effective.Range = sheet.pathKm / kKilometresPerMile;
    }
    if (!HasHopProfile(point)) {
        return;
    }
    const auto profile = LoadHopProfile(point, error);
    if (!profile) {
        return; // refused by the check
    }
    const TerrainProfile& p = *profile->profile;
    if (!sites) {
        sheet.pathKm = p.distanceKm.back() - p.distanceKm.front();
        sheet.effective.Range = sheet.pathKm / kKilometresPerMile;
    }
    const Ground ground = groundOf(point, p);
    const ClearanceHop hop = hopOf(point, ground, freqGHz(sheet));
    const HeightCriteria criteria = criteriaOf(point);
    auto heights = CheckAntennaHeights(hop, criteria, error);
    if (!heights) {
        return;
    }
    SheetTerrain terrain{
        .source = profile->source,
        .txAzimuthDeg = {},
        .rxAzimuthDeg = {},
        .criteria = criteria,
        .heights = std::move(*heights),
        .leastTxHeightM = LeastAntennaHeightM(hop, criteria, HopEnd::Tx, error).value_or(0.0),
        .leastRxHeightM = LeastAntennaHeightM(hop, criteria, HopEnd::Rx, error).value_or(0.0),
        .diffraction = {}};
    if (sites) {
        terrain.txAzimuthDeg = sites->path.azimuthFromADeg;
        terrain.rxAzimuthDeg = sites->path.azimuthFromBDeg;
    }
    sheet.terrain = std::move(terrain);
}

// Texts inside a sentence, with the space before them.
std::string km(double value) {
    return " " + FormatFixed(kTextWidth, 2, value) + " km";
}

std::string fraction(double value) {
    return " " + FormatFixed(kTextWidth, 2, value) + " F1";
}

std::string metres(double value) {
    return " " + FormatFixed(kTextWidth, 1, value) + " m";
}

// A percentage of the time: small ones in scientific form, so that no
// outage reads as 0.
void percentLine(SheetSection& section, const char* key, const char* caption, double value,
                 const char* field) {
    constexpr double kSmallest = 0.01;
    const std::string text = value > 0.0 && value < kSmallest ? ScientificInWidth(kTextWidth, value)
                                                              : FormatInWidth(kTextWidth, 4, value);
    section.lines.push_back({key, caption, value, text, "%"});
    section.fields.push_back({field, value, {}});
}

void hopLines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    SectionWriter out(section);
    if (HasHopSites(point)) {
        out.add("TxSiteLatitude", "Tx Site Latitude", point[ParamId::TxLatitude], 4, "deg",
                "txLatitudeDeg");
        out.add("TxSiteLongitude", "Tx Site Longitude", point[ParamId::TxLongitude], 4, "deg",
                "txLongitudeDeg");
        out.add("RxSiteLatitude", "Rx Site Latitude", point[ParamId::RxLatitude], 4, "deg",
                "rxLatitudeDeg");
        out.add("RxSiteLongitude", "Rx Site Longitude", point[ParamId::RxLongitude], 4, "deg",
                "rxLongitudeDeg");
        out.add("HopLength", "Path Length (geodesic)", sheet.pathKm, 3, "km", "pathKm");
    }
    if (!sheet.terrain) {
        return;
    }
    const SheetTerrain& t = *sheet.terrain;
    if (t.txAzimuthDeg) {
        out.add("TxAzimuth", "Tx Azimuth (true north)", *t.txAzimuthDeg, 2, "deg", "txAzimuthDeg");
        out.add("RxAzimuth", "Rx Azimuth (true north)", *t.rxAzimuthDeg, 2, "deg", "rxAzimuthDeg");
    } else {
        out.add("HopLength", "Path Length (profile)", sheet.pathKm, 3, "km", "pathKm");
    }
    out.field("profileSource", t.source);
    const auto& median = t.heights.median;
    const auto& minimum = t.heights.minimum;
    out.add("ProfilePoints", "Profile Points", static_cast<double>(median.points.size()), 0, "",
            "profilePoints");
    out.add("TxGround", "Tx Site Ground Height", median.points.front().groundM, 1, "m",
            "txGroundM");
    out.add("RxGround", "Rx Site Ground Height", median.points.back().groundM, 1, "m", "rxGroundM");
    out.add("TxAntennaAltitude", "Tx Antenna above Sea", median.txAltitudeM, 1, "m",
            "txAntennaAltitudeM");
    out.add("RxAntennaAltitude", "Rx Antenna above Sea", median.rxAltitudeM, 1, "m",
            "rxAntennaAltitudeM");
    out.add("MedianK", "Median Earth Factor k", median.earthFactor, 3, "", "medianK");
    const ClearancePoint& worst = median.points[median.critical];
    out.add("CriticalDistance", "Critical Point from Tx", worst.distanceKm, 3, "km",
            "criticalDistanceKm");
    out.add("CriticalGround", "Ground at Critical Point", worst.groundM, 1, "m", "criticalGroundM");
    out.add("CriticalClearance", "Clearance at Median k", worst.clearanceM, 1, "m",
            "criticalClearanceM");
    out.add("CriticalClearanceF1", "Clearance / F1 at Median k", worst.clearanceF1, 2, "",
            "criticalClearanceF1");
    out.add("MinimumK", "Minimum Earth Factor k", minimum.earthFactor, 3, "", "minimumK");
    const ClearancePoint& worstMin = minimum.points[minimum.critical];
    out.add("MinimumKCriticalDistance", "Critical Point at Minimum k", worstMin.distanceKm, 3, "km",
            "minimumKCriticalDistanceKm");
    out.add("MinimumKClearanceF1", "Clearance / F1 at Minimum k", worstMin.clearanceF1, 2, "",
            "minimumKClearanceF1");
    out.add("LeastTxHeight", "Least Tx Antenna Height", t.leastTxHeightM, 1, "m", "leastTxHeightM");
    out.add("LeastRxHeight", "Least Rx Antenna Height", t.leastRxHeightM, 1, "m", "leastRxHeightM");
    out.field("heightCriteriaMet", t.heights.met() ? "yes" : "no");

    out.note("The profile (" + std::to_string(median.points.size()) + " points) is from " +
             t.source + ".");
    out.note("At the median k the least clearance is" + fraction(worst.clearanceF1) + " at" +
             km(worst.distanceKm) +
             (worst.clearanceF1 < 0.0 ? ": the terrain blocks the line of sight." : "."));
    const double needed = MinimumKFresnelFraction(t.criteria.obstruction);
    if (t.heights.met()) {
        out.note("The antenna heights meet ITU-R P.530-17's criteria: 1.0 F1 at the median k "
                 "and " +
                 std::string(obstructionWords(t.criteria.obstruction)) + " at the minimum k.");
    } else {
        out.note(
            "The antenna heights do not meet ITU-R P.530-17's criteria (1.0 F1 at the median k, " +
            std::string(obstructionWords(t.criteria.obstruction)) + " at the minimum k" +
            (t.heights.medianMet
                 ? ""
                 : "; at the median k the clearance is" + fraction(worst.clearanceF1)) +
            (t.heights.minimumMet ? ""
                                  : "; at the minimum k it is" + fraction(worstMin.clearanceF1) +
                                        ", under" + fraction(needed)) +
            "): the Tx antenna needs" + metres(t.leastTxHeightM) +
            " with the Rx antenna as it is, or the Rx antenna" + metres(t.leastRxHeightM) +
            " with the Tx antenna as it is.");
    }
}

// --- diffraction --------------------------------------------------------------

bool verticalOf(const DesignPoint& point) {
    return PolarizationTiltDeg(point) == kVerticalTiltDeg;
}

void diffractionAdjust(const DesignPoint& point, BudgetSheet& sheet) {
    if (!sheet.terrain) {
        return;
    }
    const ProfileClearance& median = sheet.terrain->heights.median;
    const Ground ground = groundAlong(median, median.points.front().distanceKm);
    const auto& d = ground.distanceKm;
    const auto& h = ground.heightM;
    const DiffractionPath path{.distanceKm = d,
                               .heightM = h,
                               .txHeightM = point[ParamId::TxHeight],
                               .rxHeightM = point[ParamId::RxHeight],
                               .freqGHz = freqGHz(sheet),
                               .earthRadiusKm = median.earthFactor * kEarthRadiusKm,
                               .polarization = verticalOf(point) ? Polarization::Vertical
                                                                 : Polarization::Horizontal};
    std::string error;
    auto loss = DeltaBullingtonLoss(path, error);
    if (!loss) {
        return;
    }
    // The obstacle on the profile's own scale.
    loss->actual.edge.distanceKm += median.points.front().distanceKm;
    sheet.effective.Weather += loss->lossDb;
    sheet.terrain->diffraction = *loss;
}

void diffractionLines(const DesignPoint&, const BudgetSheet& sheet, SheetSection& section) {
    if (!sheet.terrain || !sheet.terrain->diffraction) {
        return;
    }
    const DeltaBullington& d = *sheet.terrain->diffraction;
    SectionWriter out(section);
    out.add("Diffraction", "Diffraction Loss Ld", d.lossDb, 2, "dB", "lossDb");
    out.add("BullingtonActual", "Bullington Loss (profile)", d.actual.lossDb, 2, "dB",
            "bullingtonActualDb");
    out.add("BullingtonSmooth", "Bullington Loss (smooth)", d.smooth.lossDb, 2, "dB",
            "bullingtonSmoothDb");
    out.add("SphericalEarth", "Spherical-earth Loss", d.sphericalDb, 2, "dB", "sphericalEarthDb");
    out.add("ObstacleDistance", "Obstacle from Tx", d.actual.edge.distanceKm, 3, "km",
            "obstacleDistanceKm");
    out.add("ObstacleHeight", "Obstacle Height", d.actual.edge.heightM, 1, "m", "obstacleHeightM");
    out.add("ObstacleNu", "Knife-edge Parameter nu", d.actual.edge.nu, 3, "", "obstacleNu");
    out.field("obstacleBeyondHorizon", d.actual.edge.beyondHorizon ? "yes" : "no");
    out.note("Diffraction over the profile by the delta-Bullington method of ITU-R P.526-15 "
             "section 4.5 adds " +
             FormatFixed(kTextWidth, 2, d.lossDb) + " dB to Weather; the obstacle is" +
             (d.actual.edge.beyondHorizon ? " the Bullington point" : " the edge") + " at" +
             km(d.actual.edge.distanceKm) + "," + metres(d.actual.edge.heightM) +
             " above sea level.");
}

// The loss is a term of its own after Weather, which keeps the value given.
void diffractionTerms(const DesignPoint&, const BudgetSheet& sheet, std::vector<LinkTerm>& terms) {
    if (!sheet.terrain || !sheet.terrain->diffraction) {
        return;
    }
    AddLossAfterWeather(terms,
                        LinkTerm{"Diffraction", "Diffraction", sheet.terrain->diffraction->lossDb,
                                 "dB", 0.0, TermSide::Signal,
                                 "delta-Bullington over the profile, ITU-R P.526-15 "
                                 "section 4.5"});
}

// --- the outage ---------------------------------------------------------------

bool hasOutage(const DesignPoint& point) {
    return onProfile(point) && HasHopSites(point) &&
           (point.has(ParamId::RefractivityGradient) || ItuMaps() != nullptr);
}

GeoPoint middleOf(const DesignPoint& point) {
    const GeoPoint tx{point[ParamId::TxLatitude], point[ParamId::TxLongitude]};
    const GeoPoint rx{point[ParamId::RxLatitude], point[ParamId::RxLongitude]};
    return PointsAlong(tx, rx, 3)[1];
}

MapValue dN1Of(const DesignPoint& point) {
    if (point.has(ParamId::RefractivityGradient)) {
        return {point[ParamId::RefractivityGradient], "typed", {}};
    }
    const GeoPoint middle = middleOf(point);
    return RefractivityGradient1(*ItuMaps(), middle.latDeg, middle.lonDeg);
}

bool outageCheck(const DesignPoint& point, DesignFault& fault) {
    const MapValue dN1 = dN1Of(point);
    if (!dN1) {
        fault = {ParamId::RefractivityGradient, dN1.error};
        return false;
    }
    return true;
}

void outageFinish(const DesignPoint& point, BudgetSheet& sheet) {
    if (!sheet.terrain) {
        return;
    }
    const MapValue dN1 = dN1Of(point);
    const ProfileClearance& median = sheet.terrain->heights.median;
    const Ground ground = groundAlong(median, 0.0);
    const auto& d = ground.distanceKm;
    const auto& h = ground.heightM;
    std::string error;
    const auto roughness = TerrainRoughnessM(d, h, error);
    if (!dN1 || !roughness) {
        return;
    }
    const double rainLoss = sheet.rain ? sheet.rain->loss : 0.0;
    const double margin = sheet.results.FadeMargin + rainLoss;
    const MultipathHop hop{.distanceKm = sheet.pathKm,
                           .freqGHz = freqGHz(sheet),
                           .txAltitudeM = median.txAltitudeM,
                           .rxAltitudeM = median.rxAltitudeM,
                           .dN1 = dN1.value,
                           .roughnessM = *roughness};
    const auto fading = MultipathWorstMonth(hop, std::max(margin, 0.0), error);
    if (!fading) {
        return;
    }
    const double latitude = middleOf(point).latDeg;
    const auto year = WorstMonthToYear(fading->worstMonthPercent, latitude, sheet.pathKm,
                                       fading->inclinationMrad, error);
    if (!year) {
        return;
    }
    std::optional<double> rain;
    if (sheet.rain && sheet.rain->loss001 > 0.0) {
        rain = margin <= 0.0 ? 100.0
                             : RainPercentExceeded(freqGHz(sheet), sheet.rain->loss001, margin);
    }
    // Without a clear-air margin the hop is down all the time.
    const double multipathYear = margin <= 0.0 ? 100.0 : year->yearPercent;
    const auto total = CombineUnavailability(multipathYear, rain.value_or(0.0), error);
    if (!total) {
        return;
    }
    sheet.outage = SheetOutage{.fadeMarginDb = margin,
                               .dN1 = dN1.value,
                               .dN1Source = dN1.source,
                               .roughnessM = *roughness,
                               .latitudeDeg = latitude,
                               .multipath = *fading,
                               .year = *year,
                               .rainYearPercent = rain,
                               .total = *total};
}

void outageLines(const DesignPoint&, const BudgetSheet& sheet, SheetSection& section) {
    if (!sheet.outage) {
        return;
    }
    const SheetOutage& o = *sheet.outage;
    SectionWriter out(section);
    out.add("ClearAirMargin", "Clear-air Fade Margin", o.fadeMarginDb, 2, "dB",
            "clearAirFadeMarginDb");
    out.add("RefractivityGradient", "Refractivity Gradient dN1", o.dN1, 1, "N/km", "dN1");
    out.field("dN1Source", o.dN1Source);
    out.add("TerrainRoughness", "Terrain Roughness s_a", o.roughnessM, 1, "m", "roughnessM");
    out.add("GeoclimaticFactor", "Geoclimatic Factor K", o.multipath.geoclimatic, 8, "",
            "geoclimaticFactor");
    out.add("PathInclination", "Path Inclination", o.multipath.inclinationMrad, 3, "mrad",
            "inclinationMrad");
    percentLine(section, "MultipathOccurrence", "Multipath Occurrence p0",
                o.multipath.occurrencePercent, "occurrencePercent");
    percentLine(section, "WorstMonthMultipath", "Multipath, Worst Month",
                o.multipath.worstMonthPercent, "worstMonthPercent");
    out.add("WorstMonthToYear", "Worst Month to Year dG", o.year.conversionDb, 2, "dB",
            "conversionDb");
    percentLine(section, "MultipathYear", "Multipath Outage", o.total.multipathPercent,
                "multipathPercent");
    if (o.rainYearPercent) {
        percentLine(section, "RainYear", "Rain Outage", o.total.rainPercent, "rainPercent");
    }
    percentLine(section, "OutageTotal", "Total Unavailability", o.total.totalPercent,
                "totalPercent");
    out.add("OutageMinutes", "Outage per Year", o.total.totalMinutes, 1, "min",
            "totalMinutesPerYear");
    percentLine(section, "HopAvailability", "Hop Availability", o.total.availablePercent,
                "availablePercent");
    out.note("Multipath: ITU-R P.530-17 section 2.3.1 (worst month, dN1 " +
             (o.dN1Source == "typed" ? std::string("typed") : "from " + o.dN1Source) +
             "; s_a the spread of the profile's heights within 55 km of mid-path, in place of "
             "the terrain map's 110 km square) and section 2.3.5 (to the year); rain: ITU-R "
             "P.530-17 section 2.4.1 read backwards at the clear-air fade margin.");
    if (o.rainYearPercent &&
        (*o.rainYearPercent <= kRainLeastPercent || *o.rainYearPercent >= kRainMostPercent)) {
        out.note("The rain outage is at the edge of the method's range (0.001 to 1 % of the "
                 "time): it is held there.");
    }
    if (!o.rainYearPercent) {
        out.note("Without a rain rate the outage is the multipath's only.");
    }
    if (o.fadeMarginDb <= 0.0) {
        out.note("The hop has no clear-air fade margin: it is unavailable all the time.");
    }
}

} // namespace

const FeatureRow kHopFeature{.section = "terrain",
                             .title = "Terrain Path",
                             .pathDependent = true,
                             .trigger = ParamId::TxLongitude,
                             .alternative = ParamId::Profile,
                             .check = hopCheck,
                             .adjust = hopAdjust,
                             .lines = hopLines,
                             .appliesOn = onHop};

const FeatureRow kDiffractionFeature{.section = "diffraction",
                                     .title = "Diffraction",
                                     .pathDependent = true,
                                     .trigger = ParamId::TxLongitude,
                                     .alternative = ParamId::Profile,
                                     .adjust = diffractionAdjust,
                                     .lines = diffractionLines,
                                     .terms = diffractionTerms,
                                     .appliesOn = onProfile};

const FeatureRow kOutageFeature{.section = "outage",
                                .title = "Outage",
                                .followsSolve = true,
                                .pathDependent = true,
                                .trigger = ParamId::TxLongitude,
                                .alternative = ParamId::TxLongitude,
                                .check = outageCheck,
                                .lines = outageLines,
                                .finish = outageFinish,
                                .appliesOn = hasOutage};
