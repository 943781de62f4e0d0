// The link design model: values with units, the parameter registry, the
// design file's text, the budget's terms and the solve of a design with
// features.
#include "budget_sheet.h"
#include "design_json.h"
#include "design_solve.h"
#include "fade_margin.h"
#include "units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

using testing_support::DefaultFactors;
using testing_support::FadeMarginOf;

namespace {

struct UnitCase {
    const char* key;
    const char* text;
    double expected; // the factor's own unit
};

TEST(Units, EveryUnitOfEveryKeyInTheFactorsOwnUnit) {
    const UnitCase cases[] = {{"Range", "2mi", 2.0},        {"Range", "1.609344 km", 1.0},
                              {"Range", "1609.344m", 1.0},  {"Range", "1nmi", 1.852 / 1.609344},
                              {"Freq", "2.25e9Hz", 2250.0}, {"Freq", "2250000kHz", 2250.0},
                              {"Freq", "2250MHz", 2250.0},  {"Freq", "2.25GHz", 2250.0},
                              {"TxPower", "5W", 5.0},       {"TxPower", "500mW", 0.5},
                              {"TxPower", "30dBm", 1.0},    {"TxPower", "10dBW", 10.0},
                              {"BitRate", "1000bps", 1.0},  {"BitRate", "5kbps", 5.0},
                              {"BitRate", "2Mbps", 2000.0}, {"MinEbNoDesired", "9.5dB", 9.5},
                              {"TxAntGain", "3dB", 3.0},    {"TxAntGain", "3dBi", 3.0},
                              {"TxAntGain", "3dBd", 5.15},  {"RxAntGain", "-2.15dBd", 0.0},
                              {"Range", " 7 ", 7.0}};
    for (const UnitCase& c : cases) {
        Quantity q;
        ASSERT_EQ(ParseQuantity(FactorTable[*FindFactor(c.key)].units, nullptr, c.text, q),
                  UnitFault::None)
            << c.text;
        EXPECT_NEAR(q.value, c.expected, 1e-12 * std::abs(c.expected)) << c.text;
    }
}

TEST(Units, FaultsAndTheUnitAsGiven) {
    const struct {
        UnitFamily family;
        const char* text;
        UnitFault fault;
        const char* unit; // as kept
    } cases[] = {
        {UnitFamily::Distance, "5dBm", UnitFault::WrongUnit, ""},
        {UnitFamily::Power, "5MW", UnitFault::NotANumber, ""},
        {UnitFamily::Power, "5w", UnitFault::NotANumber, ""},
        {UnitFamily::Frequency, "2.5e", UnitFault::NotANumber, ""},
        {UnitFamily::Decibel, "3dBi", UnitFault::WrongUnit, ""},
        {UnitFamily::Distance, "km", UnitFault::NotANumber, ""},
        {UnitFamily::Distance, "5%", UnitFault::NotANumber, ""},
        {UnitFamily::Power, "4000dBW", UnitFault::OutOfRange, ""},
        {UnitFamily::Length, "98.4 ft", UnitFault::None, "ft"},
        {UnitFamily::Fraction, "55 %", UnitFault::None, "%"},
    };
    for (const auto& c : cases) {
        Quantity q;
        EXPECT_EQ(ParseQuantity(c.family, nullptr, c.text, q), c.fault) << c.text;
        if (c.fault == UnitFault::None) {
            EXPECT_EQ(q.unit, c.unit) << c.text;
        }
    }
}

TEST(Units, FromTheBaseUnitIsTheExactInverse) {
    const struct {
        UnitFamily family;
        const char* unit;
        double given;
    } cases[] = {{UnitFamily::Distance, "km", 25.0}, {UnitFamily::Power, "dBm", 37.0},
                 {UnitFamily::Power, "dBW", -3.0},   {UnitFamily::AntennaGain, "dBd", 3.0},
                 {UnitFamily::Fraction, "%", 55.0},  {UnitFamily::Frequency, "GHz", 5.8}};
    for (const auto& c : cases) {
        const double base = *ToBaseUnit(c.family, nullptr, c.given, c.unit);
        EXPECT_NEAR(*FromBaseUnit(c.family, nullptr, base, c.unit), c.given, 1e-12) << c.unit;
    }
    EXPECT_FALSE(FromBaseUnit(UnitFamily::Power, nullptr, 0.0, "dBm")); // 0 W has no dBm
    EXPECT_FALSE(FromBaseUnit(UnitFamily::Power, nullptr, 1.0, "km"));
}

TEST(Units, PlainNumbersFollowTheSettingsFileRules) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"10", true, 10.0},   {"10.5", true, 10.5}, {"1e1", true, 10.0},
                 {" 12 ", true, 12.0}, {"-50", true, -50.0}, {"+3", true, 3.0},
                 {".5", true, 0.5},    {"5.", true, 5.0},    {"", false, 0.0},
                 {"  ", false, 0.0},   {"12 3", false, 0.0}, {"nan", false, 0.0},
                 {"1e", false, 0.0},   {"--1", false, 0.0}};
    for (const auto& c : cases) {
        double value = -1.0;
        EXPECT_EQ(ParsePlainNumber(c.text, value), c.ok) << "'" << c.text << "'";
        EXPECT_EQ(value, c.ok ? c.value : -1.0) << "'" << c.text << "' must be kept on failure";
    }
}

TEST(Units, MetricNotes) {
    EXPECT_EQ(MetricNote(*FindFactor("Range"), 10.0), " (16.09 km)");
    EXPECT_EQ(MetricNote(*FindFactor("TxPower"), 5.0), " (37.0 dBm)");
    EXPECT_EQ(MetricNote(*FindFactor("Freq"), 5.0), "");
}

TEST(Registry, EveryFactorKeyIsFoundInAnyLetterCase) {
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        std::string lower = FactorTable[i].key;
        std::string upper = lower;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        EXPECT_EQ(FindFactor(FactorTable[i].key), i);
        EXPECT_EQ(FindFactor(lower), i) << lower;
        EXPECT_EQ(FindFactor(upper), i) << upper;
    }
    EXPECT_FALSE(FindFactor(""));
    EXPECT_FALSE(FindFactor("Rang"));
}

TEST(BudgetKeys, ResultKeysAreTheFieldNames) {
    const std::string keys[] = {"FreeSpaceAtten", "TxPowerdb",   "BitRatedb",
                                "NoiseTemp",      "NoisePbitNo", "RxPbitEb",
                                "RxEbNo",         "FadeMargin",  "Reliability"};
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        EXPECT_EQ(ResultKey(i), keys[i]);
    }
}

TEST(BudgetBep, FollowsTheTable) {
    const struct {
        double ebNo;
        double bep;
    } cases[] = {{7, 0.03}, {8, 0.03}, {9, 0.08}, {10, 0.001}, {15, 1e-7}, {16, 1e-7}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(BitErrorPerformance(c.ebNo), c.bep) << c.ebNo;
    }
}

TEST(Registry, RowsAreInTheirOwnOrderWithKeysUniqueInAnyLetterCase) {
    std::set<std::string> keys;
    std::size_t factors = 0;
    for (std::size_t i = 0; i < kParamCount; ++i) {
        const ParamRow& row = ParamTable[i];
        EXPECT_EQ(IndexOf(row.id), i);
        std::string key = ParamKey(row);
        std::transform(key.begin(), key.end(), key.begin(), ::tolower);
        EXPECT_TRUE(keys.insert(key).second) << key;
        EXPECT_EQ(FindParam(ParamKey(row)), &row);
        EXPECT_NE(*ParamCaption(row), '\0') << key;
        if (const FactorRow* factor = FactorOfParam(row)) {
            ++factors;
            EXPECT_EQ(ParamOfFactor(FactorIndexOf(factor->field)), row.id);
        } else if (row.family != UnitFamily::Choice) {
            EXPECT_TRUE(ParamInBounds(row, row.defaultValue)) << key;
        }
    }
    EXPECT_EQ(factors, kFactorCount);
}

TEST(Registry, ARowAppliesWhereItsFeatureDoes) {
    const auto applies = [](ParamId id, std::initializer_list<std::pair<ParamId, double>> set) {
        Design design;
        for (const auto& [param, value] : set) {
            design.set(param, {value, value, {}});
        }
        return ParamApplies(ParamRowOf(id), design.point());
    };
    const double earthSpace = static_cast<double>(PathKind::EarthSpace);
    EXPECT_FALSE(applies(ParamId::Availability, {}));
    EXPECT_TRUE(applies(ParamId::Availability, {{ParamId::RainRate, 30.0}}));
    EXPECT_TRUE(applies(ParamId::Elevation, {{ParamId::Path, earthSpace}}));
    EXPECT_FALSE(applies(ParamId::RainPolarization, {{ParamId::Path, earthSpace}}));
    EXPECT_TRUE(applies(ParamId::RainRate, {}));
    EXPECT_FALSE(applies(ParamId::TxAntGain, {{ParamId::TxDishDiameter, 1.0}}));
}

// A design of the factors, with the rain feature when a rate is given.
DesignPoint designOf(const LinkFactors& factors, double rainRate = 0.0) {
    Design design;
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        design.setFactor(i, factors.*FactorTable[i].field);
    }
    if (rainRate > 0.0) {
        design.set(ParamId::RainRate, {rainRate, rainRate, {}});
    }
    return design.point();
}

TEST(BudgetSheet, TermsAddUpToTheFadeMargin) {
    LinkFactors strong = DefaultFactors();
    strong.TxAntGain = -12.5;
    strong.LnaGain = 0.0;
    LinkFactors rainy = DefaultFactors();
    rainy.Freq = 23000.0;
    for (const DesignPoint& point :
         {designOf(DefaultFactors()), designOf(strong), designOf(rainy, 60.0)}) {
        const BudgetModel model(point);
        const BudgetSheet sheet = model.evaluate(point);
        double sum = 0.0;
        for (const LinkTerm& term : model.terms(point, sheet)) {
            sum += term.db;
        }
        EXPECT_NEAR(sum, sheet.results.FadeMargin, 1e-9);
    }
}

TEST(DesignSolve, AtTheAnswerTheBudgetWithItsRainHasTheMargin) {
    const struct {
        const char* key;
        double margin;
    } cases[] = {{"Range", 0.0},
                 {"Range", 5.0},
                 {"Weather", 0.0},
                 {"TxPower", 3.0},
                 {"LnaNoiseFigure", -20.0},
                 {"Freq", 2.0}};
    LinkFactors factors = DefaultFactors();
    factors.Freq = 15000.0;
    const DesignPoint point = designOf(factors, 40.0);
    const BudgetModel model(point);
    for (const auto& c : cases) {
        const std::size_t factor = *FindFactor(c.key);
        const SolveAnswer answer = SolveDesign(model, point, factor, c.margin);
        ASSERT_TRUE(answer.solved) << c.key << ": " << answer.why;
        DesignPoint solved = point;
        solved.values[IndexOf(ParamOfFactor(factor))] = answer.value;
        EXPECT_NEAR(model.evaluate(solved).results.FadeMargin, c.margin, 1e-9) << c.key;
    }
}

TEST(DesignSolve, AGainADishSetsIsRefused) {
    Design design;
    design.set(ParamId::TxDishDiameter, {1.0, 1.0, {}});
    const DesignPoint point = design.point();
    const SolveAnswer answer = SolveDesign(BudgetModel(point), point, *FindFactor("TxAntGain"), 0);
    EXPECT_FALSE(answer.solved);
    EXPECT_EQ(answer.why, "another option sets its value");
}

TEST(DesignFile, KeepsEveryValueInTheUnitItWasGivenIn) {
    Design design;
    design.set(ParamId::Range, {25.0 / kKilometresPerMile, 25.0, "km"});
    design.set(ParamId::TxPower, {5.0, 5.0, {}});
    design.set(ParamId::TxHeight, {30.48, 100.0, "ft"});
    design.set(ParamId::RainPolarization, {0.0, 0.0, {}});
    design.set(ParamId::Modulation, {3.0, 3.0, {}});
    const std::string text = DesignToJson(design);
    EXPECT_NE(text.find("\"Range\": {\"value\": 25.0, \"unit\": \"km\"}"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\"RainPolarization\": {\"value\": \"h\"}"), std::string::npos) << text;
    Design read;
    std::string error;
    ASSERT_TRUE(DesignFromJson(text, read, error)) << error;
    EXPECT_TRUE(read == design);
}

TEST(DesignFile, CarriesEveryParameterOfTheRegistry) {
    Design design;
    for (const ParamRow& row : ParamTable) {
        // The default as a bare number in the row's default unit.
        const double value = ParamDefault(row);
        ParamSetting setting{
            value, FromBaseUnit(row.family, row.defaultUnit, value, "").value_or(value), {}};
        std::string error;
        if (row.family == UnitFamily::List) {
            ASSERT_TRUE(ListSetting(row, {"LNA,1,10"}, setting, error)) << error;
        }
        design.set(row.id, setting);
    }
    Design read;
    std::string error;
    ASSERT_TRUE(DesignFromJson(DesignToJson(design), read, error)) << error;
    for (const ParamRow& row : ParamTable) {
        EXPECT_EQ(read.setting(row.id), design.setting(row.id)) << ParamKey(row);
    }
}

TEST(DesignFile, RefusesWhatIsNoValidDesignAndKeepsTheDesign) {
    const std::string head = R"({"format": "quillstone-design", "version": 1, )";
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"{\"format\": ", "it is not JSON (a syntax error at byte"},
        {R"({"format": "other", "version": 1})", "not a design file"},
        {R"({"format": "quillstone-design", "version": 2})", "newer than this program reads"},
        {R"({"format": "quillstone-design", "version": "1"})", "not a version number"},
        {head + R"("extra": 1})", "unknown key 'extra'"},
        {head + R"("parameters": {"Distance": {"value": 1}}})", "unknown key 'Distance'"},
        {head + R"("parameters": {"Range": 5}})", "Range: not {\"value\": ...}"},
        {head + R"("parameters": {"Range": {"value": "far"}}})", "is not a number"},
        {head + R"("parameters": {"Range": {"value": 5, "unit": "dBm"}}})",
         "unit 'dBm' does not fit Range (units: mi, km, m, nmi)"},
        {head + R"("parameters": {"RainRate": {"value": -5}}})",
         "RainRate: -5 is out of range (0 to 1000 mm/h)"},
        {head + R"("parameters": {"RainPolarization": {"value": "x"}}})", "'x' is not h, v or c"},
        {head + R"("parameters": {"Range": {"value": 5, "scale": 2}}})", "unknown member 'scale'"},
    };
    for (const auto& c : cases) {
        Design design;
        design.set(ParamId::Freq, {900.0, 900.0, {}});
        const Design before = design;
        std::string error;
        EXPECT_FALSE(DesignFromJson(c.text, design, error)) << c.text;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
        EXPECT_TRUE(design == before) << c.text;
    }
}

} // namespace
