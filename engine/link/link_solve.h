#pragma once
// The reverse of the link budget: the value of one factor at which the fade
// margin is a given number of decibels, all other factors as they are. No Qt.
#include "link_factors.h"

#include <cstddef>
#include <functional>
#include <string>

// The factor table's columns: how the factor is solved for, and whether the
// answer is the largest value that still gives the margin (Range, losses,
// noise figures) or the least (power, gains).
SolveForm SolveFormOf(std::size_t factor);

bool SolvesForLargest(std::size_t factor);

// The fade margin (dB) of the link with the solved factor at x.
using MarginAt = std::function<double(double x)>;

// The fade margin of the plain budget (CalculateLink) with one factor at x.
MarginAt BudgetMarginAt(const LinkFactors& factors, std::size_t factor);

struct SolveAnswer {
    bool solved = false;
    double value = 0.0; // the factor's unit
    std::string why;    // when not solved: one line, no newline
};

// Solves the plain budget for `factor` at fade margin `margin` (dB): a closed
// form where there is one, else SolveBySearch over BudgetMarginAt.
SolveAnswer SolveFactor(const LinkFactors& factors, std::size_t factor, double margin);

// The closed form of the factors that have one, from the factor's value and
// the fade margin (dB) the link has with it.
SolveAnswer SolveFromMargin(std::size_t factor, double value, double fadeMargin, double margin);

// Bracketed root search of marginAt(x) = margin over the factor's prompt
// bounds (never below 0 for the noise figures and the LNA gain; logarithmic
// for the factors that must be positive), to the resolution of a double.
// For a budget that the closed forms do not describe, e.g. one with a loss
// that itself depends on the factor.
SolveAnswer SolveBySearch(const MarginAt& marginAt, std::size_t factor, double margin);
