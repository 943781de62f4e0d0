#pragma once
// Draws a sweep's plot with QPainter: into the bytes of an SVG or PNG file,
// or onto a painter (a report's page). Needs a QGuiApplication; no widgets.
#include "plot_data.h"

#include <functional>
#include <string>

constexpr int kPlotWidth = 1000; // pixels (PNG) or SVG user units
constexpr int kPlotHeight = 640;

// The plot as the bytes of a file in `format`. False with a one-line message
// when it could not be drawn.
bool RenderSweepPlot(const PlotData& data, PlotFormat format, std::string& bytes,
                     std::string& error);

class QPainter;
class QRectF;

// Draws the same plot into `target` on a painter; the plot is scaled from
// kPlotWidth x kPlotHeight.
void PaintSweepPlot(const PlotData& data, QPainter& painter, const QRectF& target);

// The one SVG writer: a drawing of width x height user units as an SVG
// document ("" when it could not be drawn).
std::string PaintSvg(const std::string& title, const std::function<void(QPainter&)>& paint,
                     int width = kPlotWidth, int height = kPlotHeight);
