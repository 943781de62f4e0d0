// Rain on a terrestrial path (ITU-R P.838-3 and ITU-R P.530-17, see
// rain_attenuation.h): the loss exceeded for the unavailable part of the year,
// added to Weather. An Earth-space path has its own rain (atmosphere_feature.cpp).
#include "budget_features.h"

#include "number_text.h"

namespace {

constexpr double kMHzPerGHz = 1000.0;
constexpr double kPercent = 100.0;

// The polarization choices h, v, c as the tilt of eqs. (4) and (5).
constexpr double kTiltDeg[] = {kHorizontalTiltDeg, kVerticalTiltDeg, kCircularTiltDeg};

std::size_t polarizationOf(const DesignPoint& point) {
    return static_cast<std::size_t>(point[ParamId::RainPolarization]);
}

// The availability a design file gave for an Earth-space path stays
// refused once the path is terrestrial.
bool check(const DesignPoint& point, DesignFault& fault) {
    const ParamRow& row = ParamRowOf(ParamId::Availability);
    const double availability = point[ParamId::Availability];
    if (InBoundsOnPath(row, availability, point[ParamId::Path])) {
        return true;
    }
    fault = {ParamId::Availability, std::string(row.key) + ": " + ShortestText(availability) +
                                        " is out of range (" +
                                        BoundsOnPath(row, point[ParamId::Path]).text + ")"};
    return false;
}

bool terrestrial(const DesignPoint& point) {
    return !OnEarthSpacePath(point);
}

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    const double freqGHz = sheet.given.Freq / kMHzPerGHz;
    if (!(freqGHz >= kRainModelLowestGHz)) {
        sheet.rainBelowModel = true;
        return;
    }
    const double percentOfTime = kPercent - point[ParamId::Availability];
    sheet.rain = RainPathAttenuation(freqGHz, sheet.pathKm, point[ParamId::RainRate], percentOfTime,
                                     kTiltDeg[polarizationOf(point)], point[ParamId::Elevation]);
    sheet.effective.Weather = sheet.given.Weather + sheet.rain->loss;
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    auto& out = section.lines;
    const std::size_t polarization = polarizationOf(point);
    out.push_back(FixedLine("RainRate", "Rain Rate", point[ParamId::RainRate], 1, "mm/h"));
    out.push_back(
        FixedLine("Availability", "Availability", point[ParamId::Availability], 3, "Percent"));
    out.push_back({"RainPolarizationTilt", "Rain Polarization", kTiltDeg[polarization],
                   ParamRowOf(ParamId::RainPolarization).choices()[polarization].alias, ""});
    out.push_back(
        FixedLine("RainElevation", "Rain Path Elevation", point[ParamId::Elevation], 1, "deg"));
    if (sheet.rain) {
        const RainPath& rain = *sheet.rain;
        out.push_back({"RainK", "Rain k", rain.coefficients.k,
                       FormatExponent(4, 1, rain.coefficients.k), ""});
        out.push_back(FixedLine("RainAlpha", "Rain alpha", rain.coefficients.alpha, 4, ""));
        out.push_back(
            FixedLine("RainSpecificAtten", "Rain Specific Atten", rain.specific, 4, "dB/km"));
        out.push_back(FixedLine("PathLength", "Path Length", sheet.pathKm, 2, "km"));
        out.push_back(
            FixedLine("RainDistanceFactor", "Rain Distance Factor r", rain.distanceFactor, 3, ""));
        out.push_back(
            FixedLine("RainEffectivePath", "Rain Effective Path", rain.effectiveKm, 2, "km"));
        out.push_back(FixedLine("RainLoss001", "Rain Loss 0.01 %", rain.loss001, 2, "dB"));
    }
    out.push_back(FixedLine("RainLoss", "Rain Loss", sheet.rain ? sheet.rain->loss : 0.0, 2, "dB"));
    out.push_back(FixedLine("WeatherGiven", "Weather without Rain", sheet.given.Weather, 2, "dB"));
}

} // namespace

double PolarizationTiltDeg(const DesignPoint& point) {
    if (const std::optional<double> tilt = SiteTiltDeg(point)) {
        return *tilt;
    }
    return kTiltDeg[polarizationOf(point)];
}

const FeatureRow kRainFeature{.section = "propagation",
                              .title = "Propagation",
                              .pathDependent = true,
                              .trigger = ParamId::RainRate,
                              .check = check,
                              .adjust = adjust,
                              .lines = lines,
                              .appliesOn = terrestrial};
