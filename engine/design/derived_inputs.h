#pragma once
// The inputs of a design that the budget does not take as they are set:
// worked out from other inputs (Range on an Earth-space path is the slant
// range to the satellite, a LoRa waveform sets the bit rate and the Eb/No it
// needs, a dish sets its antenna's gain) or brought in by them (the gases on
// an Earth-space path). Found from the budget itself, naming no parameter: a
// factor whose value in the budget does not move with the value set, and a
// feature's second trigger where its first one brings the feature in
// already; and the climate at an Earth-space site that is not typed, from
// ITU-R's maps, whose source is the map ("ITU-R P.837-7 Annex 1 at
// 45.07°N 7.69°E"). The design window shows them read-only, but for the
// climate, which a typed value replaces; a report can say them too. No Qt.
#include "budget_sheet.h"

#include <string>
#include <vector>

struct DerivedInput {
    ParamId id;
    double value;       // what the budget uses: the parameter's base unit; a choice's index
    std::string source; // where it comes from: "Atmosphere: Slant Range"
    // A value looked up that a typed one replaces (the climate at the site
    // from ITU-R's maps, site_climate.h); else the budget ignores a value set.
    bool typeable = false;
};

// The derived inputs of a design evaluated into `sheet`, in registry order.
std::vector<DerivedInput> DerivedInputs(const DesignPoint& point, const BudgetSheet& sheet);
