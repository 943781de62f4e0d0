#pragma once
// Lays a report out with Qt: PDF through QPdfWriter (one A4 page, the chart
// drawn as vectors below the tables), HTML with the chart as inline SVG.
// Needs a QApplication.
#include "report_data.h"

#include <string>

bool RenderReport(const ReportData& data, ReportFormat format, std::string& bytes,
                  std::string& error);

// The chart as an SVG document's <svg> element, without the XML prologue.
std::string ChartSvg(const PlotData& chart);
