#pragma once
// The inputs of a design that the budget does not take as they are set:
// worked out from other inputs (Range on an Earth-space path is the slant
// range to the satellite, a LoRa waveform sets the bit rate and the Eb/No it
// needs, a dish sets its antenna's gain) or brought in by them (the gases on
// an Earth-space path). Found from the budget itself, naming no parameter: a
// factor whose value in the budget does not move with the value set, and a
// feature's second trigger where its first one brings the feature in
// already. The design window shows them read-only; a report can say them
// too. No Qt.
#include "budget_sheet.h"

#include <string>
#include <vector>

struct DerivedInput {
    ParamId id;
    double value;       // what the budget uses: the parameter's base unit; a choice's index
    std::string source; // where it comes from: "Atmosphere: Slant Range"
};

// The derived inputs of a design evaluated into `sheet`, in registry order.
std::vector<DerivedInput> DerivedInputs(const DesignPoint& point, const BudgetSheet& sheet);
