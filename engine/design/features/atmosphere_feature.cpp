// The atmosphere in the budget (see earth_space_atmosphere.h). On an
// Earth-space path: gases, clouds, rain and scintillation and their total
// A_T of ITU-R P.618-13 section 2.5, added to Weather; Range is the slant
// path, or follows from the satellite's altitude. On a terrestrial path
// with the gases asked for: A = gamma d over Range, ITU-R P.676-12 Annex 1.
// The air at the station is typed or the ITU-R P.835-6 reference
// atmosphere at the station height.
#include "section_writer.h"

#include "number_text.h"
#include "reference_atmosphere.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kMHzPerGHz = 1000.0;
constexpr double kHzPerMHz = 1e6;
constexpr double kPercent = 100.0;
constexpr double kGasHighestGHz = 1000.0; // Annex 1
constexpr const char* kDefaultOrigin = "default";
constexpr const char* kFromGain = "from RxAntGain";
constexpr const char* kFromMaps = "ITU-R maps";

std::optional<double> typed(const DesignPoint& point, ParamId id) {
    return point.has(id) ? std::optional<double>(point[id]) : std::nullopt;
}

SourcedValue typedOr(const DesignPoint& point, ParamId id, double reference) {
    return point.has(id) ? SourcedValue{point[id], InputOrigin::Typed}
                         : SourcedValue{reference, InputOrigin::ReferenceAtmosphere};
}

// The air at the station of a terrestrial path.
void stationAir(const DesignPoint& point, EarthSpaceResult& parts) {
    const ReferenceAtmosphere reference = ReferenceAtmosphereAt(point[ParamId::StationHeight]);
    parts.temperatureK = typedOr(point, ParamId::Temperature, reference.temperatureK);
    parts.pressureHpa = typedOr(point, ParamId::Pressure, reference.pressureHpa);
    parts.vapourDensityGm3 = typedOr(point, ParamId::VapourDensity, reference.vapourDensityGm3);
}

struct Antenna {
    double diameterM;
    double efficiency;
    bool fromGain;
};

// The Rx dish, or the dish that gives RxAntGain at the usual efficiency:
// G = eta (pi D / lambda)^2 solved for D.
Antenna receivingAntenna(const DesignPoint& point, const LinkFactors& factors) {
    if (point.has(ParamId::RxDishDiameter)) {
        return {point[ParamId::RxDishDiameter], point[ParamId::RxDishEfficiency], false};
    }
    const double wavelengthM = kSpeedOfLight / (factors.Freq * kHzPerMHz);
    const double gain = std::pow(10.0, factors.RxAntGain / 10.0);
    return {wavelengthM / std::numbers::pi * std::sqrt(gain / kDefaultDishEfficiency),
            kDefaultDishEfficiency, true};
}

EarthSpaceInput earthSpaceInput(const DesignPoint& point, const LinkFactors& factors,
                                const Antenna& antenna) {
    EarthSpaceInput in;
    in.freqGHz = factors.Freq / kMHzPerGHz;
    in.elevationDeg = point[ParamId::Elevation];
    in.latitudeDeg = point[ParamId::Latitude];
    in.stationHeightKm = point[ParamId::StationHeight];
    in.percentOfTime = kPercent - point[ParamId::Availability];
    in.temperatureK = typed(point, ParamId::Temperature);
    in.pressureHpa = typed(point, ParamId::Pressure);
    in.vapourDensityGm3 = typed(point, ParamId::VapourDensity);
    in.columnarVapourKgM2 = typed(point, ParamId::VapourContent);
    in.liquidWaterKgM2 = typed(point, ParamId::CloudLiquid);
    if (point.has(ParamId::RainRate)) {
        in.rainRateMmH = point[ParamId::RainRate];
        in.rainHeightKm = typed(point, ParamId::RainHeight);
        in.isothermHeightKm = typed(point, ParamId::IsothermHeight);
        in.tiltDeg = PolarizationTiltDeg(point);
    }
    in.wetRefractivity = typed(point, ParamId::WetRefractivity);
    in.antennaDiameterM = antenna.diameterM;
    in.antennaEfficiency = antenna.efficiency;
    return in;
}

// The first thing wrong with the gases of a terrestrial path, or nothing.
std::string terrestrialError(double freqGHz, const EarthSpaceResult& air) {
    if (!(freqGHz >= kGasLowestGHz && freqGHz <= kGasHighestGHz)) {
        return "gaseous absorption is modelled from 1 to 1000 GHz";
    }
    if (!(air.pressureHpa.value >
          VapourPressureHpa(air.vapourDensityGm3.value, air.temperatureK.value))) {
        return "pressure must exceed the water-vapour pressure rho T / 216.7 hPa";
    }
    return {};
}

DesignFault earthSpaceFault(const DesignPoint& point, const LinkFactors& factors) {
    if (!point.has(ParamId::Elevation)) {
        return {ParamId::Elevation,
                "an Earth-space path needs the elevation of the satellite, 5 to 90 degrees"};
    }
    if (point.has(ParamId::TxHeight) || point.has(ParamId::RxHeight)) {
        return {point.has(ParamId::TxHeight) ? ParamId::TxHeight : ParamId::RxHeight,
                "antenna heights over a smooth earth are for terrestrial paths"};
    }
    if (point.has(ParamId::RainRate) && !point.has(ParamId::Latitude)) {
        return {ParamId::Latitude, "rain on an Earth-space path needs the station's latitude"};
    }
    if (point.has(ParamId::SatelliteAltitude) &&
        !(point[ParamId::SatelliteAltitude] > point[ParamId::StationHeight])) {
        return {ParamId::SatelliteAltitude, "the satellite must be higher than the station"};
    }
    const std::vector<std::string> errors =
        EarthSpaceInputErrors(earthSpaceInput(point, factors, receivingAntenna(point, factors)));
    return errors.empty() ? DesignFault{} : DesignFault{ParamId::Count, errors.front()};
}

bool check(const DesignPoint& point, DesignFault& fault) {
    const LinkFactors factors = point.factors();
    DesignFault found;
    if (OnEarthSpacePath(point)) {
        found = earthSpaceFault(point, factors);
    } else {
        EarthSpaceResult air{};
        stationAir(point, air);
        found = {ParamId::Count, terrestrialError(factors.Freq / kMHzPerGHz, air)};
    }
    if (found.message.empty()) {
        return true;
    }
    fault = std::move(found);
    return false;
}

// A solve searches frequencies the models may not reach: there the budget
// has no atmospheric loss, and the check refuses an answer among them.
void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    SheetAtmosphere atmosphere;
    if (OnEarthSpacePath(point)) {
        // A site gave the slant range already.
        if (point.has(ParamId::SatelliteAltitude) && !sheet.site) {
            sheet.pathKm =
                SlantRangeKm(point[ParamId::Elevation], point[ParamId::SatelliteAltitude],
                             point[ParamId::StationHeight]);
            sheet.effective.Range = sheet.pathKm / kKilometresPerMile;
        }
        const Antenna antenna = receivingAntenna(point, sheet.effective);
        const std::optional<EarthSpaceResult> parts =
            EvaluateEarthSpace(earthSpaceInput(point, sheet.effective, antenna));
        if (!parts) {
            return;
        }
        atmosphere = {true,
                      *parts,
                      sheet.pathKm,
                      antenna.diameterM,
                      antenna.efficiency,
                      antenna.fromGain,
                      parts->total};
    } else {
        EarthSpaceResult& parts = atmosphere.parts;
        stationAir(point, parts);
        const double freqGHz = sheet.effective.Freq / kMHzPerGHz;
        if (!terrestrialError(freqGHz, parts).empty()) {
            return;
        }
        const double temperature = parts.temperatureK.value;
        const double vapour = parts.vapourDensityGm3.value;
        const GasSpecific gamma = GasSpecificAttenuation(
            freqGHz, parts.pressureHpa.value - VapourPressureHpa(vapour, temperature), temperature,
            vapour);
        parts.gammaOxygen = gamma.oxygen;
        parts.gammaWaterVapour = gamma.waterVapour;
        parts.gas = TerrestrialGasLossDb(gamma, sheet.pathKm);
        parts.total = parts.gas;
        atmosphere.pathKm = sheet.pathKm;
        atmosphere.lossDb = parts.gas;
    }
    sheet.effective.Weather += atmosphere.lossDb;
    sheet.atmosphere = atmosphere;
}

std::string withOrigin(const char* unit, const char* origin) {
    return std::string(unit) + " (" + origin + ")";
}

const char* typedOrDefault(const DesignPoint& point, ParamId id) {
    if (point.derived.test(IndexOf(id))) {
        return kFromMaps;
    }
    return point.has(id) ? InputOriginName(InputOrigin::Typed) : kDefaultOrigin;
}

// Each line goes to the text, its number (and where it came from) to JSON.
class Lines : public SectionWriter {
  public:
    using SectionWriter::SectionWriter;

    void number(const char* key, const char* caption, double value, int decimals, const char* unit,
                const char* field, const char* origin = nullptr) {
        line(key, caption, value, value, decimals, unit, field, origin);
    }
    // A fraction shown in percent.
    void percent(const char* key, const char* caption, double fraction, const char* field) {
        line(key, caption, fraction * kPercent, fraction, 1, "Percent", field, nullptr);
    }
    // `shown` is the value in the unit of the text (degC for a temperature in K).
    // A value the site's climate gave (the key is its parameter's) says so.
    void sourced(const char* key, const char* caption, const SourcedValue& value, double shown,
                 int decimals, const char* unit, const char* field) {
        const ParamRow* param = FindParam(key);
        const bool mapped =
            m_point != nullptr && param != nullptr && m_point->derived.test(IndexOf(param->id));
        line(key, caption, shown, value.value, decimals, unit, field,
             mapped ? kFromMaps : InputOriginName(value.origin));
    }
    void from(const DesignPoint& point) { m_point = &point; }
    // A part of the total that the design does not ask for.
    void none(const char* key, const char* caption, const char* why) {
        m_section.lines.push_back({key, caption, 0.0, "none", why});
    }

  private:
    const DesignPoint* m_point = nullptr;

    void line(const char* key, const char* caption, double shown, double value, int decimals,
              const char* unit, const char* field, const char* origin) {
        m_section.lines.push_back(
            FixedLine(key, caption, shown, decimals, origin ? withOrigin(unit, origin) : unit));
        m_section.fields.push_back({field, value, {}});
        if (origin != nullptr) {
            m_section.fields.push_back({std::string(field) + "Source", 0.0, origin});
        }
    }
};

const char* pathName(const DesignPoint& point) {
    return ParamRowOf(ParamId::Path).choices()[OnEarthSpacePath(point) ? 1 : 0].name;
}

void stationLine(const DesignPoint& point, Lines& out) {
    out.number("StationHeight", "Station Height", point[ParamId::StationHeight], 3, "km",
               "stationHeightKm", typedOrDefault(point, ParamId::StationHeight));
}

void airLines(const EarthSpaceResult& parts, Lines& out) {
    out.sourced("Temperature", "Temperature", parts.temperatureK,
                parts.temperatureK.value - kCelsiusZeroK, 2, "degC", "temperatureK");
    out.sourced("Pressure", "Pressure", parts.pressureHpa, parts.pressureHpa.value, 2, "hPa",
                "pressureHpa");
    out.sourced("VapourDensity", "Water Vapour Density", parts.vapourDensityGm3,
                parts.vapourDensityGm3.value, 2, "g/m3", "vapourDensityGm3");
}

void gammaLines(const EarthSpaceResult& parts, Lines& out) {
    out.number("GammaOxygen", "Gamma Oxygen", parts.gammaOxygen, 4, "dB/km", "gammaOxygenDbPerKm");
    out.number("GammaWaterVapour", "Gamma Water Vapour", parts.gammaWaterVapour, 4, "dB/km",
               "gammaWaterVapourDbPerKm");
}

void terrestrialLines(const DesignPoint& point, const BudgetSheet& sheet, Lines& out) {
    const SheetAtmosphere& atmosphere = *sheet.atmosphere;
    out.text("Path", "Path", point[ParamId::Path], pathName(point), "path");
    stationLine(point, out);
    airLines(atmosphere.parts, out);
    gammaLines(atmosphere.parts, out);
    // The rain's and the clearance's lines hold the path length already.
    const bool lengthShown = point.has(ParamId::RainRate) || point.has(ParamId::TxHeight) ||
                             point.has(ParamId::RxHeight);
    if (!lengthShown) {
        out.number("PathLength", "Path Length", atmosphere.pathKm, 2, "km", "pathKm");
    }
    out.number("GasLoss", "Gas Loss", atmosphere.parts.gas, 2, "dB", "gasDb");
    if (!point.has(ParamId::RainRate)) {
        out.number("WeatherGiven", "Weather as Given", sheet.given.Weather, 2, "dB",
                   "weatherGivenDb");
    }
}

void partLine(Lines& out, const char* key, const char* caption, const std::optional<double>& part,
              const char* field, const char* why) {
    if (part) {
        out.number(key, caption, *part, 2, "dB", field);
    } else {
        out.none(key, caption, why);
    }
}

void earthSpaceLines(const DesignPoint& point, const BudgetSheet& sheet, Lines& out) {
    const SheetAtmosphere& atmosphere = *sheet.atmosphere;
    const EarthSpaceResult& parts = atmosphere.parts;
    const bool rain = point.has(ParamId::RainRate);
    const bool fromAltitude = point.has(ParamId::SatelliteAltitude);
    out.text("Path", "Path", point[ParamId::Path], pathName(point), "path");
    if (fromAltitude) {
        out.number("SatelliteAltitude", "Satellite Altitude", point[ParamId::SatelliteAltitude], 1,
                   "km", "satelliteAltitudeKm");
    }
    out.number("SlantRange", "Slant Range", atmosphere.pathKm, 2, "km", "slantRangeKm",
               sheet.site ? "from the site" : (fromAltitude ? "from the altitude" : "Range"));
    out.number("Elevation", "Elevation", point[ParamId::Elevation], 2, "deg", "elevationDeg");
    stationLine(point, out);
    if (rain) {
        out.number("Latitude", "Station Latitude", point[ParamId::Latitude], 2, "deg",
                   "latitudeDeg");
    }
    out.number("Availability", "Availability", point[ParamId::Availability], 3, "Percent",
               "availabilityPercent", typedOrDefault(point, ParamId::Availability));
    airLines(parts, out);
    if (parts.columnarVapourKgM2) {
        out.sourced("VapourContent", "Water Vapour Content", *parts.columnarVapourKgM2,
                    parts.columnarVapourKgM2->value, 2, "kg/m2", "vapourContentKgM2");
    }
    if (parts.liquidWaterKgM2) {
        out.sourced("CloudLiquid", "Cloud Liquid Water", *parts.liquidWaterKgM2,
                    parts.liquidWaterKgM2->value, 3, "kg/m2", "cloudLiquidKgM2");
    }
    if (rain) {
        out.number("RainRate", "Rain Rate", point[ParamId::RainRate], 1, "mm/h", "rainRateMmH");
        out.sourced("RainHeight", "Rain Height", *parts.rainHeightKm, parts.rainHeightKm->value, 3,
                    "km", "rainHeightKm");
        out.number("PolarizationTilt", "Polarization Tilt", PolarizationTiltDeg(point), 1, "deg",
                   "polarizationTiltDeg");
    }
    out.sourced("WetRefractivity", "Wet Refractivity", *parts.wetRefractivity,
                parts.wetRefractivity->value, 2, "N-units", "wetRefractivity");
    out.number("ScintillationAntenna", "Scintillation Antenna", atmosphere.dishDiameterM, 3, "m",
               "antennaDiameterM", atmosphere.dishFromGain ? kFromGain : "Rx dish");
    out.percent("AntennaEfficiency", "Antenna Efficiency", atmosphere.dishEfficiency,
                "antennaEfficiency");
    gammaLines(parts, out);
    out.number("GasLoss", "Gas Loss", parts.gas, 2, "dB", "gasDb");
    partLine(out, "CloudLoss", "Cloud Loss", parts.cloud, "cloudDb", "(no cloud liquid water)");
    partLine(out, "SlantRainLoss", "Rain Loss", parts.rain, "rainDb", "(no rain rate)");
    partLine(out, "ScintillationFade", "Scintillation Fade", parts.scintillation, "scintillationDb",
             "");
    out.number("AtmosphereLoss", "Atmosphere Total", parts.total, 2, "dB", "totalDb");
    out.number("WeatherGiven", "Weather as Given", sheet.given.Weather, 2, "dB", "weatherGivenDb");
    if (atmosphere.dishFromGain) {
        out.note("No Rx dish: the scintillation is worked out for a dish of " +
                 FormatInWidth(12, 3, atmosphere.dishDiameterM) +
                 " m, which gives RxAntGain at 55 % efficiency.");
    }
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    if (!sheet.atmosphere) {
        return;
    }
    Lines out(section);
    out.from(point);
    if (sheet.atmosphere->earthSpace) {
        earthSpaceLines(point, sheet, out);
    } else {
        terrestrialLines(point, sheet, out);
    }
}

// The loss is a term of its own after Weather, which keeps the value given.
void terms(const DesignPoint& point, const BudgetSheet& sheet, std::vector<LinkTerm>& terms) {
    if (!sheet.atmosphere) {
        return;
    }
    const bool earthSpace = OnEarthSpacePath(point);
    AddLossAfterWeather(terms,
                        LinkTerm{"Atmosphere", earthSpace ? "Atmosphere" : "Gaseous Absorption",
                                 sheet.atmosphere->lossDb, "dB", 0.0, TermSide::Signal,
                                 earthSpace ? "gases, clouds, rain and scintillation, ITU-R "
                                              "P.618-13 section 2.5"
                                            : "A = gamma d, ITU-R P.676-12 Annex 1"});
}

} // namespace

const FeatureRow kAtmosphereFeature{.section = "atmosphere",
                                    .title = "Atmosphere",
                                    .pathDependent = true,
                                    .trigger = ParamId::Path,
                                    .alternative = ParamId::Gas,
                                    .check = check,
                                    .adjust = adjust,
                                    .lines = lines,
                                    .terms = terms,
                                    .appliesOn = HasAtmosphere};
