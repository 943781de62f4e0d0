#include "report_data.h"

#include "link_display.h"
#include "number_text.h"
#include "render_fonts.h"
#include "text_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <initializer_list>

namespace {

constexpr std::uint64_t kChartPoints = 200;
constexpr double kChartReach = 2.0; // the chart runs to this many times the larger range
constexpr double kFreqSpread = 2.0; // Freq runs from its value over this to its value times this

std::string db(double value) {
    return FormatInWidth(12, 1, value);
}

std::string signedDb(double value) {
    return (value >= 0.0 ? "+" : "") + db(value);
}

void levelRow(std::vector<SheetRow>& sheet, double LinkResults::*field, const LinkResults& r) {
    const ResultRow& row = ResultRowOf(field);
    sheet.push_back({row.caption, "", db(r.*field), row.unit});
}

// The terms with the running levels: the signal's from the transmit power to
// Eb (dBm), the noise's from the noise density to No (dBm/Hz), then Eb/No,
// the requirement, the margin and the reliability.
std::vector<SheetRow> runningSheet(const std::vector<LinkTerm>& terms, const LinkResults& r) {
    std::vector<SheetRow> sheet;
    double level = 0.0;
    bool first = true;
    for (const LinkTerm& term : terms) {
        if (term.side != TermSide::Signal) {
            continue;
        }
        level = first ? term.db : level + term.db;
        first = false;
        sheet.push_back({term.caption, signedDb(term.db), db(level), "dBm"});
    }
    levelRow(sheet, &LinkResults::RxPbitEb, r);
    first = true;
    for (const LinkTerm& term : terms) {
        if (term.side != TermSide::Noise) {
            continue;
        }
        // The noise side is shown as the noise level rising: the opposite sign
        // of the term's share in the margin.
        level = first ? term.value : level - term.db;
        sheet.push_back({term.caption, first ? "" : signedDb(-term.db), db(level),
                         ResultRowOf(&LinkResults::NoiseTemp).unit});
        first = false;
    }
    levelRow(sheet, &LinkResults::NoisePbitNo, r);
    levelRow(sheet, &LinkResults::RxEbNo, r);
    level = r.RxEbNo;
    for (const LinkTerm& term : terms) {
        if (term.side == TermSide::Requirement) {
            level += term.db;
            sheet.push_back({term.caption, signedDb(term.db), db(level), "dB"});
        }
    }
    levelRow(sheet, &LinkResults::FadeMargin, r);
    const ResultRow& reliability = ResultRowOf(&LinkResults::Reliability);
    sheet.push_back(
        {reliability.caption, "", ResultShownText(reliability, r.Reliability), reliability.unit});
    return sheet;
}

std::string largestRangeText(const BudgetModel& model, const DesignPoint& point, bool metric,
                             double& largest) {
    const std::size_t range = FactorIndexOf(&LinkFactors::Range);
    const FactorRow& row = FactorTable[range];
    const SolveAnswer answer = SolveDesign(model, point, range, 0.0);
    largest = answer.solved ? answer.value : 0.0;
    if (!answer.solved) {
        return "No range gives a fade margin of 0 dB: " + answer.why;
    }
    return "Largest range with a fade margin of 0 dB: " + FactorShownText(row, answer.value) + " " +
           row.unit + (metric ? MetricNote(range, answer.value) : "");
}

// The margin against an input of the design over the kChartPoints points of
// `grid`; points the design's model refuses are left out. The input counts
// as set while it is swept (as in the design window's chart): a feature it
// brings in applies.
PlotData marginChart(const DesignPoint& design, ParamId param, const SweepGrid& grid) {
    DesignPoint point = design;
    point.set.set(IndexOf(param));
    const BudgetModel model(point);
    const ParamRow& row = ParamRowOf(param);
    const FactorRow* factor = FactorOfParam(row);
    PlotSampler sampler(factor != nullptr
                            ? FactorAxis(FactorIndexOf(factor->field))
                            : PlotAxis{ParamCaption(row), ParamUnitLabel(row),
                                       [&row](double x) { return ParamValueText(row, x); }},
                        kChartPoints);
    ZeroCrossings crossings;
    DesignPoint probe = point;
    std::string refused;
    SweepDesign(model, point, param, kChartPoints, grid, [&](const SweepSample& sample) {
        probe.values[IndexOf(param)] = sample.x;
        if (!model.check(probe, refused)) {
            crossings.add(sample.x, NAN); // no crossing across the gap
            return;
        }
        crossings.add(sample.x, sample.results.FadeMargin);
        sampler.add(sample);
    });
    PlotData chart = sampler.finish(crossings);
    chart.title = std::string("Fade margin against ") + ParamCaption(row);
    return chart;
}

// The margin against range, as --sweep Range --plot draws it: from one step
// to the reach, the last point the reach itself.
PlotData rangeChart(const DesignPoint& point, double largest) {
    const std::size_t range = FactorIndexOf(&LinkFactors::Range);
    double reach = kChartReach * std::max(point[ParamId::Range], largest);
    if (!(reach > 0.0 && std::isfinite(reach))) {
        reach = kChartReach * FactorTable[range].defaultValue;
    }
    const double step = reach / static_cast<double>(kChartPoints);
    PlotData chart =
        marginChart(point, ParamId::Range, [step, reach](std::uint64_t i) -> std::optional<double> {
            return i + 1 == kChartPoints ? reach : step + static_cast<double>(i) * step;
        });
    chart.title = "Fade margin against range";
    return chart;
}

PlotData axisChart(const DesignPoint& point, const ReportAxis& axis) {
    const double span = axis.high - axis.low;
    return marginChart(point, axis.param, [&axis, span](std::uint64_t i) -> std::optional<double> {
        return i + 1 == kChartPoints ? axis.high
                                     : axis.low + span * static_cast<double>(i) /
                                                      static_cast<double>(kChartPoints - 1);
    });
}

// The chart's axis when none is asked for: on an Earth-space path Range is
// the slant range the geometry gives, so the chart runs over the frequency.
std::optional<ReportAxis> defaultAxis(const DesignPoint& point) {
    if (!OnEarthSpacePath(point)) {
        return std::nullopt;
    }
    const double freq = point[ParamId::Freq];
    return ReportAxis{ParamId::Freq, freq / kFreqSpread, freq * kFreqSpread};
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = "";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    }
    return text;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A table row: the caption, the numbers right-aligned, the unit last.
std::string tableCells(std::initializer_list<std::string_view> cells, const char* tag = "td") {
    std::string row = "<tr>";
    std::size_t index = 0;
    for (const std::string_view cell : cells) {
        const bool number = index > 0 && index + 1 < cells.size();
        row += std::string("<") + tag + (number ? " class=\"n\">" : ">") + escaped(cell) + "</" +
               tag + ">";
        ++index;
    }
    return row + "</tr>\n";
}

std::string rowsTable(const std::vector<TextRow>& rows) {
    std::string html = "<table>\n";
    for (const TextRow& row : rows) {
        html += tableCells({row.caption, row.text, row.unit});
    }
    return html + "</table>\n";
}

} // namespace

ReportData BuildReportData(const SheetView& given, const BudgetModel& model,
                           const DesignPoint& point, const ReportSource& source) {
    // The report explains the budget whether the output did or not.
    const SheetView view = given.explanation ? given : ExplainedView(given, model, point);
    const BudgetSheet& sheet = view.sheet;
    ReportData data;
    data.title = "Quillstone link budget";
    data.designFile = source.designFile;
    data.date = today();
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const FactorRow& row = FactorTable[i];
        const double value = sheet.effective.*row.field;
        data.factors.push_back({row.caption, FactorShownText(row, value),
                                row.unit + (view.metric ? MetricNote(i, value) : "")});
    }
    // The sections of the design's outcome (the modulation) are tables beside
    // the factors; every line of the text output follows the budget.
    for (const SheetSection& section : view.sections) {
        if (section.followsSolve) {
            ReportTable table{section.title, {}};
            for (const SheetLine& line : section.lines) {
                table.rows.push_back({line.caption, line.text, line.unit});
            }
            data.tables.push_back(std::move(table));
        }
    }
    std::string text;
    {
        BufferedOutput out(StringSink(text));
        WriteSheetText(view, out);
    }
    data.details = splitLines(text);
    data.sheet = runningSheet(model.terms(point, sheet), sheet.results);
    data.verdict = Verdict(sheet.results.FadeMargin, point[ParamId::Margin]);
    double largest = 0.0;
    data.largestRange = largestRangeText(model, point, view.metric, largest);
    if (view.solved) {
        data.notes.push_back(SolvedNote(*view.solved, view.metric));
    }
    const std::optional<ReportAxis> axis = source.axis ? source.axis : defaultAxis(point);
    data.chart = axis ? axisChart(point, *axis) : rangeChart(point, largest);
    if (data.chart.x.empty()) {
        data.chartNote =
            "No chart: the model gives no fade margin over the " +
            std::string(ParamCaption(ParamRowOf(axis ? axis->param : ParamId::Range))) +
            " around the design's.";
    }
    if (sheet.terrain) {
        data.profile = BuildProfileDrawing(*sheet.terrain);
        data.profileCaption = ProfileCaption(*data.profile);
    }
    return data;
}

std::string ReportHtml(const ReportData& data, std::string_view chartSvg, double detailsPoints,
                       std::string_view profileSvg) {
    char detailsSize[32];
    std::snprintf(detailsSize, sizeof detailsSize, "%.2f", detailsPoints);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        escaped(data.title) + "</title>\n<style>\nbody { font-family: '" + kSansFamily +
        "', sans-serif; font-size: 10pt; }\n"
        "h1 { font-size: 16pt; margin-bottom: 0; }\nh2 { font-size: 11pt; }\n"
        "td, th { padding: 1px 6px; white-space: nowrap; }\n.n { text-align: right; }\n"
        ".verdict { font-size: 13pt; font-weight: bold; }\npre { "
        "font-family: '" +
        kMonoFamily + "', monospace; font-size: " + detailsSize +
        "pt; }\n</style>\n</head>\n<body>\n<h1>" + escaped(data.title) + "</h1>\n";
    if (!data.designFile.empty()) {
        html += "<p>Design file: " + escaped(data.designFile) + "</p>\n";
    }
    html += "<p>" + escaped(data.date) + "</p>\n<p class=\"verdict\">" + escaped(data.verdict) +
            "</p>\n<p>" + escaped(data.largestRange) + "</p>\n";
    for (const std::string& note : data.notes) {
        html += "<p>" + escaped(note) + "</p>\n";
    }
    html += "<table width=\"100%\">\n<tr><td valign=\"top\" width=\"42%\">\n<h2>Factors</h2>\n" +
            rowsTable(data.factors);
    for (const ReportTable& table : data.tables) {
        html += "<h2>" + escaped(table.title) + "</h2>\n" + rowsTable(table.rows);
    }
    html += "</td>\n<td valign=\"top\">\n<h2>Budget</h2>\n<table>\n" +
            tableCells({"Term", "dB", "Level", ""}, "th");
    for (const SheetRow& row : data.sheet) {
        html += tableCells({row.caption, row.term, row.level, row.unit});
    }
    html += "</table>\n</td></tr>\n</table>\n";
    html += "<h2>The budget in full</h2>\n<pre>";
    for (const std::string& line : data.details) {
        html += escaped(line) + "\n";
    }
    html += "</pre>\n";
    if (!data.chartNote.empty()) {
        html += "<p>" + escaped(data.chartNote) + "</p>\n";
    }
    if (!chartSvg.empty()) {
        html += chartSvg;
        html += "\n";
    }
    if (!profileSvg.empty()) {
        html += "<div class=\"figure\">\n";
        html += profileSvg;
        html += "\n<p class=\"caption\"><i>" + escaped(data.profileCaption) + "</i></p>\n</div>\n";
    }
    return html + "</body>\n</html>\n";
}
