#include "budget_sheet.h"

#include "number_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr int kTextWidth = 12; // as the factors' value texts

bool applies(const FeatureRow& feature, const DesignPoint& point) {
    const bool triggered =
        feature.trigger == ParamId::Count || point.has(feature.trigger) ||
        (feature.alternative != ParamId::Count && point.has(feature.alternative));
    return triggered && (feature.appliesOn == nullptr || feature.appliesOn(point));
}

// The factors' parameters, found once: a point's factors are read at every
// point of a sweep.
struct FactorSlot {
    double LinkFactors::*field;
    std::size_t index;
};

const std::array<FactorSlot, kFactorCount>& factorSlots() {
    static const std::array<FactorSlot, kFactorCount> slots = [] {
        std::array<FactorSlot, kFactorCount> list{};
        for (std::size_t i = 0; i < kFactorCount; ++i) {
            list[i] = {FactorTable[i].field, IndexOf(ParamOfFactor(i))};
        }
        return list;
    }();
    return slots;
}

} // namespace

BudgetModel::BudgetModel(const DesignPoint& design) {
    for (const FeatureRow* feature : FeatureTable()) {
        if (applies(*feature, design)) {
            m_features.push_back(feature);
            m_pathDependent = m_pathDependent || feature->pathDependent;
            m_resolves = m_resolves || feature->resolve != nullptr;
        }
    }
}

DesignPoint BudgetModel::resolved(const DesignPoint& point) const {
    DesignPoint filled = point;
    for (const FeatureRow* feature : m_features) {
        if (feature->resolve != nullptr) {
            feature->resolve(filled);
        }
    }
    return filled;
}

bool BudgetModel::check(const DesignPoint& given, DesignFault& fault) const {
    // The point as given, unless a feature works parameters out of others:
    // no copy of it at every point of a sweep.
    std::optional<DesignPoint> resolvedPoint;
    if (m_resolves) {
        resolvedPoint = resolved(given);
    }
    const DesignPoint& point = resolvedPoint ? *resolvedPoint : given;
    return std::all_of(m_features.begin(), m_features.end(), [&](const FeatureRow* feature) {
        return feature->check == nullptr || feature->check(point, fault);
    });
}

bool BudgetModel::check(const DesignPoint& point, std::string& error) const {
    DesignFault fault;
    if (check(point, fault)) {
        return true;
    }
    error = fault.message;
    return false;
}

void BudgetModel::evaluate(const DesignPoint& point, BudgetSheet& sheet) const {
    LinkFactors factors;
    for (const FactorSlot& slot : factorSlots()) {
        factors.*slot.field = point.values[slot.index];
    }
    evaluate(point, factors, sheet);
}

void BudgetModel::evaluate(const DesignPoint& given, const LinkFactors& factors,
                           BudgetSheet& sheet) const {
    // The point as given, unless a feature works parameters out of others:
    // no copy of it at every point of a sweep.
    std::optional<DesignPoint> resolvedPoint;
    if (m_resolves) {
        resolvedPoint = resolved(given);
    }
    const DesignPoint& point = resolvedPoint ? *resolvedPoint : given;
    if (!m_features.empty()) {
        sheet = BudgetSheet{}; // no feature's numbers from the point before
    }
    sheet.given = factors;
    sheet.effective = factors;
    sheet.pathKm = factors.Range * kKilometresPerMile;
    for (const FeatureRow* feature : m_features) {
        if (feature->adjust != nullptr) {
            feature->adjust(point, sheet);
        }
    }
    CalculateLink(sheet.effective, sheet.results);
    for (const FeatureRow* feature : m_features) {
        if (feature->finish != nullptr) {
            feature->finish(point, sheet);
        }
    }
}

BudgetSheet BudgetModel::evaluate(const DesignPoint& point) const {
    BudgetSheet sheet{};
    evaluate(point, sheet);
    return sheet;
}

std::vector<SheetSection> BudgetModel::sections(const DesignPoint& given,
                                                const BudgetSheet& sheet) const {
    // The point as given, unless a feature works parameters out of others:
    // no copy of it at every point of a sweep.
    std::optional<DesignPoint> resolvedPoint;
    if (m_resolves) {
        resolvedPoint = resolved(given);
    }
    const DesignPoint& point = resolvedPoint ? *resolvedPoint : given;
    std::vector<SheetSection> sections;
    for (const FeatureRow* feature : m_features) {
        if (sections.empty() || sections.back().name != feature->section) {
            sections.push_back(
                SheetSection{feature->section, feature->title, feature->followsSolve, {}, {}, {}});
        }
        feature->lines(point, sheet, sections.back());
    }
    return sections;
}

std::size_t BudgetModel::sectionCount() const {
    // As sections() opens them: one for each run of features under one name.
    std::size_t count = 0;
    const char* last = nullptr;
    for (const FeatureRow* feature : m_features) {
        if (count == 0 || std::string_view(last) != feature->section) {
            ++count;
            last = feature->section;
        }
    }
    return count;
}

std::vector<LinkTerm> BudgetModel::terms(const DesignPoint& given, const BudgetSheet& sheet) const {
    // The point as given, unless a feature works parameters out of others:
    // no copy of it at every point of a sweep.
    std::optional<DesignPoint> resolvedPoint;
    if (m_resolves) {
        resolvedPoint = resolved(given);
    }
    const DesignPoint& point = resolvedPoint ? *resolvedPoint : given;
    const std::array<LinkTerm, kLinkTermCount> plain = LinkTerms(sheet.effective, sheet.results);
    std::vector<LinkTerm> terms(plain.begin(), plain.end());
    for (const FeatureRow* feature : m_features) {
        if (feature->terms != nullptr) {
            feature->terms(point, sheet, terms);
        }
    }
    return terms;
}

bool LinkCloses(double fadeMargin, double marginAsked) {
    return fadeMargin >= marginAsked;
}

std::string Verdict(double fadeMargin, double marginAsked,
                    const std::function<std::string(double)>& number) {
    const auto text = [&number](double value) {
        return number ? number(value) : FormatInWidth(kTextWidth, 1, value);
    };
    if (LinkCloses(fadeMargin, marginAsked)) {
        return "The link closes with " + text(fadeMargin) + " dB fade margin";
    }
    const std::string shortBy = text(marginAsked - fadeMargin);
    if (marginAsked == 0.0) {
        return "The link falls " + shortBy + " dB short";
    }
    return "The link falls " + shortBy + " dB short of the " + text(marginAsked) +
           " dB fade margin asked";
}

std::string RainBelowModelNote(bool sweep) {
    return sweep ? "rain attenuation is modelled from 1 GHz: no rain loss at the points below it"
                 : "rain attenuation is modelled from 1 GHz: no rain loss below it";
}
