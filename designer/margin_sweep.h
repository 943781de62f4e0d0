#pragma once
// The fade margin against one numeric input of the design: the input swept
// through the budget model (every other parameter as it is), in the unit the
// input was given in, over the values the design's path and features accept
// around its value and the crossing of the margin asked.
#include "design_document.h"

#include <QString>

#include <vector>

// How a chart's x axis maps its values: evenly, or (for an availability A in
// percent) on a logarithmic axis of the unavailability 100 - A.
enum class AxisScale { Linear, Unavailability };

struct MarginCurve {
    ParamId param = ParamId::Range;
    QString caption; // "Range"
    QString unit;    // of x: "Miles", "km"
    std::vector<double> x;
    std::vector<double> margin;    // dB
    std::vector<double> crossings; // x where the margin is the margin asked
    AxisScale scale = AxisScale::Linear;
    double required = 0.0; // dB, the Required Fade Margin
    bool hasCurrent = false;
    double currentX = 0.0;
    double currentMargin = 0.0; // dB
};

constexpr int kSweepPoints = 200;

// The numeric inputs that apply to the design, in registry order.
std::vector<ParamId> SweepableParams(const DesignPoint& point);

MarginCurve SweepMargin(const Design& design, const Evaluation& current, ParamId param,
                        int points = kSweepPoints);

// The curve's points as CSV: a header naming x and its unit, then one line
// per point, numbers with a full stop.
std::string CurveCsv(const MarginCurve& curve);

// The margin at x, read off the curve between its points; none outside it.
std::optional<double> CurveMarginAt(const MarginCurve& curve, double x);
