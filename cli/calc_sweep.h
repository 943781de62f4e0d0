#pragma once
// A sweep: one factor runs over a grid, every other factor stays, and each
// point's nine results go out as one CSV row.
#include "budget_sheet.h"
#include "buffered_output.h"
#include "link_factors.h"

#include <array>
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

// One evaluated point: the swept value, its budget sheet, the results and
// the minimum Eb/No desired the budget used at that point (dB).
struct SweepSample {
    double x;
    const BudgetSheet& sheet;
    const LinkResults& results;
    double minEbNo;
};

// Evaluates the design at every point in grid order: the features recompute
// their losses and gains at each. The sample's x is the swept value as given.
void RunSweep(const BudgetModel& model, const DesignPoint& base, const SweepPlan& plan,
              std::uint64_t count, const std::function<void(const SweepSample&)>& visit);

// "Range,FreeSpaceAtten,...,Reliability" and one row per point: the swept
// value and the nine results (Reliability in percent), shortest round-trip.
// Most columns of a sweep repeat from row to row (sweeping Range leaves the
// transmit power, bit rate and noise alone), so each column keeps the text
// of its last value and formats only when the value changes.
class SweepCsvWriter {
  public:
    explicit SweepCsvWriter(BufferedOutput& out) : m_out(out) {}
    void header(const SweepPlan& plan);
    void row(const SweepSample& sample);

  private:
    struct Cell {
        std::uint64_t bits = 0; // the value's bit pattern: -0 and 0 differ in text
        bool valid = false;
        std::size_t length = 0;
        char text[32];
    };
    void putCell(Cell& cell, double value);

    BufferedOutput& m_out;
    std::array<Cell, kResultCount> m_cells{};
};

// Where the fade margin crosses 0 dB between neighbouring points, by linear
// interpolation; a point exactly at 0 dB is a crossing itself.
class ZeroCrossings {
  public:
    void add(double x, double fadeMargin);
    const std::vector<double>& crossings() const { return m_crossings; }

    static constexpr std::size_t kMaxKept = 32;

  private:
    std::optional<double> m_lastX;
    double m_lastMargin = 0.0;
    std::vector<double> m_crossings;
};

// The largest swept value whose fade margin is >= 0 dB, to the grid.
class LargestClosing {
  public:
    void add(double x, double fadeMargin);
    const std::optional<double>& value() const { return m_best; }

  private:
    std::optional<double> m_best;
};

// A grid point as text for people: with the decimals of start and step
// (0.001:1000:0.001 gives 124.756, not 124.75600000000001), or the shortest
// round-trip text when they have more than fifteen.
std::string GridText(const SweepPlan& plan, double value);

// What a Range sweep reports on standard error (one line, no newline).
std::string LargestRangeMessage(const SweepPlan& plan, std::uint64_t count,
                                const std::optional<double>& largest);
