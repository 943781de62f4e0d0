// The climate at the site (see site_climate.h): the climate inputs not typed
// come from ITU-R's maps; every other feature sees them as if typed, and the
// section lists each with its source.
#include "section_writer.h"
#include "site_climate.h"

namespace {

constexpr double kPercent = 100.0;

// The point as typed: without what the features worked out.
DesignPoint typedPoint(const DesignPoint& point) {
    DesignPoint typed = point;
    typed.set &= ~point.derived;
    typed.derived.reset();
    return typed;
}

void resolve(DesignPoint& point) {
    const SiteClimate climate = LookUpClimate(typedPoint(point));
    for (const ClimateEntry& entry : climate.entries) {
        if (entry.id != ParamId::Count) {
            point.values[IndexOf(entry.id)] = entry.value;
            point.set.set(IndexOf(entry.id));
            point.derived.set(IndexOf(entry.id));
        }
    }
}

bool check(const DesignPoint& point, DesignFault& fault) {
    const SiteClimate climate = LookUpClimate(typedPoint(point));
    if (climate.fault) {
        fault = *climate.fault;
        return false;
    }
    return true;
}

void adjust(const DesignPoint&, BudgetSheet&) {}

void lines(const DesignPoint& point, const BudgetSheet&, SheetSection& section) {
    const SiteClimate climate = LookUpClimate(typedPoint(point));
    SectionWriter out(section);
    for (const ClimateEntry& entry : climate.entries) {
        out.add(entry.key, entry.caption, entry.value, entry.decimals, entry.unit, entry.field);
        out.field((std::string(entry.field) + "Source").c_str(), entry.source);
        if (entry.atP) {
            section.fields.push_back({std::string(entry.field) + "AtP", *entry.atP, {}});
        }
    }
    if (climate.noMaps) {
        out.note("No ITU-R maps (--itu-maps DIR, QUILLSTONE_ITU_MAPS or "
                 "~/.local/share/quillstone/itu-maps): the climate at the site is as typed.");
    } else if (!climate.entries.empty() && kPercent - point[ParamId::Availability] < 1.0) {
        out.note("The gases and the clouds are taken at 1 % of the time (ITU-R P.618-13 "
                 "section 2.5).");
    }
}

} // namespace

const FeatureRow kClimateFeature{.section = "climate",
                                 .title = "Climate",
                                 .followsSolve = false,
                                 .pathDependent = false,
                                 .trigger = ParamId::StationLongitude,
                                 .alternative = ParamId::StationLongitude,
                                 .check = check,
                                 .adjust = adjust,
                                 .lines = lines,
                                 .appliesOn = HasSiteClimate,
                                 .resolve = resolve};
