#include "plot_data.h"

#include "link_calculation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool plottable(double value) {
    return std::isfinite(value) && std::fabs(value) < kPlotLimitDb;
}

} // namespace

PlotAxis FactorAxis(std::size_t factor) {
    const FactorRow& row = FactorTable[factor];
    return {row.caption, row.unit, [&row](double x) { return FactorShownText(row, x); }};
}

PlotSampler::PlotSampler(PlotAxis axis, std::uint64_t count, std::uint64_t maxPoints)
    : m_axis(std::move(axis)), m_count(count) {
    const std::uint64_t limit = maxPoints < 2 ? 2 : maxPoints;
    // One slot is kept for the last point.
    m_stride = count <= limit ? 1 : (count + limit - 2) / (limit - 1);
    m_data.title = "Link budget against " + m_axis.caption;
    m_data.xTitle = m_axis.caption + " (" + m_axis.unit + ")";
    m_data.rxEbNoName = ResultRowOf(&LinkResults::RxEbNo).caption;
    m_data.fadeMarginName = ResultRowOf(&LinkResults::FadeMargin).caption;
    m_data.minEbNoName = FactorRowOf(&LinkFactors::MinEbNoDesired).caption;
    const std::uint64_t kept = std::min(count, limit);
    m_data.x.reserve(kept);
    m_data.rxEbNo.reserve(kept);
    m_data.fadeMargin.reserve(kept);
    m_data.minEbNo.reserve(kept);
}

void PlotSampler::add(const SweepSample& sample) {
    const std::uint64_t index = m_index++;
    if (index % m_stride != 0 && index + 1 != m_count) {
        return;
    }
    const LinkResults& r = sample.results;
    if (!std::isfinite(sample.x) || !plottable(r.RxEbNo) || !plottable(r.FadeMargin) ||
        !plottable(sample.minEbNo)) {
        return;
    }
    m_data.x.push_back(sample.x);
    m_data.rxEbNo.push_back(r.RxEbNo);
    m_data.fadeMargin.push_back(r.FadeMargin);
    m_data.minEbNo.push_back(sample.minEbNo);
}

PlotData PlotSampler::finish(const ZeroCrossings& crossings) {
    for (const double x : crossings.crossings()) {
        if (plottable(x)) {
            m_data.crossings.push_back(x);
            m_data.crossingLabels.push_back(CrossingLabel(m_axis, x));
        }
    }
    return std::move(m_data);
}

std::string CrossingLabel(const PlotAxis& axis, double x) {
    return "Fade margin 0 dB at " + axis.valueText(x) + " " + axis.unit;
}

double TickInterval(double span, double ticks) {
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double step : {1.0, 2.0, 5.0}) {
        if (step * power >= raw) {
            return step * power;
        }
    }
    return 10.0 * power;
}
