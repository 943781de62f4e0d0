#include "design_rules.h"

#include "value_reader.h"

namespace {

using P = ParamId;
using K = DesignRuleKind;

constexpr RuleTarget kEarthSpace{P::Path, "earth-space"};
constexpr RuleTarget kTerrestrial{P::Path, "terrestrial"};

// In the order they are checked: the requirement's, the path's and the
// receiver's, as each builds on the ones before.
constexpr DesignRule kRules[] = {
    {P::Modulation, K::Needs, {P::TargetBer}, {}, " (the target bit error rate)"},
    {P::TargetBer, K::Needs, {P::Modulation}},
    {P::CodingGain, K::Needs, {P::Modulation}},
    {P::Availability, K::Needs, {P::RainRate}, kEarthSpace},
    {P::RainPolarization, K::Needs, {P::RainRate}},
    {P::Elevation, K::Needs, {P::RainRate}, kEarthSpace},
    {P::SatelliteAltitude, K::Needs, kEarthSpace},
    {P::StationHeight, K::Needs, {P::Gas}, kEarthSpace},
    {P::Temperature, K::Needs, {P::Gas}, kEarthSpace},
    {P::Pressure, K::Needs, {P::Gas}, kEarthSpace},
    {P::VapourDensity, K::Needs, {P::Gas}, kEarthSpace},
    {P::VapourContent, K::Needs, kEarthSpace},
    {P::CloudLiquid, K::Needs, kEarthSpace},
    // The site's first: its option gives the latitude too.
    {P::StationLongitude, K::Needs, kEarthSpace},
    {P::Latitude, K::Needs, {P::RainRate}, {P::StationLongitude}},
    {P::Latitude, K::Needs, kEarthSpace},
    {P::RainHeight, K::Needs, {P::RainRate}},
    {P::RainHeight, K::NotWith, {P::IsothermHeight}},
    {P::RainHeight, K::Needs, kEarthSpace},
    {P::IsothermHeight, K::Needs, {P::RainRate}},
    {P::IsothermHeight, K::Needs, kEarthSpace},
    {P::WetRefractivity, K::Needs, kEarthSpace},
    {P::EarthFactor, K::Needs, {P::TxHeight}, {P::RxHeight}},
    {P::TxDishEfficiency, K::Needs, {P::TxDishDiameter}},
    {P::RxDishEfficiency, K::Needs, {P::RxDishDiameter}},
    {P::RxPointingError, K::Needs, {P::TxPointingError}},
    {P::RxAxialRatio, K::Needs, {P::TxAxialRatio}},
    {P::AxialRatioTilt, K::Needs, {P::TxAxialRatio}},
    {P::Waveform, K::NotWith, {P::Modulation}},
    {P::CodingRate, K::Needs, {P::Waveform}},
    {P::Payload, K::Needs, {P::Waveform}},
    {P::SymbolRate, K::Needs, {P::Waveform}},
    // The site: the look angles give the elevation and the slant range.
    {P::StationLongitude, K::Needs, {P::Latitude}},
    {P::AntennaHeight, K::Needs, {P::StationLongitude}},
    {P::SatelliteLongitude, K::Needs, {P::StationLongitude}},
    {P::SatelliteLongitude, K::NotWith, {P::Elevation}, {}, " (the look angles give it)"},
    {P::SatelliteLatitude, K::Needs, {P::SatelliteLongitude}},
    {P::SatelliteLatitude, K::Needs, {P::SatelliteAltitude}},
    {P::PolarizationAngle, K::Needs, {P::SatelliteLongitude}},
    {P::PolarizationAngle, K::NotWith, {P::RainPolarization}},
    {P::CloudMaps, K::Needs, {P::StationLongitude}},
    // A terrestrial hop: both sites or neither; a profile from a file or
    // from the tiles between the sites; the antennas' heights above them.
    {P::TxLongitude, K::Needs, kTerrestrial},
    {P::TxLongitude, K::Needs, {P::TxLatitude}},
    {P::TxLatitude, K::Needs, {P::TxLongitude}},
    {P::RxLatitude, K::Needs, {P::RxLongitude}},
    {P::TxLongitude, K::Needs, {P::RxLongitude}, {}, " (the other end of the hop)"},
    {P::RxLongitude, K::Needs, {P::RxLatitude}},
    {P::RxLongitude, K::Needs, {P::TxLongitude}, {}, " (the other end of the hop)"},
    {P::TxGround, K::Needs, {P::TxLongitude}},
    {P::RxGround, K::Needs, {P::RxLongitude}},
    {P::Profile, K::Needs, kTerrestrial},
    {P::Profile, K::NotWith, {P::Terrain}},
    {P::Profile, K::Needs, {P::TxHeight}, {}, " (the antennas' heights above the ground)"},
    {P::Terrain, K::Needs, {P::TxLongitude}},
    {P::Terrain, K::Needs, {P::TxHeight}, {}, " (the antennas' heights above the ground)"},
    {P::MinimumEarthFactor, K::Needs, {P::Profile}, {P::TxLongitude}},
    {P::Obstruction, K::Needs, {P::Profile}, {P::TxLongitude}},
    {P::RefractivityGradient, K::Needs, {P::TxLongitude}, {}, " (the outage is the sites')"},
};

bool targetSet(const RuleTarget& target, const DesignPoint& point) {
    if (target.id == P::Count || !point.has(target.id)) {
        return false;
    }
    if (target.value == nullptr) {
        return true;
    }
    const std::optional<std::size_t> choice = FindChoice(ParamRowOf(target.id), target.value);
    return choice && point[target.id] == static_cast<double>(*choice);
}

// An Earth-space path is the Path parameter's value: set or by default.
bool targetMet(const RuleTarget& target, const DesignPoint& point) {
    if (target.id == P::Path && target.value != nullptr) {
        const std::optional<std::size_t> choice = FindChoice(ParamRowOf(P::Path), target.value);
        return choice && point[P::Path] == static_cast<double>(*choice);
    }
    return targetSet(target, point);
}

std::string targetText(const RuleTarget& target, const ParamNamer& name) {
    return name(target.id) + (target.value != nullptr ? std::string(" ") + target.value : "");
}

} // namespace

std::span<const DesignRule> DesignRules() {
    return kRules;
}

bool RuleMet(const DesignRule& rule, const DesignPoint& point) {
    if (!point.has(rule.subject)) {
        return true;
    }
    switch (rule.kind) {
    case K::Needs:
        return targetMet(rule.other, point) || targetMet(rule.orOther, point);
    case K::NotWith:
        return !targetSet(rule.other, point);
    }
    return true;
}

std::string RuleMessage(const DesignRule& rule, const ParamNamer& name) {
    std::string message = name(rule.subject);
    if (rule.kind == K::Needs) {
        const std::string other = targetText(rule.other, name);
        message += " needs " + other;
        // Two parameters of one option are named once.
        if (rule.orOther.id != P::Count && targetText(rule.orOther, name) != other) {
            message += " or " + targetText(rule.orOther, name);
        }
    } else {
        message += " cannot be combined with " + targetText(rule.other, name);
    }
    return message + rule.text;
}

std::string GivenValueText(const Design& design, ParamId id, const DesignPoint& point) {
    const ParamRow& row = ParamRowOf(id);
    const std::optional<ParamSetting>& setting = design.setting(id);
    if (setting && setting->value == point[id] && row.choices == nullptr) {
        return ShortestText(setting->given) + (setting->unit.empty() ? "" : " " + setting->unit);
    }
    return ParamValueText(row, point[id]);
}

std::optional<DesignFault> CheckDesign(const Design& design, const DesignPoint& point,
                                       const ParamNamer& name) {
    const double path = point[P::Path];
    for (const ParamRow& row : ParamTable) {
        if (point.has(row.id) && row.family != UnitFamily::List &&
            !InDomain(row, point[row.id], path)) {
            ValueReading reading;
            reading.fault = ValueFault::OutOfRange;
            return DesignFault{row.id, ValueMessage(name(row.id) + ": ",
                                                    Quoted(GivenValueText(design, row.id, point)),
                                                    row, reading, path)};
        }
    }
    for (const DesignRule& rule : kRules) {
        if (!RuleMet(rule, point)) {
            return DesignFault{rule.subject, RuleMessage(rule, name)};
        }
    }
    DesignFault fault;
    if (!BudgetModel(point).check(point, fault)) {
        return fault;
    }
    return std::nullopt;
}
