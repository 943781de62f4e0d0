#pragma once
// The report: the budget sheet an engineer can hand on, as PDF or as one
// self-contained HTML file. This part gathers its content from the budget
// sheet and writes the HTML; report_render.h lays it out with Qt.
#include "output_file.h"
#include "plot_data.h"
#include "profile_drawing.h"
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
    std::string designFile;           // the design file's name; "" when none
    std::string date;                 // YYYY-MM-DD
    std::vector<TextRow> factors;     // the fourteen, with units
    std::vector<ReportTable> tables;  // beside the factors: the modulation
    std::vector<SheetRow> sheet;      // Tx power ... Eb, No, Eb/No, margin, reliability
    std::string verdict;              // "The link closes with 21.9 dB fade margin"
    std::string largestRange;         // with a fade margin of 0 dB
    std::vector<std::string> notes;   // the solve
    std::vector<std::string> details; // every line of the text output, with --explain's
    PlotData chart;                   // fade margin against the chart's axis
    std::string chartNote;            // why there is no chart, when there is none
    // A terrestrial hop over a terrain profile: its drawing at the median k,
    // and the caption under it (the k, the critical point and its clearance).
    std::optional<ProfileDrawing> profile;
    std::string profileCaption;
};

// The chart's axis: a numeric input of the design and the span it runs over
// (the input's base unit).
struct ReportAxis {
    ParamId param;
    double low;
    double high;
};

// Where a report's design came from and what its chart shows.
struct ReportSource {
    std::string designFile; // as the user named it; "" when the design came from no file
    // None: Range on a terrestrial path (to twice the larger of the range and
    // the largest range), Freq on an Earth-space path (where Range is the
    // slant range, not an input), from half to twice its value.
    std::optional<ReportAxis> axis;
};

// The report of a design: the sheet's factors, terms and sections, every
// line of the text output with the explanation, the largest range at 0 dB
// and the fade margin against the axis, both worked out with the design's
// model.
ReportData BuildReportData(const SheetView& view, const BudgetModel& model,
                           const DesignPoint& point, const ReportSource& source = {});

inline constexpr double kDetailsPoints = 7.0; // the text output's lines

// The report as HTML; `chartSvg` and `profileSvg` (the terrain profile's
// drawing, with its caption under it), when not empty, are placed inline,
// and the text output's lines are set at `detailsPoints`.
std::string ReportHtml(const ReportData& data, std::string_view chartSvg,
                       double detailsPoints = kDetailsPoints, std::string_view profileSvg = {});

// Lays the report out into bytes of the format; false with a message.
using ReportRenderer = std::function<bool(const ReportData& data, ReportFormat format,
                                          std::string& bytes, std::string& error)>;
