#pragma once
// --solve KEY [--margin DB]: the value of one factor at which the fade margin
// is DB, the other parameters as given (the solver is the engine's,
// design_solve.h), then the budget at that value.
#include "calc_inputs.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct SolveOptions {
    std::optional<std::size_t> factor; // index into FactorTable
};

bool ParseSolveOption(std::string_view value, SolveOptions& options, std::string& error);
