#include "calc_report.h"

#include "calc_options.h"
#include "calc_units.h"
#include "files.h"
#include "link_calculation.h"
#include "number_text.h"
#include "plot_target.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

std::string cannotWrite(const std::string& path, const std::string& why) {
    return "cannot write report file '" + path + "': " + why;
}

const FactorRow& factorRow(double LinkFactors::*field) {
    return *std::find_if(FactorTable.begin(), FactorTable.end(),
                         [field](const FactorRow& row) { return row.field == field; });
}

const ResultRow& resultRow(double LinkResults::*field) {
    return *std::find_if(ResultTable.begin(), ResultTable.end(),
                         [field](const ResultRow& row) { return row.field == field; });
}

std::string db(double value) {
    return FormatFixed(12, 1, value);
}

std::string signedDb(double value) {
    return (value >= 0.0 ? "+" : "") + db(value);
}

// Tx power through the path to Eb, then No, Eb/No, the margin and the
// reliability: each term with the running level after it.
std::vector<SheetRow> runningSheet(const LinkFactors& f, const LinkResults& r) {
    std::vector<SheetRow> sheet;
    double level = r.TxPowerdb; // dBm
    sheet.push_back(
        {factorRow(&LinkFactors::TxPower).caption, signedDb(r.TxPowerdb), db(level), "dBm"});
    const std::pair<std::string, double> path[] = {
        {factorRow(&LinkFactors::TxFeedLoss).caption, -f.TxFeedLoss},
        {factorRow(&LinkFactors::TxAntGain).caption, f.TxAntGain},
        {resultRow(&LinkResults::FreeSpaceAtten).caption, r.FreeSpaceAtten},
        {factorRow(&LinkFactors::Weather).caption, -f.Weather},
        {factorRow(&LinkFactors::Polarization).caption, -f.Polarization},
        {factorRow(&LinkFactors::RxAntGain).caption, f.RxAntGain},
        {factorRow(&LinkFactors::RxFeedLoss).caption, -f.RxFeedLoss},
        {factorRow(&LinkFactors::BitRate).caption, -r.BitRatedb},
    };
    for (const auto& [caption, term] : path) {
        level += term;
        sheet.push_back({caption, signedDb(term), db(level), "dBm"});
    }
    const ResultRow& eb = resultRow(&LinkResults::RxPbitEb);
    sheet.push_back({eb.caption, "", db(r.RxPbitEb), eb.unit});
    const ResultRow& noise = resultRow(&LinkResults::NoiseTemp);
    sheet.push_back({noise.caption, "", db(r.NoiseTemp), noise.unit});
    sheet.push_back({"Noise figure (LNA and receiver)", signedDb(r.NoisePbitNo - r.NoiseTemp),
                     db(r.NoisePbitNo), noise.unit});
    const ResultRow& no = resultRow(&LinkResults::NoisePbitNo);
    sheet.push_back({no.caption, "", db(r.NoisePbitNo), no.unit});
    const ResultRow& ebNo = resultRow(&LinkResults::RxEbNo);
    sheet.push_back({ebNo.caption, "", db(r.RxEbNo), ebNo.unit});
    sheet.push_back({factorRow(&LinkFactors::MinEbNoDesired).caption, signedDb(-f.MinEbNoDesired),
                     db(r.RxEbNo - f.MinEbNoDesired), "dB"});
    const ResultRow& margin = resultRow(&LinkResults::FadeMargin);
    sheet.push_back({margin.caption, "", db(r.FadeMargin), margin.unit});
    const ResultRow& reliability = resultRow(&LinkResults::Reliability);
    sheet.push_back(
        {reliability.caption, "", ResultText(reliability, r.Reliability), reliability.unit});
    return sheet;
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

std::optional<ReportFormat> ReportFormatOf(const std::string& path) {
    if (EndsWithNoCase(path, ".pdf")) {
        return ReportFormat::Pdf;
    }
    if (EndsWithNoCase(path, ".html")) {
        return ReportFormat::Html;
    }
    return std::nullopt;
}

bool CheckReportOptions(const CalcOptions& options, std::string& error) {
    if (options.reportPath && options.sweep) {
        error = "--report cannot be combined with --sweep (the report draws its own range sweep)";
        return false;
    }
    return true;
}

bool ReportTarget::prepare(const std::string& path, std::string& error) {
    const std::optional<ReportFormat> format = ReportFormatOf(path);
    if (!format) {
        error = cannotWrite(path, "the name must end in .pdf or .html");
        return false;
    }
    std::string why;
    const std::string probe = MakeScratchBeside(path, "report", why);
    if (probe.empty()) {
        error = cannotWrite(path, why);
        return false;
    }
    std::remove(probe.c_str());
    m_path = path;
    m_format = *format;
    return true;
}

bool ReportTarget::write(std::string_view bytes, std::string& error) {
    int code = 0;
    if (!ReplaceFileContents(m_path, bytes, &code)) {
        error = cannotWrite(m_path, std::strerror(code));
        return false;
    }
    return true;
}

std::string Verdict(double fadeMargin) {
    if (fadeMargin >= 0.0) {
        return "The link closes with " + db(fadeMargin) + " dB fade margin";
    }
    return "The link falls " + db(-fadeMargin) + " dB short";
}

ReportData BuildReportData(ReportInput input) {
    ReportData data;
    data.title = "Quillstone link budget";
    data.date = today();
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const FactorRow& row = FactorTable[i];
        const double value = input.factors.*row.field;
        data.factors.push_back({row.caption, FactorValueText(row, value),
                                row.unit + (input.metric ? MetricNote(i, value) : "")});
    }
    data.sheet = runningSheet(input.factors, input.results);
    data.verdict = Verdict(input.results.FadeMargin);
    data.largestRange = std::move(input.largestRange);
    data.notes = std::move(input.notes);
    data.propagation = std::move(input.propagation);
    data.modulation = std::move(input.modulation);
    data.chart = std::move(input.chart);
    return data;
}

std::string ReportHtml(const ReportData& data, std::string_view chartSvg) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        escaped(data.title) +
        "</title>\n<style>\nbody { font-family: sans-serif; font-size: 10pt; }\n"
        "h1 { font-size: 16pt; margin-bottom: 0; }\nh2 { font-size: 11pt; }\n"
        "td, th { padding: 1px 6px; white-space: nowrap; }\n.n { text-align: right; }\n"
        ".verdict { font-size: 13pt; font-weight: bold; }\npre { font-size: 7pt; "
        "}\n</style>\n</head>\n<body>\n<h1>" +
        escaped(data.title) + "</h1>\n<p>" + escaped(data.date) + "</p>\n<p class=\"verdict\">" +
        escaped(data.verdict) + "</p>\n<p>" + escaped(data.largestRange) + "</p>\n";
    for (const std::string& note : data.notes) {
        html += "<p>" + escaped(note) + "</p>\n";
    }
    html += "<table width=\"100%\">\n<tr><td valign=\"top\" width=\"42%\">\n<h2>Factors</h2>\n" +
            rowsTable(data.factors);
    if (!data.modulation.empty()) {
        html += "<h2>Modulation</h2>\n" + rowsTable(data.modulation);
    }
    html += "</td>\n<td valign=\"top\">\n<h2>Budget</h2>\n<table>\n" +
            tableCells({"Term", "dB", "Level", ""}, "th");
    for (const SheetRow& row : data.sheet) {
        html += tableCells({row.caption, row.term, row.level, row.unit});
    }
    html += "</table>\n</td></tr>\n</table>\n";
    if (!data.propagation.empty()) {
        html += "<h2>Propagation</h2>\n<pre>";
        for (const std::string& line : data.propagation) {
            html += escaped(line) + "\n";
        }
        html += "</pre>\n";
    }
    if (!chartSvg.empty()) {
        html += chartSvg;
        html += "\n";
    }
    return html + "</body>\n</html>\n";
}
