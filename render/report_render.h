#pragma once
// Lays a report out with Qt Gui: PDF through QPdfWriter (A4 pages broken
// between lines, the chart drawn as vectors below the text), HTML with the
// chart as inline SVG. Needs a QGuiApplication.
#include "report_data.h"

#include <string>

bool RenderReport(const ReportData& data, ReportFormat format, std::string& bytes,
                  std::string& error);

// The chart as an SVG document's <svg> element, without the XML prologue.
std::string ChartSvg(const PlotData& chart);
