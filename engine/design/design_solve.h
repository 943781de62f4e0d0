#pragma once
// The reverse of a design's budget: the value of one factor at which the fade
// margin is a given number of decibels, every other parameter as it is, the
// features included (a rain loss that grows with Range, a dish gain that
// grows with Freq). No Qt.
#include "budget_sheet.h"
#include "link_solve.h"

#include <cstddef>
#include <string>

// A closed form where the factor reaches the budget unchanged and has one,
// else the bracketed search over the factor's prompt bounds (SolveBySearch);
// refused when a feature sets the factor itself (a dish its antenna gain),
// when the design picks its MODCOD from the margin (dvbs2:auto: the margin
// is then no function of the factor to solve), and when the answer,
// evaluated, does not give the margin asked within kSolveTolerance or lies
// outside what a feature's model holds for (its check, the message). The one
// solver of the calculator and the design window.
constexpr double kSolveTolerance = 0.01; // dB: the margins are shown to 0.1 dB
SolveAnswer SolveDesign(const BudgetModel& model, const DesignPoint& point, std::size_t factor,
                        double margin);

struct SolvedFactor {
    std::size_t factor; // index into FactorTable
    double margin;      // dB, the target
    double value;       // the factor's unit
};

// "Largest Range for a fade margin of 0.0 dB:"
std::string SolveHeading(const SolvedFactor& solved);
