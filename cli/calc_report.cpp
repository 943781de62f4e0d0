#include "calc_report.h"

#include "calc_options.h"
#include "calc_units.h"
#include "files.h"
#include "link_calculation.h"
#include "number_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {

std::string CannotWrite(const std::string& path, const std::string& why) {
    return "cannot write report file '" + path + "': " + why;
}

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

const FactorRow& Factor(double LinkFactors::*field) {
    return *std::find_if(FactorTable.begin(), FactorTable.end(),
                         [field](const FactorRow& row) { return row.field == field; });
}

const ResultRow& Result(double LinkResults::*field) {
    return *std::find_if(ResultTable.begin(), ResultTable.end(),
                         [field](const ResultRow& row) { return row.field == field; });
}

std::string Db(double value) {
    return FormatFixed(12, 1, value);
}

std::string Signed(double value) {
    return (value >= 0.0 ? "+" : "") + Db(value);
}

// Tx power through the path to Eb, then No, Eb/No, the margin and the
// reliability: each term with the running level after it.
std::vector<SheetRow> RunningSheet(const LinkFactors& f, const LinkResults& r) {
    std::vector<SheetRow> sheet;
    double level = r.TxPowerdb; // dBm
    sheet.push_back({Factor(&LinkFactors::TxPower).caption, Signed(r.TxPowerdb), Db(level), "dBm"});
    const std::pair<std::string, double> path[] = {
        {Factor(&LinkFactors::TxFeedLoss).caption, -f.TxFeedLoss},
        {Factor(&LinkFactors::TxAntGain).caption, f.TxAntGain},
        {Result(&LinkResults::FreeSpaceAtten).caption, r.FreeSpaceAtten},
        {Factor(&LinkFactors::Weather).caption, -f.Weather},
        {Factor(&LinkFactors::Polarization).caption, -f.Polarization},
        {Factor(&LinkFactors::RxAntGain).caption, f.RxAntGain},
        {Factor(&LinkFactors::RxFeedLoss).caption, -f.RxFeedLoss},
        {Factor(&LinkFactors::BitRate).caption, -r.BitRatedb},
    };
    for (const auto& [caption, term] : path) {
        level += term;
        sheet.push_back({caption, Signed(term), Db(level), "dBm"});
    }
    const ResultRow& eb = Result(&LinkResults::RxPbitEb);
    sheet.push_back({eb.caption, "", Db(r.RxPbitEb), eb.unit});
    const ResultRow& noise = Result(&LinkResults::NoiseTemp);
    sheet.push_back({noise.caption, "", Db(r.NoiseTemp), noise.unit});
    sheet.push_back({"Noise figure (LNA and receiver)", Signed(r.NoisePbitNo - r.NoiseTemp),
                     Db(r.NoisePbitNo), noise.unit});
    const ResultRow& no = Result(&LinkResults::NoisePbitNo);
    sheet.push_back({no.caption, "", Db(r.NoisePbitNo), no.unit});
    const ResultRow& ebNo = Result(&LinkResults::RxEbNo);
    sheet.push_back({ebNo.caption, "", Db(r.RxEbNo), ebNo.unit});
    sheet.push_back({Factor(&LinkFactors::MinEbNoDesired).caption, Signed(-f.MinEbNoDesired),
                     Db(r.RxEbNo - f.MinEbNoDesired), "dB"});
    const ResultRow& margin = Result(&LinkResults::FadeMargin);
    sheet.push_back({margin.caption, "", Db(r.FadeMargin), margin.unit});
    const ResultRow& reliability = Result(&LinkResults::Reliability);
    sheet.push_back(
        {reliability.caption, "", ResultText(reliability, r.Reliability), reliability.unit});
    return sheet;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = "";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    }
    return text;
}

std::string Escaped(std::string_view text) {
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
std::string Cells(std::initializer_list<std::string_view> cells, const char* tag = "td") {
    std::string row = "<tr>";
    std::size_t index = 0;
    for (const std::string_view cell : cells) {
        const bool number = index > 0 && index + 1 < cells.size();
        row += std::string("<") + tag + (number ? " class=\"n\">" : ">") + Escaped(cell) + "</" +
               tag + ">";
        ++index;
    }
    return row + "</tr>\n";
}

std::string RowsTable(const std::vector<TextRow>& rows) {
    std::string html = "<table>\n";
    for (const TextRow& row : rows) {
        html += Cells({row.caption, row.text, row.unit});
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
        error = CannotWrite(path, "the name must end in .pdf or .html");
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = CannotWrite(path, "it is a directory");
        return false;
    }
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    // A file the report could be written to is created and removed again.
    std::string probe = (directory / ".quillstone-calc-report-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        error = CannotWrite(path, std::strerror(errno));
        return false;
    }
    ::close(fd);
    std::remove(probe.c_str());
    m_path = path;
    m_format = *format;
    return true;
}

bool ReportTarget::write(std::string_view bytes, std::string& error) {
    int code = 0;
    if (!ReplaceFileContents(m_path, bytes, &code)) {
        error = CannotWrite(m_path, std::strerror(code));
        return false;
    }
    return true;
}

std::string Verdict(double fadeMargin) {
    if (fadeMargin >= 0.0) {
        return "The link closes with " + Db(fadeMargin) + " dB fade margin";
    }
    return "The link falls " + Db(-fadeMargin) + " dB short";
}

ReportData BuildReportData(ReportInput input) {
    ReportData data;
    data.title = "Quillstone link budget";
    data.date = Today();
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const FactorRow& row = FactorTable[i];
        const double value = input.factors.*row.field;
        data.factors.push_back({row.caption, FactorValueText(row, value),
                                row.unit + (input.metric ? MetricNote(i, value) : "")});
    }
    data.sheet = RunningSheet(input.factors, input.results);
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
        Escaped(data.title) +
        "</title>\n<style>\nbody { font-family: sans-serif; font-size: 10pt; }\n"
        "h1 { font-size: 16pt; margin-bottom: 0; }\nh2 { font-size: 11pt; }\n"
        "td, th { padding: 1px 6px; white-space: nowrap; }\n.n { text-align: right; }\n"
        ".verdict { font-size: 13pt; font-weight: bold; }\npre { font-size: 7pt; "
        "}\n</style>\n</head>\n<body>\n<h1>" +
        Escaped(data.title) + "</h1>\n<p>" + Escaped(data.date) + "</p>\n<p class=\"verdict\">" +
        Escaped(data.verdict) + "</p>\n<p>" + Escaped(data.largestRange) + "</p>\n";
    for (const std::string& note : data.notes) {
        html += "<p>" + Escaped(note) + "</p>\n";
    }
    html += "<table width=\"100%\">\n<tr><td valign=\"top\" width=\"42%\">\n<h2>Factors</h2>\n" +
            RowsTable(data.factors);
    if (!data.modulation.empty()) {
        html += "<h2>Modulation</h2>\n" + RowsTable(data.modulation);
    }
    html += "</td>\n<td valign=\"top\">\n<h2>Budget</h2>\n<table>\n" +
            Cells({"Term", "dB", "Level", ""}, "th");
    for (const SheetRow& row : data.sheet) {
        html += Cells({row.caption, row.term, row.level, row.unit});
    }
    html += "</table>\n</td></tr>\n</table>\n";
    if (!data.propagation.empty()) {
        html += "<h2>Propagation</h2>\n<pre>";
        for (const std::string& line : data.propagation) {
            html += Escaped(line) + "\n";
        }
        html += "</pre>\n";
    }
    if (!chartSvg.empty()) {
        html += chartSvg;
        html += "\n";
    }
    return html + "</body>\n</html>\n";
}
