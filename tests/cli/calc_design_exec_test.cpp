// The link design options as a user meets them: --solve, units, --metric,
// --modulation and --report, run as the program.
#include "calc_process.h"
#include "fade_margin.h"
#include "table_test.h"

#include <QJsonObject>

#include <cstdio>

using testing_support::DefaultFactors;
using testing_support::FadeMarginOf;

namespace {

INSTANTIATE_TEST_SUITE_P(
    Design, BadInput,
    testing::Values(
        BadCase{"UnitOnTheWrongKey",
                {"Range=5dBm"},
                "unit 'dBm' does not fit Range (units: mi, km, m, nmi)"},
        BadCase{"UnitLetterCase", {"TxPower=5MW"}, "value '5MW' of TxPower is not a number"},
        BadCase{"ModulationAndMinEbNo",
                {"--modulation", "bpsk", "--ber", "1e-6", "MinEbNoDesired=9"},
                "give one or the other"},
        BadCase{"ModulationWithoutBer", {"--modulation", "qpsk"}, "--modulation needs --ber"},
        BadCase{"BerWithoutModulation", {"--ber", "1e-6"}, "--ber needs --modulation"},
        BadCase{"BerOutOfRange", {"--modulation", "bpsk", "--ber", "0.7"}, "between 0 and 0.5"},
        BadCase{"UnknownModulation",
                {"--modulation=256qam", "--ber=1e-6"},
                "--modulation: '256qam' is not bpsk"},
        BadCase{"UnreachableBer", {"--modulation=64qam", "--ber=0.4"}, "does not reach"},
        BadCase{"MarginOfNoNumber", {"--margin", "3x"}, "--margin: '3x' is not a number"},
        BadCase{"SolveUnknownKey", {"--solve", "Distance"}, "unknown key 'Distance'"},
        BadCase{"SolveAndSweep", {"--solve", "Range", "--sweep", "Freq=1:2:1"}, "--sweep"},
        BadCase{"ReportWrongType", {"--report", "r.txt"}, "must end in .pdf or .html"},
        BadCase{"ReportUnderAFile", {"--report", "plain.txt/r.pdf"}, "Not a directory"},
        BadCase{"ReportAndSweep", {"--report", "r.pdf", "--sweep", "Range=1:2:1"}, "--sweep"},
        BadCase{"NoValueSolves",
                {"--solve", "LnaNoiseFigure", "Range=5000", "--report", "r.pdf"},
                "LnaNoiseFigure would have to be below 0.0 dB",
                3}),
    testing_support::RowName());

TEST(CalcDesign, SolveShowsTheAnswerThenTheBudgetAtIt) {
    TempDir dir;
    const Result text = RunCalc(dir, {"--solve", "Range", "--margin", "3", "--metric"});
    EXPECT_EQ(text.status, 0) << text.err;
    const auto lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[0], "Largest Range for a fade margin of 3.0 dB:");
    EXPECT_EQ(lines[1], "Range                           88.3 Miles (142.14 km)");
    EXPECT_EQ(lines[3], lines[1]);
    EXPECT_EQ(lines[5], "Tx Power                         5.0 Watts (37.0 dBm)");
    EXPECT_EQ(lines[24], "Fade Margin                      3.0 dB");

    const Result json = RunCalc(dir, {"--solve", "Range", "--margin", "3", "--json", "--metric"});
    const QJsonDocument doc = ParseJson(json.out);
    const double range = doc["solve"]["factor"]["value"].toDouble();
    LinkFactors factors = DefaultFactors();
    factors.Range = range;
    EXPECT_NEAR(FadeMarginOf(factors), 3.0, 1e-9);
    EXPECT_EQ(doc["solve"]["largest"].toBool(), true);
    EXPECT_DOUBLE_EQ(doc["metric"]["Range"]["value"].toDouble(), range * 1.609344);
    EXPECT_DOUBLE_EQ(doc["solve"]["metric"]["value"].toDouble(), range * 1.609344);
}

INSTANTIATE_TEST_SUITE_P(
    Design, GoodInput,
    testing::Values(GoodCase{
        "UnitsAndModulation",
        {"Range=16.09344km", "TxPower=40dBm", "--modulation", "bpsk", "--ber", "1e-6",
         "--coding-gain", "2"},
        0,
        {"Range                           10.0 Miles\n",
         "Tx Power                        10.0 Watts\n",
         "Minimum Eb/No Desired            8.5 dB\n", "Modulation                      BPSK\n",
         "Target BER                    1.0E-6\n", "Required Eb/No                10.530 dB\n",
         "Coding Gain                      2.0 dB\n"}}),
    testing_support::RowName());

std::string pdfText(const std::string& pdf) {
    std::string text;
    if (std::FILE* pipe = ::popen(("pdftotext -layout '" + pdf + "' - 2>&1").c_str(), "r")) {
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) {
            text.append(block, n);
        }
        ::pclose(pipe);
    }
    return text;
}

struct ReportCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<const char*> texts;
};

class Report : public testing::TestWithParam<ReportCase> {};

TEST_P(Report, PdfHoldsTheVerdictAndTheNumbers) {
    TempDir dir;
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--report", "budget.pdf"});
    const Result r = RunCalc(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = pdfText(dir.file("budget.pdf"));
    for (const char* expected : GetParam().texts) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Design, Report,
    testing::Values(ReportCase{"Closes",
                               {},
                               {"The link closes with 21.9 dB fade margin",
                                "Largest range with a fade margin of 0 dB: 124.8 Miles",
                                "Rx Feed Loss", "+37.0", "-123.6", "-136.9",
                                "Fade margin 0 dB at 124.8 Miles"}},
                    ReportCase{"FallsShort",
                               {"Range=300", "--modulation", "qpsk", "--ber", "1e-5", "--metric"},
                               {"The link falls 2.2 dB short", "QPSK", "1.0E-5", "9.588", "-153.2",
                                "(482.80 km)"}}),
    testing_support::RowName());

TEST(CalcDesign, HtmlReportIsOneFileWithAnInlineChart) {
    TempDir dir;
    const Result r = RunCalc(dir, {"--report", "budget.html"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string html = ReadAll(dir.file("budget.html"));
    EXPECT_NE(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find("The link closes with 21.9 dB fade margin"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("<link"), std::string::npos);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"budget.html"});
}

} // namespace
