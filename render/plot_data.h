#pragma once
// What the plot shows, gathered while the sweep runs: a thinned copy of the
// curves (a chart cannot draw ten million points usefully) and the 0 dB
// fade margin crossings found on every point.
#include "design_sweep.h"
#include "output_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class PlotFormat { Svg, Png };

// The plot file's formats by extension.
inline constexpr std::array<OutputFormat, 2> kPlotFormats{{
    {".svg", static_cast<int>(PlotFormat::Svg)},
    {".png", static_cast<int>(PlotFormat::Png)},
}};

struct PlotData {
    std::string title;
    std::string xTitle; // caption and unit of the swept factor
    std::string rxEbNoName;
    std::string fadeMarginName;
    std::string minEbNoName;
    std::vector<double> x;          // swept value
    std::vector<double> rxEbNo;     // dB
    std::vector<double> fadeMargin; // dB
    std::vector<double> minEbNo;    // dB
    std::vector<double> crossings;  // swept values where the fade margin is 0 dB
    std::vector<std::string> crossingLabels;
};

// Draws the plot into the bytes of a file of the format; false with a message.
using PlotRenderer = std::function<bool(const PlotData& data, PlotFormat format, std::string& bytes,
                                        std::string& error)>;

// Most points drawn per curve; longer sweeps keep every n-th point and the last.
constexpr std::uint64_t kMaxPlotPoints = 20'000;

// Results of this magnitude come from the calculation's failure sentinel
// (a factor of 0 under a logarithm), not from a link: they are left out of
// the curves so that the axes still show the real ones (dB).
constexpr double kPlotLimitDb = 1e6;

// The swept quantity: its caption and unit, and its values as text for
// people (a factor's as the window shows it).
struct PlotAxis {
    std::string caption; // "Range"
    std::string unit;    // "Miles"
    std::function<std::string(double)> valueText;
};

// A factor of the window as the axis: its caption, unit and value text.
PlotAxis FactorAxis(std::size_t factor);

class PlotSampler {
  public:
    PlotSampler(PlotAxis axis, std::uint64_t count, std::uint64_t maxPoints = kMaxPlotPoints);
    void add(const SweepSample& sample);
    // The curves, with the crossings and their labels.
    PlotData finish(const ZeroCrossings& crossings);

  private:
    const PlotAxis m_axis;
    std::uint64_t m_count;
    std::uint64_t m_stride;
    std::uint64_t m_index = 0;
    PlotData m_data;
};

// A tick spacing of 1, 2 or 5 times a power of ten that gives about
// `ticks` ticks over `span` (not finite, or 0, for a span that is not above 0).
double TickInterval(double span, double ticks = 6.0);

// "Fade margin 0 dB at 41.3 Miles": the value as the window shows it.
std::string CrossingLabel(const PlotAxis& axis, double x);
