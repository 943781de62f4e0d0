// The budget the calculator prints must be the window's: the same factors from
// the same settings file, the same value texts, captions and units.
#include "calc_design.h"
#include "factor_table.h"

#include "cli_test_support.h"
#include "link_calculation.h"
#include "link_display.h"
#include "link_settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::DefaultFactors;

namespace {

struct Row {
    std::string caption;
    std::string value;
    std::string unit;
};

std::string trimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// Caption in 24 columns, value right-aligned in the next 12, a blank, unit.
Row parseRow(const std::string& line) {
    Row row;
    row.caption = trimRight(line.substr(0, 24));
    std::string value = line.substr(24, 12);
    row.value = value.substr(value.find_first_not_of(' '));
    row.unit = line.size() > 37 ? line.substr(37) : "";
    return row;
}

std::vector<Row> budgetRows(const LinkFactors& factors) {
    std::vector<Row> rows;
    for (const std::string& line : Lines(RenderSheet(factors, false))) {
        rows.push_back(parseRow(line));
    }
    return rows;
}

// What the window shows for these factors, row by row in the same order.
std::vector<Row> windowRows(const LinkFactors& factors) {
    LinkResults results{};
    CalculateLink(factors, results);
    LinkDisplay display;
    MakeLinkDisplay(factors, results, display);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        rows.push_back({FactorTable[i].caption, display.valueTexts[i], FactorTable[i].unit});
    }
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        rows.push_back(
            {trimRight(ResultTable[i].caption), display.resultTexts[i], ResultTable[i].unit});
    }
    rows.push_back({"Minimum BEP Desired", display.bepText, ""});
    return rows;
}

// The factors the calculator takes from the file at `path`; a refusal fails
// the test.
struct FactorOverride {
    std::size_t factor;
    double value;
};

LinkFactors factorsFrom(const std::string& path, std::vector<FactorOverride> overrides = {}) {
    FileOptions files;
    files.configPath = path;
    DesignInputs inputs;
    for (const FactorOverride& o : overrides) {
        inputs.add(ParamOfFactor(o.factor), {o.value, o.value, {}}, true);
    }
    Design design;
    std::string error;
    EXPECT_TRUE(BuildDesign(files, inputs, design, error)) << error;
    return design.point().factors();
}

void expectSameFactors(const LinkFactors& actual, const LinkFactors& expected) {
    for (const FactorRow& row : FactorTable) {
        EXPECT_EQ(actual.*row.field, expected.*row.field) << row.key;
    }
}

void expectSameRows(const std::vector<Row>& actual, const std::vector<Row>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].caption, expected[i].caption) << "row " << i;
        EXPECT_EQ(actual[i].value, expected[i].value) << "row " << i;
        EXPECT_EQ(actual[i].unit, expected[i].unit) << "row " << i;
    }
}

TEST(BudgetText, DefaultsShowTheWindowsFirstScreen) {
    const std::vector<Row> expected = {
        {"Range", "10.0", "Miles"},
        {"Frequency", "2250.0", "MHz"},
        {"Tx Power", "5.0", "Watts"},
        {"Bit Rate", "1000.0", "kbps"},
        {"Minimum Eb/No Desired", "15.0", "dB"},
        {"LNA Noise Figure", "0.1", "dB"},
        {"LNA Gain", "6.0", "dB"},
        {"Rx Noise Figure", "0.1", "dB"},
        {"Tx Feed Loss", "1.0", "dB"},
        {"Tx Ant Gain", "1.10", "dBi"},
        {"Weather", "0.1", "dB"},
        {"Polarization", "0.1", "dB"},
        {"Rx Ant Gain", "10.0", "dBi"},
        {"Rx Feed Loss", "0.1", "dB"},
        {"Free Space Attenuation", "-123.6", "dB"},
        {"Tx Power", "37.0", "dBm"},
        {"Bit Rate", "60.0", "dB"},
        {"Noise Temp 290 deg K", "-173.9", "dBm/Hz"},
        {"Noise pwr/bit No", "-173.8", "dB"},
        {"Rx pwr/bit Eb", "-136.9", "dB"},
        {"Received Eb/No", "36.9", "dB"},
        {"Fade Margin", "21.9", "dB"},
        {"Link Reliability", "99.4", "Percent"},
        {"Minimum BEP Desired", "1.0E-7", ""},
    };
    const std::vector<Row> rows = budgetRows(DefaultFactors());
    expectSameRows(rows, expected);
    expectSameRows(rows, windowRows(DefaultFactors()));
}

TEST(BudgetText, PrefixedBitErrorTextsStayWhole) {
    LinkFactors factors = DefaultFactors();
    factors.MinEbNoDesired = 16;
    EXPECT_EQ(budgetRows(factors).back().value, "> 1.0E-7");
    factors.MinEbNoDesired = 7;
    EXPECT_EQ(budgetRows(factors).back().value, "< 3.0E-2");
}

TEST(BudgetText, SavedFileShowsWhatTheWindowShows) {
    TempDir dir;
    const std::string path = dir.file("Quillstone.Cfg");
    LinkFactors saved = DefaultFactors();
    saved.Range = 1000.0; // beyond the slider: the value is shown, not the slider's
    saved.Freq = 3100.5;
    saved.TxPower = 0.1234567891234; // kept to nine decimals by the file
    saved.TxAntGain = -12.5;
    saved.MinEbNoDesired = 9.5;
    saved.LnaGain = 22.2;
    ASSERT_TRUE(SaveLinkSettings(path, saved, WindowPosition{}));

    const LinkFactors factors = factorsFrom(path);
    LinkFactors windowFactors = DefaultFactors();
    WindowPosition position;
    ASSERT_TRUE(LoadLinkSettings(path, windowFactors, position));
    expectSameFactors(factors, windowFactors);
    EXPECT_EQ(factors.Range, 1000.0);
    EXPECT_EQ(factors.TxPower, 0.123456789);

    const std::vector<Row> rows = budgetRows(factors);
    std::vector<Row> window = windowRows(windowFactors);
    // The reliability, -3172440 %, loses a digit in the window's seven
    // characters; the calculator keeps its magnitude. Every other text is
    // the window's.
    const std::size_t reliability = FactorTable.size() + kResultCount - 1;
    EXPECT_EQ(window[reliability].value, "-317244");
    EXPECT_EQ(rows[reliability].value, "-3.17E6");
    window[reliability].value = rows[reliability].value;
    expectSameRows(rows, window);
    EXPECT_EQ(rows[0].value, "1000.0");
    EXPECT_EQ(rows[1].value, "3100.5");
    EXPECT_EQ(rows[9].value, "-12.50");
    EXPECT_EQ(rows.back().value, BepText(9.5));
}

TEST(BudgetText, HandEditedFileIsReadLikeTheWindowReadsIt) {
    TempDir dir;
    const std::string path = dir.write("edited.cfg", "[MiscInfo]\r\n"
                                                     "ScreenPosX=5\r\n"
                                                     "[UserInfo]\r\n"
                                                     "range = 20\r\n"
                                                     "Freq=2.25e3\r\n"
                                                     "Weather=abc\r\n"
                                                     "Polarization=2,5\r\n"
                                                     "BitRate=\r\n"
                                                     "Extra=1\r\n");
    const LinkFactors factors = factorsFrom(path);
    LinkFactors expected = DefaultFactors();
    expected.Range = 20.0;
    expected.Freq = 2250.0;
    expected.BitRate = 0.0; // an empty value in the file reads as 0
    expectSameFactors(factors, expected);
    expectSameRows(budgetRows(factors), windowRows(expected));
}

TEST(BudgetFactors, OverridesComeAfterTheFile) {
    TempDir dir;
    const std::string path = dir.write("a.cfg", "[UserInfo]\r\nRange=20\r\nFreq=3000\r\n");
    const LinkFactors factors = factorsFrom(path, {{0, 30.0}, {0, 40.0}});
    EXPECT_EQ(factors.Range, 40.0);
    EXPECT_EQ(factors.Freq, 3000.0);
    EXPECT_EQ(factors.TxPower, 5.0);
}

TEST(BudgetFactors, ConfigThatCannotBeReadIsAnError) {
    TempDir dir;
    const std::string plain = dir.write("plain.txt", "x");
    std::filesystem::create_directory(dir.file("folder"));
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {dir.file("missing.cfg"), "No such file or directory"},
        {dir.file("folder"), "it is a directory"},
        {plain + "/Quillstone.Cfg", "Not a directory"},
        {"/dev/null", "it is not a regular file"},
    };
    for (const auto& c : cases) {
        FileOptions files;
        files.configPath = c.path;
        Design design;
        std::string error;
        EXPECT_FALSE(BuildDesign(files, {}, design, error)) << c.path;
        EXPECT_NE(error.find("cannot read config file '" + c.path + "'"), std::string::npos)
            << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
}

// The budget as --json writes it, parsed; a parse error fails the test.
QJsonDocument budgetJson(const LinkFactors& factors) {
    return ParseJson(RenderSheet(factors, true));
}

TEST(BudgetJson, CarriesNumbersTextsAndUnits) {
    LinkFactors factors = DefaultFactors();
    factors.MinEbNoDesired = 9.5;
    factors.TxAntGain = -3.25;
    LinkResults results{};
    CalculateLink(factors, results);
    const QJsonDocument document = budgetJson(factors);
    ASSERT_FALSE(document.isNull());
    LinkDisplay display;
    MakeLinkDisplay(factors, results, display);

    const QJsonArray factorArray = document["factors"].toArray();
    ASSERT_EQ(factorArray.size(), 14);
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const QJsonObject entry = factorArray[static_cast<qsizetype>(i)].toObject();
        EXPECT_EQ(entry["key"].toString().toStdString(), FactorTable[i].key);
        EXPECT_EQ(entry["caption"].toString().toStdString(), FactorTable[i].caption);
        EXPECT_EQ(entry["value"].toDouble(), factors.*FactorTable[i].field);
        EXPECT_EQ(entry["text"].toString().toStdString(), display.valueTexts[i]);
        EXPECT_EQ(entry["unit"].toString().toStdString(), FactorTable[i].unit);
    }
    const QJsonArray resultArray = document["results"].toArray();
    ASSERT_EQ(resultArray.size(), 9);
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        const QJsonObject entry = resultArray[static_cast<qsizetype>(i)].toObject();
        EXPECT_EQ(entry["key"].toString().toStdString(), ResultKey(i));
        EXPECT_EQ(entry["text"].toString().toStdString(), display.resultTexts[i]);
        EXPECT_EQ(entry["unit"].toString().toStdString(), ResultTable[i].unit);
    }
    EXPECT_EQ(resultArray[0].toObject()["value"].toDouble(), results.FreeSpaceAtten);
    // The reliability's number is in percent, like its text and unit.
    EXPECT_EQ(resultArray[8].toObject()["value"].toDouble(), 100.0 * results.Reliability);

    const QJsonObject bep = document["bitErrorPerformance"].toObject();
    EXPECT_NEAR(bep["value"].toDouble(), 0.0405, 1e-15);
    EXPECT_EQ(bep["text"].toString().toStdString(), BepText(9.5));
    EXPECT_EQ(bep["caption"].toString(), QStringLiteral("Minimum BEP Desired"));
}

TEST(BudgetJson, SentinelResultsStayValidJson) {
    LinkFactors factors = DefaultFactors();
    factors.Range = 0.0; // log10(0): the calculation's failure sentinel
    LinkResults results{};
    CalculateLink(factors, results);
    const QJsonDocument document = budgetJson(factors);
    ASSERT_FALSE(document.isNull());
    EXPECT_LT(document["results"][0]["value"].toDouble(), -1e27);
}

} // namespace
