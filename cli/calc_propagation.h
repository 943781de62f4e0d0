#pragma once
// What the propagation options do to a link budget: the rain loss added to
// Weather, the dish gains in place of the antenna gains, the path's
// clearance; and their lines in the text and JSON outputs.
#include "buffered_output.h"
#include "calc_budget.h"
#include "calc_propagation_options.h"
#include "link_factors.h"
#include "path_clearance.h"
#include "rain_attenuation.h"

#include <optional>
#include <string>
#include <vector>

// What the options give for one set of factors.
struct PropagationResult {
    double pathKm = 0.0;         // Range in km
    double weatherGivenDb = 0.0; // Weather before the rain loss
    std::optional<RainPath> rain;
    bool rainBelowModel = false; // rain asked for under 1 GHz: no rain loss
    std::optional<PathClearance> clearance;
    std::optional<double> txDishGainDbi;
    std::optional<double> txDishBeamwidthDeg;
    std::optional<double> rxDishGainDbi;
    std::optional<double> rxDishBeamwidthDeg;
};

// Evaluates the options for the factors as the user gave them (Range, Freq,
// Weather, ...), before anything is applied.
PropagationResult EvaluatePropagation(const PropagationOptions& options, const LinkFactors& given);

// Weather := the given Weather + the rain loss; TxAntGain / RxAntGain := the
// dish gains. Leaves the factors alone where no option applies.
void ApplyPropagation(const PropagationResult& result, LinkFactors& factors);

// The factors the budget uses, for any evaluation of the budget (a sweep
// point, a solver's trial value): EvaluatePropagation, then
// ApplyPropagation. Without options: the factors as given.
LinkFactors EffectiveFactors(const PropagationOptions& options, const LinkFactors& given);

// The lines under the budget (caption, value text, unit), then the path's
// verdicts in words. Nothing without options.
void WritePropagationText(const PropagationOptions& options, const PropagationResult& result,
                          BufferedOutput& out);

// The JSON budget's further member "propagation": {"rows": [entries like
// the factors'], "notes": [the verdicts]}. None without options.
std::vector<JsonMember> PropagationJsonMembers(const PropagationOptions& options,
                                               const PropagationResult& result);

// The line for standard error when rain was asked for under 1 GHz: for one
// budget, or for a sweep with such points.
std::string RainBelowModelNote(bool sweep);
