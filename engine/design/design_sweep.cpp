#include "design_sweep.h"

#include <cmath>

void SweepDesign(const BudgetModel& model, const DesignPoint& base, ParamId param,
                 std::uint64_t count, const SweepGrid& grid,
                 const std::function<void(const SweepSample&)>& visit) {
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

void ZeroCrossings::add(double x, double fadeMargin) {
    if (std::isnan(fadeMargin)) {
        m_lastX.reset();
        return;
    }
    if (m_crossings.size() < kMaxKept) {
        if (fadeMargin == 0.0) {
            m_crossings.push_back(x);
        } else if (m_lastX && m_lastMargin != 0.0 && (m_lastMargin > 0.0) != (fadeMargin > 0.0)) {
            const double t = m_lastMargin / (m_lastMargin - fadeMargin); // 0 ... 1
            m_crossings.push_back(*m_lastX + t * (x - *m_lastX));
        }
    }
    m_lastX = x;
    m_lastMargin = fadeMargin;
}

void LargestClosing::add(double x, double fadeMargin) {
    if (fadeMargin >= 0.0 && (!m_best || x > *m_best)) {
        m_best = x;
    }
}
