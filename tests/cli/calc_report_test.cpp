// The report file as the calculator writes it: every line of the explained
// text output in the PDF (across pages, never cut), its fonts named, the
// design file it came from, and a chart over an input of the design.
#include "calc_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>

namespace {

// A command's standard output.
std::string commandOutput(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) {
            text.append(block, n);
        }
        ::pclose(pipe);
    }
    return text;
}

// The PDF's words; the proportional font's fi and fl ligatures as letters.
std::string pdfText(const std::string& pdf) {
    std::string text = commandOutput("pdftotext -layout '" + pdf + "' - 2>&1");
    for (const auto& [ligature, letters] :
         {std::pair{"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x82", "fl"}}) {
        for (std::size_t at; (at = text.find(ligature)) != std::string::npos;) {
            text.replace(at, 3, letters);
        }
    }
    return text;
}

// The line with its blanks run together and none at the ends.
std::string normalised(const std::string& line) {
    std::istringstream words(line);
    std::string out;
    for (std::string word; words >> word;) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

std::set<std::string> normalisedLines(const std::string& text) {
    std::set<std::string> lines;
    for (const std::string& line : Lines(text)) {
        lines.insert(normalised(line));
    }
    return lines;
}

// An Earth-space path with rain, clouds, gases and scintillation, dishes,
// a receiver's stages and a waveform; its explanation has lines of some 180
// characters.
const std::vector<std::string> kEveryFeature = {"--path",
                                                "earth-space",
                                                "--elevation",
                                                "30",
                                                "Freq=20GHz",
                                                "--rain-rate",
                                                "30",
                                                "--latitude",
                                                "45",
                                                "--rain-height",
                                                "3.5",
                                                "--cloud-liquid",
                                                "0.5",
                                                "--vapour-content",
                                                "20",
                                                "--tx-dish",
                                                "2.4",
                                                "--rx-dish",
                                                "1.2",
                                                "--stage",
                                                "LNA,35K,30",
                                                "--stage",
                                                "mixer,10,15",
                                                "--antenna-temperature",
                                                "sky",
                                                "--waveform",
                                                "dvbs2:qpsk-1/2",
                                                "--symbol-rate",
                                                "10MBd",
                                                "--pointing-error",
                                                "0.1,0.2"};

struct LinesCase {
    const char* name;
    std::vector<std::string> args;
    std::size_t leastPages;
};

class ReportLines : public testing::TestWithParam<LinesCase> {};

TEST_P(ReportLines, PdfHoldsEveryLineOfTheExplainedTextOutput) {
    TempDir dir;
    std::vector<std::string> args = GetParam().args;
    args.push_back("--explain");
    const Result text = RunCalc(dir, args);
    ASSERT_EQ(text.status, 0) << text.err;
    args.insert(args.end(), {"--report", "r.pdf"});
    const Result report = RunCalc(dir, args);
    ASSERT_EQ(report.status, 0) << report.err;
    const std::string pdf = pdfText(dir.file("r.pdf"));
    const std::set<std::string> shown = normalisedLines(pdf);
    std::size_t checked = 0;
    for (const std::string& line : Lines(text.out)) {
        if (!normalised(line).empty()) {
            EXPECT_TRUE(shown.contains(normalised(line))) << "missing: " << line;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30u);
    // A page ends with a form feed in pdftotext's text.
    EXPECT_GE(static_cast<std::size_t>(std::count(pdf.begin(), pdf.end(), '\f')),
              GetParam().leastPages);
}

INSTANTIATE_TEST_SUITE_P(Designs, ReportLines,
                         testing::Values(LinesCase{"EveryFeature", kEveryFeature, 2},
                                         LinesCase{"TerrestrialRain",
                                                   {"--rain-rate", "60", "Freq=23000", "Range=5",
                                                    "--heights", "40,25", "--tx-dish", "0.6",
                                                    "--modulation", "qpsk", "--ber", "1e-6"},
                                                   1},
                                         LinesCase{"Defaults", {}, 1}),
                         testing_support::RowName());

TEST(CalcReport, WithoutExplainTheReportStillExplains) {
    TempDir dir;
    const Result r = RunCalc(dir, {"--report", "r.pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = pdfText(dir.file("r.pdf"));
    EXPECT_NE(pdf.find("Where every dB went"), std::string::npos);
    EXPECT_NE(pdf.find("= Fade Margin"), std::string::npos);
    EXPECT_EQ(r.out.find("Where every dB went"), std::string::npos);
}

TEST(CalcReport, PdfFontsAreTheNamedFamilies) {
    TempDir dir;
    std::vector<std::string> args = kEveryFeature;
    args.insert(args.end(), {"--report", "r.pdf"});
    const Result r = RunCalc(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> fonts =
        Lines(commandOutput("pdffonts '" + dir.file("r.pdf") + "'"));
    ASSERT_GT(fonts.size(), 2u); // two heading lines, then a font per line
    for (std::size_t i = 2; i < fonts.size(); ++i) {
        const std::string name = fonts[i].substr(0, fonts[i].find(' '));
        EXPECT_TRUE(name == "DejaVuSans" || name == "DejaVuSans-Bold" || name == "DejaVuSansMono")
            << fonts[i];
    }
    const std::string html = [&] {
        RunCalc(dir, {"--report", "r.html"});
        return ReadAll(dir.file("r.html"));
    }();
    EXPECT_NE(html.find("font-family: 'DejaVu Sans', sans-serif"), std::string::npos);
    EXPECT_NE(html.find("font-family: 'DejaVu Sans Mono', monospace"), std::string::npos);
}

TEST(CalcReport, NamesTheDesignFileItCameFrom) {
    TempDir dir;
    dir.write("link.json", R"({"format": "quillstone-design", "version": 1, )"
                           R"("parameters": {"Range": {"value": 40, "unit": "km"}}})");
    for (const char* name : {"r.pdf", "r.html"}) {
        const Result from = RunCalc(dir, {"--design", "link.json", "--report", name});
        ASSERT_EQ(from.status, 0) << from.err;
        const std::string text =
            std::string(name).ends_with(".pdf") ? pdfText(dir.file(name)) : ReadAll(dir.file(name));
        EXPECT_NE(text.find("Design file: link.json"), std::string::npos) << name;
        const Result without = RunCalc(dir, {"Range=40km", "--report", name});
        ASSERT_EQ(without.status, 0) << without.err;
        const std::string plain =
            std::string(name).ends_with(".pdf") ? pdfText(dir.file(name)) : ReadAll(dir.file(name));
        EXPECT_EQ(plain.find("Design file"), std::string::npos) << name;
    }
}

struct ChartCase {
    const char* name;
    std::vector<std::string> args;
    const char* title;
    const char* axis;
};

class ReportChart : public testing::TestWithParam<ChartCase> {};

TEST_P(ReportChart, RunsOverAnInputOfThePath) {
    TempDir dir;
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--report", "r.pdf"});
    const Result r = RunCalc(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = pdfText(dir.file("r.pdf"));
    EXPECT_NE(pdf.find(GetParam().title), std::string::npos) << pdf;
    EXPECT_NE(pdf.find(GetParam().axis), std::string::npos) << pdf;
    EXPECT_EQ(pdf.find("No chart"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ReportChart,
    testing::Values(ChartCase{"Terrestrial", {}, "Fade margin against range", "Range (Miles)"},
                    ChartCase{"EarthSpace", kEveryFeature, "Fade margin against Frequency",
                              "Frequency (MHz)"}),
    testing_support::RowName());

TEST(CalcReport, EarthSpaceChartIsNotTheSlantRange) {
    TempDir dir;
    std::vector<std::string> args = kEveryFeature;
    args.insert(args.end(), {"--report", "r.pdf"});
    ASSERT_EQ(RunCalc(dir, args).status, 0);
    EXPECT_EQ(pdfText(dir.file("r.pdf")).find("Range (Miles)"), std::string::npos);
}

struct MagnitudeCase {
    const char* name;
    std::vector<std::string> args;
    const char* line; // as the text output and the report show it, blanks run together
};

class Magnitude : public testing::TestWithParam<MagnitudeCase> {};

// The window's seven characters of -3.93e8 are "-3.9343", of -1.16e37
// "-1.1635": the text and the report show exponents.
TEST_P(Magnitude, TextAndReportKeepTheExponent) {
    TempDir dir;
    std::vector<std::string> args = GetParam().args;
    args.push_back("--explain");
    const Result text = RunCalc(dir, args);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(normalisedLines(text.out).contains(GetParam().line)) << text.out;
    args.insert(args.end(), {"--report", "r.pdf"});
    ASSERT_EQ(RunCalc(dir, args).status, 0);
    EXPECT_TRUE(normalisedLines(pdfText(dir.file("r.pdf"))).contains(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Magnitude,
    testing::Values(
        MagnitudeCase{"Reliability",
                      {"--path", "earth-space", "--elevation", "30", "--rain-rate", "30",
                       "--latitude", "45", "--rain-height", "3", "Freq=12GHz", "Range=24000"},
                      "Link Reliability -3.93E8 Percent"},
        MagnitudeCase{"FadeMargin", {"MinEbNoDesired=1.16e37"}, "Fade Margin -1.2E37 dB"},
        MagnitudeCase{"ExplainColumn", {"MinEbNoDesired=1.16e37"}, "= Fade Margin -1.16E37"}),
    testing_support::RowName());

} // namespace
