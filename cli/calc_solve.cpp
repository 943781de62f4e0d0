#include "calc_solve.h"

#include "calc_text.h"

bool ParseSolveOption(std::string_view value, SolveOptions& options, std::string& error) {
    options.factor = FindFactor(value);
    if (!options.factor) {
        error = "--solve: unknown key " + Quoted(value);
        return false;
    }
    return true;
}

bool ParseMarginOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    double margin = 0.0;
    if (!ReadOptionNumber("--margin", value, margin, error)) {
        return false;
    }
    inputs.add(ParamId::Margin, {margin, margin, {}});
    return true;
}
