#pragma once
// A link design: the value of every parameter that was set, each with the
// number and unit it was given in, and the plain numbers a budget is worked
// out from. No Qt.
#include "parameters.h"

#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParamSetting {
    double value = 0.0; // the family's base unit; a choice's index
    double given = 0.0; // the number as given (a choice: its index)
    std::string unit;   // as given; empty for a bare number or a choice
    // A list's entries in order (UnitFamily::List; `value` is their count).
    std::vector<std::string> items{};

    bool operator==(const ParamSetting& other) const = default;
};

// The setting of a quantity as it was read: its base value, number and unit.
inline ParamSetting SettingOf(const Quantity& quantity) {
    return {quantity.value, quantity.given, quantity.unit};
}

// The entries of every list parameter, by parameter.
using ParamLists = std::array<std::vector<std::string>, kParamCount>;

// The numbers of one evaluation: every parameter's value (set or default)
// and which were set. A sweep changes one value from point to point.
struct DesignPoint {
    std::array<double, kParamCount> values{};
    std::bitset<kParamCount> set;
    // Of those, the ones a feature worked out from others (the site's
    // elevation, the climate from the maps), not typed.
    std::bitset<kParamCount> derived;
    // The lists' entries, shared by the copies of a point (a sweep changes
    // numbers only); none when no list is set.
    std::shared_ptr<const ParamLists> lists;

    double operator[](ParamId id) const { return values[IndexOf(id)]; }
    bool has(ParamId id) const { return set.test(IndexOf(id)); }
    LinkFactors factors() const;
    // A list parameter's entries; empty when it is not set.
    const std::vector<std::string>& list(ParamId id) const;
};

class Design {
  public:
    void set(ParamId id, ParamSetting setting);
    void clear(ParamId id);
    bool has(ParamId id) const { return m_settings[IndexOf(id)].has_value(); }
    const std::optional<ParamSetting>& setting(ParamId id) const { return m_settings[IndexOf(id)]; }
    double value(ParamId id) const; // the setting's, else the default
    DesignPoint point() const;

    // Sets a factor to a number in its own unit.
    void setFactor(std::size_t factor, double value);

    bool operator==(const Design& other) const = default;

  private:
    std::array<std::optional<ParamSetting>, kParamCount> m_settings;
};

// A list setting as one text, its entries joined by "; ", and read back from
// such a text (blanks around the entries ignored, empty entries skipped),
// each entry checked by the row's reader: false with its one-line message.
constexpr char kListSeparator = ';';
std::string ListSettingText(const ParamSetting& setting);
bool ReadListSetting(const ParamRow& row, std::string_view text, ParamSetting& setting,
                     std::string& error);
// A setting of the entries, each checked by the row's reader.
bool ListSetting(const ParamRow& row, std::vector<std::string> items, ParamSetting& setting,
                 std::string& error);

// True when the parameter applies to the design: the parameter it needs is
// set (or the design is one it also applies on) and the one that replaces it
// is not.
bool ParamApplies(const ParamRow& row, const DesignPoint& point);

// True when the design has an atmosphere: an Earth-space path, or the gases
// asked for on a terrestrial one.
bool HasAtmosphere(const DesignPoint& point);
