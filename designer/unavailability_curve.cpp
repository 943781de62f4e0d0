#include "unavailability_curve.h"

#include "availability_curve.h"
#include "design_sweep.h"

#include <algorithm>

namespace {

constexpr double kPercentOfYear = 100.0;

} // namespace

UnavailabilityView UnavailabilityCurve(const Evaluation& current) {
    UnavailabilityView view;
    MarginCurve& curve = view.curve;
    curve.param = ParamId::Availability;
    curve.caption = QString::fromUtf8(ParamCaption(ParamRowOf(ParamId::Availability)));
    curve.unit = QString::fromUtf8(ParamUnitLabel(ParamRowOf(ParamId::Availability)));
    curve.scale = AxisScale::Unavailability;
    curve.required = current.point[ParamId::Margin];
    if (!current.ok()) {
        view.why = QString::fromStdString(current.error);
        return view;
    }
    if (!OnEarthSpacePath(current.point)) {
        view.why = QStringLiteral("The fade margin over the year is worked out for an Earth-space "
                                  "path (ITU-R P.618-13): set Path to earth-space");
        return view;
    }
    const AvailabilityCurve year = EvaluateAvailabilityCurve(*current.model, current.point);
    // Availability rising: the percentages of the year falling.
    std::vector<AvailabilityPoint> points = year.points;
    std::sort(points.begin(), points.end(),
              [](const AvailabilityPoint& a, const AvailabilityPoint& b) {
                  return a.percent > b.percent;
              });
    ZeroCrossings crossings;
    for (const AvailabilityPoint& point : points) {
        const double availability = kPercentOfYear - point.percent;
        crossings.add(availability, point.fadeMarginDb - curve.required);
        curve.x.push_back(availability);
        curve.margin.push_back(point.fadeMarginDb);
    }
    curve.crossings = crossings.crossings();
    const double designed = current.point[ParamId::Availability];
    if (!curve.x.empty() && designed >= curve.x.front() && designed <= curve.x.back()) {
        curve.hasCurrent = true;
        curve.currentX = designed;
        curve.currentMargin = current.sheet.results.FadeMargin;
    }
    if (curve.x.empty())
        view.why = QStringLiteral("No fade margin over the year to draw");
    return view;
}
