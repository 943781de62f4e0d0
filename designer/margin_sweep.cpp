#include "margin_sweep.h"

#include "design_fields.h"
#include "design_rules.h"
#include "design_solve.h"
#include "design_sweep.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPlotLimitDb = 1e6;     // margins this large come from a failure sentinel
constexpr double kSpread = 2.0;          // a positive input sweeps to this many times its value
constexpr double kDecibelSpan = 20.0;    // an additive input sweeps this far either side
constexpr double kCrossingReach = 100.0; // a crossing further off than this is left out
constexpr double kPercentOfYear = 100.0;
constexpr double kWholeDomain = 10.0; // a domain this many times the span around the value is cut

struct Span {
    double low;
    double high;
};

// The input's domain in the sweep's unit: the registry's bounds on the
// design's path.
Span domain(const ParamRow& row, const DesignPoint& point, const QString& unit) {
    const ParamBounds onPath = BoundsOnPath(row, point[ParamId::Path]);
    const auto given = [&](double base, double fallback) {
        return std::isfinite(base) ? FromBaseUnit(row, base, unit).value_or(fallback) : fallback;
    };
    return {given(onPath.low, -INFINITY), given(onPath.high, INFINITY)};
}

// The span a chart may show: the domain; for a factor the value prompt's
// bounds within it (a range of 0.1 to 10000 miles), widened to hold the
// design's value in their middle when it lies beyond them.
Span bounds(const ParamRow& row, const Span& domain, double value, const QString& unit) {
    const FactorRow* factor = FactorOfParam(row);
    if (factor == nullptr)
        return domain;
    const auto given = [&](double base, double fallback) {
        return std::isfinite(base) ? FromBaseUnit(row, base, unit).value_or(fallback) : fallback;
    };
    Span limit{std::max(domain.low, given(factor->promptLow, -INFINITY)),
               std::min(domain.high, given(factor->promptHigh, INFINITY))};
    if (value > limit.high)
        limit.high = value + (value - std::max(limit.low, 0.0));
    // Below a positive prompt bound (a range, a frequency) down to half the
    // value, else as far below as the bounds reach above.
    if (value < limit.low)
        limit.low = limit.low > 0.0 && value > 0.0 ? value / kSpread : value - (limit.high - value);
    return {std::max(limit.low, domain.low), std::min(limit.high, domain.high)};
}

// Where the margin is the margin asked, for a factor (the engine's solver).
std::optional<double> crossingAt(const ParamRow& row, const Evaluation& current,
                                 const QString& unit, double required) {
    const FactorRow* factor = FactorOfParam(row);
    if (factor == nullptr || !current.ok())
        return std::nullopt;
    const SolveAnswer answer =
        SolveDesign(*current.model, current.point, FactorIndexOf(factor->field), required);
    return answer.solved ? FromBaseUnit(row, answer.value, unit) : std::nullopt;
}

// Around the value and the crossing: from a lower bound at 0 or above to
// kSpread times the larger, else kDecibelSpan either side; the whole of a
// bounded domain (an elevation, an availability) when it is not much wider.
Span sweepSpan(const Span& limit, const ParamRow& row, double value, std::optional<double> zero) {
    if (zero && std::fabs(*zero - value) > kCrossingReach * std::max(1.0, std::fabs(value)))
        zero.reset();
    const double least = zero ? std::min(value, *zero) : value;
    const double most = zero ? std::max(value, *zero) : value;
    Span span{};
    if (std::isfinite(limit.low) && limit.low >= 0.0) {
        const double reach = kSpread * most;
        span = {limit.low, std::min(limit.high, reach > limit.low ? reach : limit.low + 1.0)};
    } else {
        span = {std::max(limit.low, least - kDecibelSpan),
                std::min(limit.high, most + kDecibelSpan)};
    }
    const double whole = limit.high - limit.low;
    if (FactorOfParam(row) == nullptr && std::isfinite(whole) &&
        whole <= kWholeDomain * (span.high - span.low))
        span = limit;
    // The design's own point is always on the chart.
    return {std::min(span.low, value), std::max(span.high, value)};
}

// The part of the span the design accepts (CheckDesign: the domain on its
// path, the rules, and the features' own limits such as 1 to 350 GHz for the
// atmosphere): from the design's value, which it accepts, each end is found
// by halving the distance to the first refused value.
Span acceptedSpan(const Design& design, DesignPoint point, const ParamRow& row, const QString& unit,
                  double value, Span span) {
    constexpr int kHalvings = 48;
    const ParamNamer caption = [](ParamId id) { return ParamCaption(ParamRowOf(id)); };
    const auto accepted = [&](double x) {
        const std::optional<double> base =
            ToBaseUnit(row.family, row.defaultUnit, x, unit.toStdString());
        if (!base)
            return false;
        point.values[IndexOf(row.id)] = *base;
        return !CheckDesign(design, point, caption).has_value();
    };
    if (!accepted(value)) // nothing known to halve towards
        return span;
    const auto edge = [&](double end) {
        if (accepted(end))
            return end;
        double inside = value;
        double refused = end;
        for (int i = 0; i < kHalvings; ++i) {
            const double middle = (inside + refused) / 2.0;
            (accepted(middle) ? inside : refused) = middle;
        }
        return inside;
    };
    return {edge(span.low), edge(span.high)};
}

// The sweep's i-th of n values: even steps, or even steps of the logarithm of
// the unavailability (100 - x) from its largest to its smallest.
double sweepAt(const Span& span, AxisScale scale, int i, int n) {
    const double t = double(i) / std::max(1, n - 1);
    if (scale == AxisScale::Linear)
        return span.low + (span.high - span.low) * t;
    const double most = std::log10(kPercentOfYear - span.low);
    const double least = std::log10(kPercentOfYear - span.high);
    return kPercentOfYear - std::pow(10.0, most + (least - most) * t);
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
    MarginCurve curve;
    curve.param = param;
    // Availability is drawn on a logarithmic axis of unavailability, in percent.
    curve.scale = param == ParamId::Availability ? AxisScale::Unavailability : AxisScale::Linear;
    const QString unit = setting && curve.scale == AxisScale::Linear
                             ? QString::fromStdString(setting->unit)
                             : QString();
    curve.caption = QString::fromUtf8(ParamCaption(row));
    curve.unit = unit.isEmpty() ? QString::fromUtf8(ParamUnitLabel(row)) : unit;
    curve.required = current.point[ParamId::Margin];
    const double value = setting && curve.scale == AxisScale::Linear
                             ? setting->given
                             : FromBaseUnit(row, current.point[param], unit).value_or(0.0);
    if (!current.ok()) // a design the model refuses has no margin to draw
        return curve;
    curve.hasCurrent = true;
    curve.currentX = value;
    curve.currentMargin = current.sheet.results.FadeMargin;
    // The input counts as set while it is swept: a feature it brings in applies.
    DesignPoint point = current.point;
    point.set.set(IndexOf(param));
    const BudgetModel model(point);
    const Span values = domain(row, current.point, unit);
    const Span limit = bounds(row, values, value, unit);
    Span span =
        acceptedSpan(design, point, row, unit, value,
                     sweepSpan(limit, row, value, crossingAt(row, current, unit, curve.required)));
    // Open bounds stay out: the sweep starts and ends a step inside them.
    const double step = (span.high - span.low) / kSweepPoints;
    if (row.lowOpen && span.low - values.low < step)
        span.low = std::min(values.low + step, value);
    if (row.highOpen && values.high - span.high < step)
        span.high = std::max(values.high - step, value);
    const std::string given = unit.toStdString();
    const auto xAt = [&span, &curve, points](std::uint64_t i) {
        return sweepAt(span, curve.scale, static_cast<int>(i), points);
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
        crossings.add(x, margin - curve.required);
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
