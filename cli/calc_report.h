#pragma once
// --report FILE: a one-page budget sheet an engineer can hand on, as PDF or
// as one self-contained HTML file. This part gathers its content and checks
// and writes the file; calc_report_render.h lays it out with Qt.
#include "calc_modulation.h"
#include "plot_data.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CalcOptions;

enum class ReportFormat { Pdf, Html };

// The format named by the file's extension (letter case ignored).
std::optional<ReportFormat> ReportFormatOf(const std::string& path);

// --report goes without --sweep.
bool CheckReportOptions(const CalcOptions& options, std::string& error);

// The report file: the same checks as the plot's before anything is computed
// (the extension, not a directory, a file can be created beside it), then
// written in one step that leaves an older file whole on failure.
class ReportTarget {
  public:
    bool prepare(const std::string& path, std::string& error);
    bool write(std::string_view bytes, std::string& error);
    ReportFormat format() const { return m_format; }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
    ReportFormat m_format = ReportFormat::Pdf;
};

// One line of the running sheet: a term and the level after it.
struct SheetRow {
    std::string caption;
    std::string term;  // signed dB text, empty for a level-only line
    std::string level; // the running level's text
    std::string unit;  // of the level
};

struct ReportData {
    std::string title;
    std::string date;                     // YYYY-MM-DD
    std::vector<TextRow> factors;         // the fourteen, with units
    std::vector<SheetRow> sheet;          // Tx power ... Eb, No, Eb/No, margin, reliability
    std::string verdict;                  // "The link closes with 21.9 dB fade margin"
    std::string largestRange;             // with a fade margin of 0 dB
    std::vector<std::string> notes;       // the solve
    std::vector<std::string> propagation; // lines as the text output has them
    std::vector<TextRow> modulation;
    PlotData chart; // fade margin against range
};

// The factors and results of the budget (after every option is applied), the
// user's factors (for the largest range search) and the solved line, if any.
struct ReportInput {
    const LinkFactors& factors;
    const LinkResults& results;
    std::vector<std::string> notes;
    std::vector<std::string> propagation;
    std::vector<TextRow> modulation;
    std::string largestRange;
    bool metric;
    PlotData chart;
};

ReportData BuildReportData(ReportInput input);

// "The link closes with 21.9 dB fade margin" / "The link falls 3.2 dB short".
std::string Verdict(double fadeMargin);

// The report as HTML; `chartSvg`, when not empty, is placed inline.
std::string ReportHtml(const ReportData& data, std::string_view chartSvg);

// Lays the report out into bytes of the format; false with a message.
using ReportRenderer = std::function<bool(const ReportData& data, ReportFormat format,
                                          std::string& bytes, std::string& error)>;
