#include "margin_sweep.h"

#include "design_fields.h"
#include "design_solve.h"
#include "design_sweep.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPlotLimitDb = 1e6;     // margins this large come from a failure sentinel
constexpr double kSpread = 2.0;          // a positive input sweeps to this many times its value
constexpr double kDecibelSpan = 20.0;    // an additive input sweeps this far either side
constexpr double kCrossingReach = 100.0; // a crossing further off than this is left out

struct Span {
    double low;
    double high;
};

// The input's bounds in the sweep's unit: the value prompt's for a factor
// (which takes any number), the registry's for the rest.
Span bounds(const ParamRow& row, const QString& unit) {
    const FactorRow* factor = FactorOfParam(row);
    const double low = factor != nullptr ? factor->promptLow : row.low;
    const double high = factor != nullptr ? factor->promptHigh : row.high;
    const auto given = [&](double base, double fallback) {
        return std::isfinite(base) ? FromBaseUnit(row, base, unit).value_or(fallback) : fallback;
    };
    return {given(low, -INFINITY), given(high, INFINITY)};
}

// Where the margin is 0 dB, for a factor (the engine's solver).
std::optional<double> zeroAt(const ParamRow& row, const Evaluation& current, const QString& unit) {
    const FactorRow* factor = FactorOfParam(row);
    if (factor == nullptr || !current.ok())
        return std::nullopt;
    const SolveAnswer answer =
        SolveDesign(*current.model, current.point, FactorIndexOf(factor->field), 0.0);
    return answer.solved ? FromBaseUnit(row, answer.value, unit) : std::nullopt;
}

Span sweepSpan(const ParamRow& row, double value, std::optional<double> zero, const QString& unit) {
    const Span limit = bounds(row, unit);
    if (zero && std::fabs(*zero - value) > kCrossingReach * std::max(1.0, std::fabs(value)))
        zero.reset();
    const double least = zero ? std::min(value, *zero) : value;
    const double most = zero ? std::max(value, *zero) : value;
    Span span{};
    if (FactorOfParam(row) == nullptr && std::isfinite(limit.low) && std::isfinite(limit.high)) {
        span = limit;
    } else if (std::isfinite(limit.low) && limit.low >= 0.0) {
        const double reach = kSpread * most;
        span = {limit.low, std::min(limit.high, reach > limit.low ? reach : limit.low + 1.0)};
    } else {
        span = {std::max(limit.low, least - kDecibelSpan),
                std::min(limit.high, most + kDecibelSpan)};
    }
    // Open bounds stay out: the sweep starts and ends a step inside them.
    const double step = (span.high - span.low) / kSweepPoints;
    if (row.lowOpen)
        span.low += step;
    if (row.highOpen)
        span.high -= step;
    return span;
}

} // namespace

std::vector<ParamId> SweepableParams(const DesignPoint& point) {
    std::vector<ParamId> params;
    for (const ParamRow& row : ParamTable) {
        if (FieldKindOf(row) == FieldKind::Number && ParamApplies(row, point))
            params.push_back(row.id);
    }
    return params;
}

MarginCurve SweepMargin(const Design& design, const Evaluation& current, ParamId param,
                        int points) {
    const ParamRow& row = ParamRowOf(param);
    const std::optional<ParamSetting>& setting = design.setting(param);
    const QString unit = setting ? QString::fromStdString(setting->unit) : QString();
    MarginCurve curve;
    curve.param = param;
    curve.caption = QString::fromUtf8(ParamCaption(row));
    curve.unit = unit.isEmpty() ? QString::fromUtf8(ParamUnitLabel(row)) : unit;
    const double value =
        setting ? setting->given : FromBaseUnit(row, current.point[param], unit).value_or(0.0);
    if (!current.ok()) // a design the model refuses has no margin to draw
        return curve;
    curve.hasCurrent = true;
    curve.currentX = value;
    curve.currentMargin = current.sheet.results.FadeMargin;
    const Span span = sweepSpan(row, value, zeroAt(row, current, unit), unit);
    // The input counts as set while it is swept: a feature it brings in applies.
    DesignPoint point = current.point;
    point.set.set(IndexOf(param));
    const BudgetModel model(point);
    const std::string given = unit.toStdString();
    const auto xAt = [&span, points](std::uint64_t i) {
        return span.low + (span.high - span.low) * static_cast<double>(i) / std::max(1, points - 1);
    };
    const auto grid = [&](std::uint64_t i) {
        return ToBaseUnit(row.family, row.defaultUnit, xAt(i), given);
    };
    ZeroCrossings crossings;
    const auto count = static_cast<std::uint64_t>(span.high > span.low ? std::max(points, 0) : 0);
    SweepDesign(model, point, param, count, grid, [&](const SweepSample& sample) {
        const double x = xAt(sample.index);
        const double margin = sample.results.FadeMargin;
        if (!std::isfinite(margin) || std::fabs(margin) >= kPlotLimitDb)
            return;
        crossings.add(x, margin);
        curve.x.push_back(x);
        curve.margin.push_back(margin);
    });
    curve.crossings = crossings.crossings();
    return curve;
}

std::optional<double> CurveMarginAt(const MarginCurve& curve, double x) {
    const auto after = std::lower_bound(curve.x.begin(), curve.x.end(), x);
    if (after == curve.x.end() || (after == curve.x.begin() && *after != x))
        return std::nullopt;
    const std::size_t i = static_cast<std::size_t>(after - curve.x.begin());
    if (i == 0 || *after == x)
        return curve.margin[i];
    const double t = (x - curve.x[i - 1]) / (curve.x[i] - curve.x[i - 1]);
    return curve.margin[i - 1] + t * (curve.margin[i] - curve.margin[i - 1]);
}

std::string CurveCsv(const MarginCurve& curve) {
    std::string csv = curve.caption.toStdString() + " (" + curve.unit.toStdString() + ")," +
                      ResultRowOf(&LinkResults::FadeMargin).caption + " (dB)\n";
    for (std::size_t i = 0; i < curve.x.size(); ++i) {
        csv += ShortestText(curve.x[i]) + ',' + ShortestText(curve.margin[i]) + '\n';
    }
    return csv;
}
