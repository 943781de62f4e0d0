#pragma once
// The report: the budget sheet an engineer can hand on, as PDF or as one
// self-contained HTML file. This part gathers its content from the budget
// sheet and writes the HTML; report_render.h lays it out with Qt.
#include "output_file.h"
#include "plot_data.h"
#include "sheet_render.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ReportFormat { Pdf, Html };

// The report file's formats by extension.
inline constexpr std::array<OutputFormat, 2> kReportFormats{{
    {".pdf", static_cast<int>(ReportFormat::Pdf)},
    {".html", static_cast<int>(ReportFormat::Html)},
}};

// One row of a table: caption, value text, unit.
struct TextRow {
    std::string caption;
    std::string text;
    std::string unit;
};

// One line of the running sheet: a term and the level after it.
struct SheetRow {
    std::string caption;
    std::string term;  // signed dB text, empty for a level-only line
    std::string level; // the running level's text
    std::string unit;  // of the level
};

struct ReportTable {
    std::string title;
    std::vector<TextRow> rows;
};

struct ReportData {
    std::string title;
    std::string date;                     // YYYY-MM-DD
    std::vector<TextRow> factors;         // the fourteen, with units
    std::vector<ReportTable> tables;      // beside the factors: the modulation
    std::vector<SheetRow> sheet;          // Tx power ... Eb, No, Eb/No, margin, reliability
    std::string verdict;                  // "The link closes with 21.9 dB fade margin"
    std::string largestRange;             // with a fade margin of 0 dB
    std::vector<std::string> notes;       // the solve
    std::vector<std::string> propagation; // lines as the text output has them
    PlotData chart;                       // fade margin against range
};

// The report of a design: the sheet's factors, terms and sections, the
// largest range at 0 dB and the fade margin against range, both worked out
// with the design's model.
ReportData BuildReportData(const SheetView& view, const BudgetModel& model,
                           const DesignPoint& point);

// The report as HTML; `chartSvg`, when not empty, is placed inline.
std::string ReportHtml(const ReportData& data, std::string_view chartSvg);

// Lays the report out into bytes of the format; false with a message.
using ReportRenderer = std::function<bool(const ReportData& data, ReportFormat format,
                                          std::string& bytes, std::string& error)>;
