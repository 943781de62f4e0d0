#include "design.h"

#include <algorithm>

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
    std::shared_ptr<ParamLists> lists;
    for (std::size_t i = 0; i < kParamCount; ++i) {
        point.values[i] = m_settings[i] ? m_settings[i]->value : ParamDefault(ParamTable[i]);
        point.set[i] = m_settings[i].has_value();
        if (m_settings[i] && !m_settings[i]->items.empty()) {
            if (!lists) {
                lists = std::make_shared<ParamLists>();
            }
            (*lists)[i] = m_settings[i]->items;
        }
    }
    point.lists = std::move(lists);
    return point;
}

const std::vector<std::string>& DesignPoint::list(ParamId id) const {
    static const std::vector<std::string> kNone;
    return lists ? (*lists)[IndexOf(id)] : kNone;
}

void Design::setFactor(std::size_t factor, double value) {
    set(ParamOfFactor(factor), ParamSetting{value, value, {}});
}

bool OnTerrestrialPath(const DesignPoint& point) {
    return !OnEarthSpacePath(point);
}

bool OnEarthSpacePath(const DesignPoint& point) {
    return point[ParamId::Path] == static_cast<double>(PathKind::EarthSpace);
}

std::string ListSettingText(const ParamSetting& setting) {
    std::string text;
    for (const std::string& item : setting.items) {
        text += (text.empty() ? "" : std::string(1, kListSeparator) + " ") + item;
    }
    return text;
}

bool ListSetting(const ParamRow& row, std::vector<std::string> items, ParamSetting& setting,
                 std::string& error) {
    for (const std::string& item : items) {
        if (row.readItem != nullptr && !row.readItem(item, error)) {
            return false;
        }
    }
    const auto count = static_cast<double>(items.size());
    setting = ParamSetting{count, count, {}, std::move(items)};
    return true;
}

bool ReadListSetting(const ParamRow& row, std::string_view text, ParamSetting& setting,
                     std::string& error) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(kListSeparator, start), text.size());
        const std::string_view item = TrimBlanks(text.substr(start, end - start));
        if (!item.empty()) {
            items.emplace_back(item);
        }
        start = end + 1;
    }
    return ListSetting(row, std::move(items), setting, error);
}

bool HasAtmosphere(const DesignPoint& point) {
    return OnEarthSpacePath(point) || (point.has(ParamId::Gas) && point[ParamId::Gas] != 0.0);
}

bool ParamApplies(const ParamRow& row, const DesignPoint& point) {
    const bool needed = row.needs == ParamId::Count || point.has(row.needs) ||
                        (row.alsoAppliesOn != nullptr && row.alsoAppliesOn(point));
    const bool replaced = row.replacedBy != ParamId::Count && point.has(row.replacedBy);
    return needed && !replaced;
}
