#include "design_solve.h"

#include "number_text.h"
#include "waveform_choice.h"

#include <cmath>

namespace {

// A change of the factor that reaches the budget within this (the rounding of
// a loss added to it) passes through.
constexpr double kPassThroughTolerance = 1e-9;

DesignPoint withFactor(DesignPoint point, std::size_t factor, double value) {
    point.values[IndexOf(ParamOfFactor(factor))] = value;
    return point;
}

} // namespace

namespace {

SolveAnswer solve(const BudgetModel& model, const DesignPoint& point, std::size_t factor,
                  double margin) {
    const BudgetSheet sheet = model.evaluate(point);
    const SolveForm form = SolveFormOf(factor);
    double LinkFactors::*field = FactorTable[factor].field;
    if (!model.pathDependent() || form == SolveForm::Reference) {
        // No feature depends on the factors: the plain budget of what the
        // features made of them, whose margin the sheet holds.
        if (form == SolveForm::Reference || form == SolveForm::Search) {
            return SolveFactor(sheet.effective, factor, margin);
        }
        return SolveFromMargin(factor, sheet.effective.*field, sheet.results.FadeMargin, margin);
    }
    const double value = sheet.given.*field;
    if (form != SolveForm::Amplitude && form != SolveForm::Search) {
        const BudgetSheet probe = model.evaluate(withFactor(point, factor, value + 1.0));
        const double change = probe.effective.*field - sheet.effective.*field;
        if (!(std::fabs(change - 1.0) < kPassThroughTolerance)) {
            return SolveAnswer{false, 0.0, "another option sets its value"};
        }
        return SolveFromMargin(factor, value, sheet.results.FadeMargin, margin);
    }
    BudgetSheet trial{};
    return SolveBySearch(
        [&](double x) {
            model.evaluate(withFactor(point, factor, x), trial);
            return trial.results.FadeMargin;
        },
        factor, margin);
}

bool adaptiveModcod(const DesignPoint& point) {
    return point.has(ParamId::Waveform) &&
           WaveformOfChoice(static_cast<std::size_t>(point[ParamId::Waveform])).kind ==
               WaveformKind::Dvbs2Auto;
}

} // namespace

SolveAnswer SolveDesign(const BudgetModel& model, const DesignPoint& point, std::size_t factor,
                        double margin) {
    if (adaptiveModcod(point)) {
        return SolveAnswer{false, 0.0,
                           "dvbs2:auto picks the MODCOD that leaves the margin, so no value of " +
                               std::string(FactorTable[factor].key) +
                               " sets it: fix the MODCOD to solve"};
    }
    SolveAnswer answer = solve(model, point, factor, margin);
    if (!answer.solved) {
        return answer;
    }
    // The answer is the design's only when the budget, evaluated there, keeps
    // the margin asked.
    const BudgetSheet check = model.evaluate(withFactor(point, factor, answer.value));
    const double reached = check.results.FadeMargin;
    if (!(std::fabs(reached - margin) <= kSolveTolerance)) {
        const FactorRow& row = FactorTable[factor];
        return SolveAnswer{false, 0.0,
                           "no value of " + std::string(row.key) + " gives a fade margin of " +
                               FormatFixed(12, 1, margin) + " dB: at " +
                               FactorValueText(row, answer.value) + " " + row.unit + " it is " +
                               FormatFixed(12, 1, reached) + " dB"};
    }
    // A search may leave the range a feature's model holds for.
    std::string error;
    if (!model.check(withFactor(point, factor, answer.value), error)) {
        const FactorRow& row = FactorTable[factor];
        return SolveAnswer{
            false, 0.0, "at " + FactorValueText(row, answer.value) + " " + row.unit + ", " + error};
    }
    return answer;
}

std::string SolveHeading(const SolvedFactor& solved) {
    return (SolvesForLargest(solved.factor) ? "Largest " : "Least ") +
           std::string(FactorTable[solved.factor].key) + " for a fade margin of " +
           FormatInWidth(12, 1, solved.margin) + " dB:";
}
