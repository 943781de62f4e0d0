#pragma once
// --solve KEY [--margin DB]: the value of one factor at which the fade margin
// is DB, the other factors as given, and the budget at that value.
#include "buffered_output.h"
#include "calc_budget.h"
#include "link_factors.h"
#include "link_solve.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct CalcOptions;

bool ParseSolveOption(std::string_view value, CalcOptions& options, std::string& error);
bool ParseMarginOption(std::string_view value, CalcOptions& options, std::string& error);

// --margin needs --solve; --solve goes without --sweep.
bool CheckSolveOptions(const CalcOptions& options, std::string& error);

// The factors the budget is computed from, given the user's: options such as
// a rain rate add losses that depend on Range and Freq. Empty: the user's.
using EffectiveBudget = std::function<LinkFactors(const LinkFactors& given)>;

// Solves the budget of `effective(given)` for `factor` at fade margin
// `margin` (dB); the answer is the user's value of the factor. A closed form
// where the factor enters the budget only through its own term, else the
// bracketed search over the factor's prompt bounds.
SolveAnswer SolveGiven(const LinkFactors& given, std::size_t factor, double margin,
                       const EffectiveBudget& effective);

struct SolvedFactor {
    std::size_t factor; // index into FactorTable
    double margin;      // dB, the target
    double value;       // the factor's unit
};

// "Largest Range for a fade margin of 0.0 dB:"
std::string SolveHeading(const SolvedFactor& solved);

// The heading, the factor's row as the
// window shows it (with the metric note when asked) and an empty line.
void WriteSolveText(const SolvedFactor& solved, bool metric, BufferedOutput& out);

// The "solve" member of the JSON budget, the value at full precision.
JsonMember SolveJson(const SolvedFactor& solved);

// The link design options' part of --help: --solve, --margin, --metric,
// units, --modulation, --ber, --coding-gain, --report.
std::string DesignHelpText();
