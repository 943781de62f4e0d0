#include "availability_curve.h"

namespace {

constexpr double kPercent = 100.0;

} // namespace

AvailabilityCurve EvaluateAvailabilityCurve(const BudgetModel& model, const DesignPoint& point) {
    AvailabilityCurve curve;
    DesignPoint at = point;
    BudgetSheet sheet;
    bool adaptive = false;
    for (const double percent : kAvailabilityPercents) {
        at.values[IndexOf(ParamId::Availability)] = kPercent - percent;
        model.evaluate(at, sheet);
        AvailabilityPoint row{percent, sheet.atmosphere ? sheet.atmosphere->lossDb : 0.0,
                              sheet.results.FadeMargin};
        if (sheet.waveform && sheet.waveform->automatic) {
            adaptive = true;
            row.modcod = sheet.waveform->modcod;
            row.throughputBps = sheet.waveform->closes ? sheet.waveform->bitRate : 0.0;
        }
        curve.points.push_back(row);
    }
    if (adaptive) {
        double mean = 0.0;
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            const double next =
                i + 1 < curve.points.size() ? curve.points[i + 1].percent : kPercent;
            mean += curve.points[i].throughputBps * (next - curve.points[i].percent) / kPercent;
        }
        curve.meanThroughputBps = mean;
    }
    return curve;
}
