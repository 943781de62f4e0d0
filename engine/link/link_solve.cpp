#include "link_solve.h"

#include "link_calculation.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A margin this large comes from the calculation's failure sentinel (a factor
// of 0 under a logarithm), not from a link (dB).
constexpr double kLargestRealMargin = 1e6;

// Halving steps at most; a double bracket is exhausted long before.
constexpr int kMaxHalvings = 2200;

bool mustBePositive(SolveForm form) {
    return form == SolveForm::Amplitude || form == SolveForm::Power || form == SolveForm::Rate;
}

std::string db(double value) {
    return FormatFixed(12, 1, value) + " dB";
}

std::string valueText(const FactorRow& row, double value) {
    return FactorValueText(row, value) + " " + row.unit;
}

SolveAnswer refuse(std::string why) {
    return SolveAnswer{false, 0.0, std::move(why)};
}

SolveAnswer answerOf(const FactorRow& row, double value) {
    if (!std::isfinite(value) ||
        (mustBePositive(SolveFormOf(static_cast<std::size_t>(&row - FactorTable.data()))) &&
         !(value > 0.0))) {
        return refuse(std::string("no physical ") + row.key + " gives that fade margin");
    }
    return SolveAnswer{true, value, {}};
}

// Why no value between the bounds gives the margin, from the margins at the
// two bounds (both above or both below the target).
std::string outOfBounds(const FactorRow& row, double low, double high, double atLow, double atHigh,
                        double margin) {
    if (atLow == atHigh) {
        return std::string("the fade margin does not depend on ") + row.key + " here (" +
               db(atLow) + ")";
    }
    const bool below = atLow < margin; // both ends short of the target
    // The end the answer lies beyond: the better end when short, the worse
    // end when even that is above the target.
    const bool beyondLow = below == (atLow > atHigh);
    const double end = beyondLow ? low : high;
    return std::string(row.key) + " would have to be " + (beyondLow ? "below " : "above ") +
           valueText(row, end) + ": the fade margin there is " + db(beyondLow ? atLow : atHigh) +
           ", the target " + db(margin);
}

} // namespace

SolveForm SolveFormOf(std::size_t factor) {
    return FactorTable[factor].solveForm;
}

bool SolvesForLargest(std::size_t factor) {
    return FactorTable[factor].solvesForLargest;
}

MarginAt BudgetMarginAt(const LinkFactors& factors, std::size_t factor) {
    return [probe = LinkFactors(factors), field = FactorTable[factor].field](double x) mutable {
        probe.*field = x;
        LinkResults results{};
        CalculateLink(probe, results);
        return results.FadeMargin;
    };
}

SolveAnswer SolveFactor(const LinkFactors& factors, std::size_t factor, double margin) {
    const FactorRow& row = FactorTable[factor];
    const SolveForm form = SolveFormOf(factor);
    if (form == SolveForm::Reference) {
        return refuse(std::string("the fade margin is the received Eb/No less ") + row.key +
                      ", so no value of it sets the margin");
    }
    if (form == SolveForm::Search) {
        return SolveBySearch(BudgetMarginAt(factors, factor), factor, margin);
    }
    LinkResults results{};
    CalculateLink(factors, results);
    return SolveFromMargin(factor, factors.*row.field, results.FadeMargin, margin);
}

SolveAnswer SolveFromMargin(std::size_t factor, double value, double fadeMargin, double margin) {
    const FactorRow& row = FactorTable[factor];
    if (!(std::fabs(fadeMargin) < kLargestRealMargin)) {
        return refuse("the budget cannot be computed from these factors (a range, frequency,"
                      " power or bit rate of 0 or less)");
    }
    const double excess = fadeMargin - margin; // dB to give away
    switch (SolveFormOf(factor)) {
    case SolveForm::Amplitude:
        return answerOf(row, value * std::pow(10.0, excess / 20.0));
    case SolveForm::Power:
        return answerOf(row, value * std::pow(10.0, -excess / 10.0));
    case SolveForm::Rate:
        return answerOf(row, value * std::pow(10.0, excess / 10.0));
    case SolveForm::Gain:
        return answerOf(row, value - excess);
    case SolveForm::Loss:
        return answerOf(row, value + excess);
    default:
        return refuse(std::string(row.key) + " has no closed form");
    }
}

SolveAnswer SolveBySearch(const MarginAt& marginAt, std::size_t factor, double margin) {
    const FactorRow& row = FactorTable[factor];
    const SolveForm form = SolveFormOf(factor);
    const bool logarithmic = mustBePositive(form);
    double low = row.promptLow;
    double high = row.promptHigh;
    if (form == SolveForm::Search) {
        low = std::max(low, 0.0);
    }
    const double atLow = marginAt(low) - margin;
    const double atHigh = marginAt(high) - margin;
    if (std::isnan(atLow) || std::isnan(atHigh)) {
        return refuse("the budget cannot be computed from these factors");
    }
    if (atLow == 0.0) {
        return answerOf(row, low);
    }
    if (atHigh == 0.0) {
        return answerOf(row, high);
    }
    if ((atLow > 0.0) == (atHigh > 0.0)) {
        return refuse(outOfBounds(row, low, high, atLow + margin, atHigh + margin, margin));
    }
    // Bisection keeps the sign change between low and high; it ends when the
    // midpoint can no longer be told from an end.
    const bool lowAbove = atLow > 0.0;
    for (int i = 0; i < kMaxHalvings; ++i) {
        const double middle =
            logarithmic ? std::sqrt(low) * std::sqrt(high) : low + 0.5 * (high - low);
        if (!(middle > low && middle < high)) {
            break;
        }
        const double at = marginAt(middle) - margin;
        if (at == 0.0) {
            return answerOf(row, middle);
        }
        ((at > 0.0) == lowAbove ? low : high) = middle;
    }
    // The side of the target the answer should keep: the largest value still
    // at or above the margin, or the least.
    return answerOf(row, lowAbove ? low : high);
}
