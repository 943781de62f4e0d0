#include "design_solve.h"

#include "number_text.h"

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

SolveAnswer SolveDesign(const BudgetModel& model, const DesignPoint& point, std::size_t factor,
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

std::string SolveHeading(const SolvedFactor& solved) {
    return (SolvesForLargest(solved.factor) ? "Largest " : "Least ") +
           std::string(FactorTable[solved.factor].key) + " for a fade margin of " +
           FormatInWidth(12, 1, solved.margin) + " dB:";
}
