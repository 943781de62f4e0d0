#include "derived_inputs.h"

#include "budget_features.h"
#include "site_climate.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

// Relative difference under which two numbers worked out in different units
// are one value.
constexpr double kSameValue = 1e-9;

bool same(double a, double b) {
    return std::fabs(a - b) <= kSameValue * std::max(std::fabs(a), std::fabs(b));
}

// True when the budget's value of the factor stays where it is with the
// value set moved: the budget works it out from other inputs.
bool workedOut(const BudgetModel& model, const DesignPoint& point, const BudgetSheet& sheet,
               const FactorRow& factor, ParamId id) {
    // The budget's value where it is the one set: taken as set (this spares
    // an evaluation for every factor no feature changes).
    if (sheet.effective.*factor.field == sheet.given.*factor.field)
        return false;
    DesignPoint moved = point;
    const double value = point[id];
    moved.values[IndexOf(id)] = value + std::max(1.0, 0.5 * std::fabs(value));
    const BudgetSheet other = model.evaluate(moved);
    return same(other.effective.*factor.field, sheet.effective.*factor.field) &&
           !same(other.given.*factor.field, sheet.given.*factor.field);
}

// The line of a feature's section that shows the value (in any unit of the
// parameter's family): "Atmosphere: Slant Range"; else the formula of the
// factor's term in the budget, which the feature that sets it names.
std::string sourceOf(const std::vector<SheetSection>& sections, const std::vector<LinkTerm>& terms,
                     const ParamRow& row, double value) {
    for (const SheetSection& section : sections) {
        for (const SheetLine& line : section.lines) {
            const std::string unit = line.unit.substr(0, line.unit.find(' '));
            std::optional<double> base = ToBaseUnit(row.family, row.defaultUnit, line.value, unit);
            if (!base) // a unit the family does not know: the line's number as it is
                base = line.value;
            if (same(*base, value))
                return section.title + ": " + line.caption;
        }
    }
    for (const LinkTerm& term : terms) {
        if (std::string_view(term.key) == ParamKey(row) && term.source != nullptr)
            return term.source;
    }
    return "worked out by the budget";
}

// The value of a feature's second trigger that brings the feature in alone
// (none when no value does): the one in force while its first trigger does.
std::optional<double> bringingValue(const FeatureRow& feature, const DesignPoint& point) {
    const ParamRow& row = ParamRowOf(feature.alternative);
    if (row.choices == nullptr)
        return std::nullopt;
    DesignPoint alone = point;
    alone.set.reset(IndexOf(feature.trigger));
    alone.values[IndexOf(feature.trigger)] = ParamDefault(ParamRowOf(feature.trigger));
    alone.set.set(IndexOf(feature.alternative));
    for (std::size_t choice = 0; choice < row.choices().size(); ++choice) {
        alone.values[IndexOf(feature.alternative)] = static_cast<double>(choice);
        const BudgetModel model(alone);
        const std::vector<const FeatureRow*>& in = model.features();
        if (std::find(in.begin(), in.end(), &feature) != in.end())
            return static_cast<double>(choice);
    }
    return std::nullopt;
}

} // namespace

std::vector<DerivedInput> DerivedInputs(const DesignPoint& point, const BudgetSheet& sheet) {
    const BudgetModel model(point);
    std::vector<DerivedInput> derived;
    std::vector<SheetSection> sections;
    std::vector<LinkTerm> terms;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const ParamId id = ParamOfFactor(i);
        if (!workedOut(model, point, sheet, FactorTable[i], id))
            continue;
        if (terms.empty()) {
            sections = model.sections(point, sheet);
            terms = model.terms(point, sheet);
        }
        const double value = sheet.effective.*FactorTable[i].field;
        derived.push_back({id, value, sourceOf(sections, terms, ParamRowOf(id), value)});
    }
    for (const FeatureRow* feature : model.features()) {
        const ParamId second = feature->alternative;
        if (second == ParamId::Count || second == feature->trigger || point.has(second) ||
            !point.has(feature->trigger))
            continue;
        if (const std::optional<double> value = bringingValue(*feature, point)) {
            const ParamRow& trigger = ParamRowOf(feature->trigger);
            derived.push_back({second, *value,
                               std::string(feature->title) + ", always with " +
                                   ParamCaption(trigger) + " " +
                                   ParamValueText(trigger, point[feature->trigger])});
        }
    }
    // The climate at the site: what the design does not type, from the maps.
    DesignPoint typed = point;
    typed.set &= ~point.derived;
    typed.derived.reset();
    for (const ClimateEntry& entry : LookUpClimate(typed).entries) {
        if (entry.id != ParamId::Count) {
            derived.push_back({entry.id, entry.value, entry.source, true});
        }
    }
    std::sort(derived.begin(), derived.end(), [](const DerivedInput& a, const DerivedInput& b) {
        return IndexOf(a.id) < IndexOf(b.id);
    });
    return derived;
}
