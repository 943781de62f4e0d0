#pragma once
// --sweep: one factor runs over a grid, every other factor stays, and each
// point's nine results go out as one CSV row (sweep_csv.h).
#include "design_sweep.h"
#include "link_factors.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// `--sweep Key=start:stop:step`: the factor runs over start + i * step.
struct SweepPlan {
    std::size_t factor; // index into FactorTable
    double start;
    double stop;
    double step;
};

// The sweep's options: the plan and the plot drawn of it.
struct SweepOptions {
    std::optional<SweepPlan> plan;
    std::optional<std::string> plotPath;
};

bool ParseSweepOption(std::string_view value, SweepOptions& options, std::string& error);
bool ParsePlotOption(std::string_view value, SweepOptions& options, std::string& error);

constexpr std::uint64_t kMaxSweepPoints = 10'000'000;

// Fraction of a step by which stop may miss the grid and still be its last
// point (0:1:0.1 has 11 points although 1 / 0.1 is not exactly 10).
constexpr double kGridTolerance = 1e-9;

// The number of grid points from start to stop. False with a one-line message
// when the step is 0 or points away from stop, or there are more than
// kMaxSweepPoints.
bool SweepPointCount(const SweepPlan& plan, std::uint64_t& count, std::string& error);

// Point i of `count`: start + i * step, computed afresh for every point so
// that no rounding error piles up; the last point is stop itself when it lies
// on the grid within the tolerance.
double SweepPointValue(const SweepPlan& plan, std::uint64_t i, std::uint64_t count);

// Evaluates the design at every point of the plan in grid order
// (design_sweep.h). The sample's x is the swept value as given.
void RunSweep(const BudgetModel& model, const DesignPoint& base, const SweepPlan& plan,
              std::uint64_t count, const std::function<void(const SweepSample&)>& visit);

// A grid point as text for people: with the decimals of start and step
// (0.001:1000:0.001 gives 124.756, not 124.75600000000001), or the shortest
// round-trip text when they have more than fifteen.
std::string GridText(const SweepPlan& plan, double value);

// What a Range sweep reports on standard error (one line, no newline).
std::string LargestRangeMessage(const SweepPlan& plan, std::uint64_t count,
                                const std::optional<double>& largest);
