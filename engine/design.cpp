#include "design.h"

LinkFactors DesignPoint::factors() const {
    LinkFactors factors{};
    for (const ParamRow& row : ParamTable) {
        if (row.factor != nullptr) {
            factors.*row.factor = values[IndexOf(row.id)];
        }
    }
    return factors;
}

void Design::set(ParamId id, ParamSetting setting) {
    m_settings[IndexOf(id)] = std::move(setting);
}

void Design::clear(ParamId id) {
    m_settings[IndexOf(id)].reset();
}

double Design::value(ParamId id) const {
    const std::optional<ParamSetting>& s = setting(id);
    return s ? s->value : ParamDefault(ParamRowOf(id));
}

DesignPoint Design::point() const {
    DesignPoint point;
    for (std::size_t i = 0; i < kParamCount; ++i) {
        point.values[i] = m_settings[i] ? m_settings[i]->value : ParamDefault(ParamTable[i]);
        point.set[i] = m_settings[i].has_value();
    }
    return point;
}

void Design::setFactor(std::size_t factor, double value) {
    set(ParamOfFactor(factor), ParamSetting{value, value, {}});
}

bool Design::operator==(const Design& other) const {
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const auto& a = m_settings[i];
        const auto& b = other.m_settings[i];
        if (a.has_value() != b.has_value() ||
            (a && (a->value != b->value || a->given != b->given || a->unit != b->unit))) {
            return false;
        }
    }
    return true;
}

bool ParamApplies(const ParamRow& row, const DesignPoint& point) {
    const bool needed = row.needs == row.id || point.has(row.needs);
    const bool replaced = row.replacedBy != row.id && point.has(row.replacedBy);
    return needed && !replaced;
}
