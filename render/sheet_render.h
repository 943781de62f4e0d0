#pragma once
// The budget sheet rendered as text and JSON. Neither works
// anything out: the numbers, the lines and the terms are the sheet's.
#include "availability_curve.h"
#include "budget_explain.h"
#include "buffered_output.h"
#include "design_solve.h"

#include <optional>
#include <vector>

// What an output shows: the evaluated sheet, its sections, the solved factor
// when there is one, and whether the metric values go beside the window's.
struct SheetView {
    const BudgetSheet& sheet;
    std::vector<SheetSection> sections;
    std::optional<SolvedFactor> solved;
    bool metric = false;
    std::optional<BudgetExplanation> explanation{};  // --explain
    std::optional<AvailabilityCurve> availability{}; // --availability-curve
};

// The view with what --explain adds: the receiver's figures of merit when
// no section has them, and the budget's explanation.
SheetView ExplainedView(SheetView view, const BudgetModel& model, const DesignPoint& point);

// The solved factor, the fourteen factor lines, the nine result lines, the
// bit error line (caption, value text as the window shows it, unit, and the
// metric note when asked for), then each section's lines and notes, then the
// explanation and the availability curve when asked for.
void WriteSheetText(const SheetView& view, BufferedOutput& out);

// A section's lines, then its notes.
void WriteSectionText(const SheetSection& section, BufferedOutput& out);

// The same as one JSON object: the factors, results and bit error
// performance, each with its number and its text, then the sections, the
// solved factor, the metric values, the explanation and the availability
// curve as further members.
void WriteSheetJson(const SheetView& view, BufferedOutput& out);

// The solved factor's heading with its value: "Largest Range for a fade
// margin of 3.0 dB: 88.3 Miles".
std::string SolvedNote(const SolvedFactor& solved, bool metric);
