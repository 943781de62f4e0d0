#pragma once
// Draws a sweep's plot into a file with Qt Charts. Needs a QApplication.
#include "plot_data.h"
#include "plot_target.h"

#include <string>

constexpr int kPlotWidth = 1000; // pixels (PNG) or SVG user units
constexpr int kPlotHeight = 640;

// Writes the plot to `file` in `format`. False with a one-line message when
// the file could not be written.
bool RenderSweepPlot(const PlotData& data, const std::string& file, PlotFormat format,
                     std::string& error);

class QPainter;
class QRectF;

// Draws the same plot into `target` on a painter (a report's page); the plot
// is scaled from kPlotWidth x kPlotHeight.
void PaintSweepPlot(const PlotData& data, QPainter& painter, const QRectF& target);
