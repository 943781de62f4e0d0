#pragma once
// A sweep of a design: one numeric parameter runs over a grid, every other
// parameter stays, and the budget is evaluated afresh at each point (the
// features recompute their losses and gains). The calculator's --sweep and
// the design window's margin chart both run their points through here.
#include "budget_sheet.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One evaluated point: its index, the swept value (the parameter's base
// unit), its budget sheet, the results and the minimum Eb/No desired the
// budget used at that point (dB).
struct SweepSample {
    std::uint64_t index;
    double x;
    const BudgetSheet& sheet;
    const LinkResults& results;
    double minEbNo;
};

// A grid held as a function (the report's charts).
using SweepGrid = std::function<std::optional<double>(std::uint64_t i)>;

// Evaluates `model` at `count` points of `grid` in order, `param` set to each
// value, and hands every point to `visit`. `grid(i)` is the value of point i
// in the parameter's base unit (std::optional<double>); none ends the sweep
// there (a value that has no base unit). A template, so that a sweep of a
// million points calls neither through a pointer.
template <typename Grid, typename Visit>
void SweepDesign(const BudgetModel& model, const DesignPoint& base, ParamId param,
                 std::uint64_t count, const Grid& grid, const Visit& visit) {
    DesignPoint point = base;
    // A factor is changed in the factors at hand as well: the budget then
    // need not make them from the point again at every point.
    LinkFactors factors = base.factors();
    const FactorRow* factor = FactorOfParam(ParamRowOf(param));
    double* sweptFactor = factor != nullptr ? &(factors.*factor->field) : nullptr;
    double& swept = point.values[IndexOf(param)];
    BudgetSheet sheet{};
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::optional<double> value = grid(i);
        if (!value) {
            return;
        }
        swept = *value;
        if (sweptFactor != nullptr) {
            *sweptFactor = swept;
            model.evaluate(point, factors, sheet);
        } else {
            model.evaluate(point, sheet);
        }
        visit(SweepSample{i, swept, sheet, sheet.results, sheet.effective.MinEbNoDesired});
    }
}

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
