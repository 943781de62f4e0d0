#pragma once
// The link design options of a calculator job (--solve, --margin, --metric,
// --modulation, --report): prepared with the job, before any output, and
// hooked into its budget output.
#include "buffered_output.h"
#include "calc_budget.h"
#include "calc_modulation.h"
#include "calc_options.h"
#include "calc_report.h"
#include "calc_solve.h"

#include <optional>
#include <string>
#include <vector>

constexpr int kExitNoSolution = 3; // --solve: no value gives the margin

struct DesignJob {
    std::optional<SolvedFactor> solved;
    std::optional<ModulationPlan> modulation;
    std::optional<ReportTarget> report;
};

// The budget the options compute from the user's factors (the propagation
// options add losses and gains); empty when there are none.
EffectiveBudget EffectiveBudgetOf(const CalcOptions& options);

// Sets MinEbNoDesired from the modulation, checks the report file, then
// solves, setting the solved factor in `factors`. kExitDone, or
// kExitBadArguments / kExitNoSolution with a one-line message.
int PrepareDesign(const CalcOptions& options, LinkFactors& factors, DesignJob& design,
                  std::string& error);

// Before the budget lines: the solved factor.
void WriteDesignHead(const CalcOptions& options, const DesignJob& design, BufferedOutput& out);

// The notes after the factors' units (--metric), or none.
std::optional<FactorNotes> DesignNotes(const CalcOptions& options, const LinkFactors& factors);

// After the budget lines: the modulation's.
void WriteDesignTail(const DesignJob& design, const LinkResults& results, BufferedOutput& out);

// The JSON members: "solve", "metric", "modulation".
void AddDesignJson(const CalcOptions& options, const DesignJob& design, const LinkFactors& factors,
                   const LinkResults& results, std::vector<JsonMember>& members);

// Writes the report of the budget of `given` (the user's factors, solved
// value included). False with a one-line message.
bool WriteDesignReport(const CalcOptions& options, DesignJob& design, const LinkFactors& given,
                       const ReportRenderer& render, std::string& error);
