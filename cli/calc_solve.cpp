#include "calc_solve.h"

#include "calc_text.h"

bool ParseSolveOption(std::string_view value, SolveOptions& options, std::string& error) {
    options.factor = FindFactor(value);
    if (!options.factor) {
        error = "unknown key " + Quoted(value);
        return false;
    }
    return true;
}
