#pragma once
// --explain: where every dB of the budget went, rendered as text and as the
// JSON member "explain". Nothing is worked out here (budget_explain.h).
#include "budget_explain.h"
#include "buffered_output.h"

// Each term with its sign, value and source, then the fade margin they add
// up to; then the noise budget: each part's kelvins and share of Tsys.
void WriteExplainText(const BudgetExplanation& explanation, BufferedOutput& out);

// {"fadeMargin": ..., "terms": [{"term", "caption", "value", "unit", "db",
//  "source"}, ...], "systemNoiseTemperatureK": ..., "noise": [{"stage",
//  "kelvin", "percent"}, ...]}
void WriteExplainJson(const BudgetExplanation& explanation, BufferedOutput& out);
