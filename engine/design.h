#pragma once
// A link design: the value of every parameter that was set, each with the
// number and unit it was given in, and the plain numbers a budget is worked
// out from. No Qt.
#include "parameters.h"

#include <array>
#include <bitset>
#include <optional>
#include <string>

struct ParamSetting {
    double value = 0.0; // the family's base unit; a choice's index
    double given = 0.0; // the number as given (a choice: its index)
    std::string unit;   // as given; empty for a bare number or a choice
};

// The numbers of one evaluation: every parameter's value (set or default)
// and which were set. A sweep changes one value from point to point.
struct DesignPoint {
    std::array<double, kParamCount> values{};
    std::bitset<kParamCount> set;

    double operator[](ParamId id) const { return values[IndexOf(id)]; }
    bool has(ParamId id) const { return set.test(IndexOf(id)); }
    LinkFactors factors() const;
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

    bool operator==(const Design& other) const;

  private:
    std::array<std::optional<ParamSetting>, kParamCount> m_settings;
};

// True when the parameter applies to the design: the parameter it needs is
// set and the one that replaces it is not.
bool ParamApplies(const ParamRow& row, const DesignPoint& point);
