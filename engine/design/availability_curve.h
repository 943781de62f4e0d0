#pragma once
// The budget of an Earth-space path over the year: at each percentage p of
// a fixed list from 0.001 % to 5 %, the atmosphere's loss exceeded for p %
// of the time (ITU-R P.618-13 section 2.5) and the fade margin left; with
// dvbs2:auto also the MODCOD chosen and its throughput, and the mean
// throughput over the year of adaptive coding and modulation. No Qt.
//
// The mean counts, between two neighbouring percentages p_i < p_i+1, the
// throughput at p_i (the larger loss) for (p_i+1 - p_i) % of the year, the
// throughput at 5 % for the rest of the year beyond 5 %, and nothing for the
// 0.001 % beyond the list: a lower bound of the true mean.
#include "budget_sheet.h"

#include <array>
#include <optional>
#include <vector>

inline constexpr std::array<double, 12> kAvailabilityPercents = {
    0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0};

struct AvailabilityPoint {
    double percent;                      // p, % of the year
    double atmosphereDb;                 // the loss exceeded for p % of the time
    double fadeMarginDb;                 // what is left of the budget then
    const Dvbs2Modcod* modcod = nullptr; // dvbs2:auto: the MODCOD chosen
    double throughputBps = 0.0;          // dvbs2:auto: 0 when no MODCOD keeps the margin
};

struct AvailabilityCurve {
    std::vector<AvailabilityPoint> points;
    std::optional<double> meanThroughputBps; // dvbs2:auto
};

// The design at every percentage of the list (its Availability is 100 - p).
AvailabilityCurve EvaluateAvailabilityCurve(const BudgetModel& model, const DesignPoint& point);
