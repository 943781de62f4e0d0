// The one reader of a value, the rules between parameters, the one check of
// a design that every program evaluates, and the solver's refusals: a value
// is accepted or refused alike wherever it is given, no accepted design
// gives a result that is not finite, and an answer of the solver gives the
// margin asked.
#include "budget_explain.h"
#include "design_rules.h"
#include "design_solve.h"
#include "value_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kTerrestrial = 0.0;
constexpr double kEarthSpace = 1.0;

const ParamRow& rowOf(const char* key) {
    const ParamRow* row = FindParam(key);
    EXPECT_NE(row, nullptr) << key;
    return *row;
}

TEST(ValueReader, ReadsOrRefusesEachKindOfValue) {
    const struct {
        const char* key;
        const char* text;
        const char* picked; // the unit picked beside a bare number
        double path;
        ValueFault fault;
        double value; // base unit, when read
    } cases[] = {
        {"Range", "25km", "", kTerrestrial, ValueFault::None, 25.0 / 1.609344},
        {"Range", "25", "km", kTerrestrial, ValueFault::None, 25.0 / 1.609344},
        {"Range", "25 mi", "km", kTerrestrial, ValueFault::None, 25.0},
        {"Range", "-5km", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"Range", "0", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"Range", "1e999", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"Range", "abc", "", kTerrestrial, ValueFault::NotANumber, 0},
        {"Range", "5 dBm", "", kTerrestrial, ValueFault::WrongUnit, 0},
        {"Freq", "18GHz", "", kTerrestrial, ValueFault::None, 18000.0},
        {"Freq", "1e308GHz", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"TxPower", "-10 dBm", "", kTerrestrial, ValueFault::None, 1e-4},
        {"LnaNoiseFigure", "-0.5", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"TxAntGain", "-3", "", kTerrestrial, ValueFault::None, -3.0},
        {"TxDishEfficiency", "55%", "", kTerrestrial, ValueFault::None, 0.55},
        {"TxDishEfficiency", "0", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"TxDishEfficiency", "1.01", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"Availability", "97", "", kTerrestrial, ValueFault::OutOfRange, 0},
        {"Availability", "97", "", kEarthSpace, ValueFault::None, 97.0},
        {"Elevation", "3", "", kTerrestrial, ValueFault::None, 3.0},
        {"Elevation", "3", "", kEarthSpace, ValueFault::OutOfRange, 0},
        {"RainPolarization", " H ", "", kTerrestrial, ValueFault::None, 0.0},
        {"RainPolarization", "x", "", kTerrestrial, ValueFault::NotAChoice, 0},
        {"Temperature", "15", "", kEarthSpace, ValueFault::None, 288.15},
        {"Temperature", "0K", "", kEarthSpace, ValueFault::OutOfRange, 0},
        {"ReceiverStages", "LNA,0.8,30; RX,6,0", "", kTerrestrial, ValueFault::None, 2.0},
        {"ReceiverStages", "LNA,0.8", "", kTerrestrial, ValueFault::BadEntry, 0},
    };
    for (const auto& c : cases) {
        const ValueReading reading = ReadValueText(rowOf(c.key), c.text, c.path, c.picked);
        EXPECT_EQ(reading.fault, c.fault) << c.key << " " << c.text;
        if (c.fault == ValueFault::None) {
            EXPECT_NEAR(reading.setting.value, c.value, 1e-12 * std::max(1.0, c.value))
                << c.key << " " << c.text;
        }
    }
}

TEST(ValueReader, TheDesignFileReadsTheSameDomain) {
    EXPECT_EQ(ReadValueNumber(rowOf("Range"), -5.0, "km", kTerrestrial).fault,
              ValueFault::OutOfRange);
    EXPECT_EQ(ReadValueNumber(rowOf("Range"), 5.0, "dBm", kTerrestrial).fault,
              ValueFault::WrongUnit);
    const ValueReading read = ReadValueNumber(rowOf("Range"), 5.0, "km", kTerrestrial);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.setting.unit, "km");
    EXPECT_EQ(read.setting.given, 5.0);
}

TEST(ValueReader, OneMessageForEachFault) {
    const struct {
        const char* key;
        const char* text;
        double path;
        const char* message;
    } cases[] = {
        {"RainRate", "-5", kTerrestrial, "--rain-rate: '-5' is out of range (0 to 1000 mm/h)"},
        {"Availability", "97", kTerrestrial,
         "--rain-rate: '97' is out of range (99.0 to 99.999 percent)"},
        {"Temperature", "warm", kEarthSpace,
         "--rain-rate: 'warm' is not a number (degC, or with a unit: K, degC)"},
        {"Range", "5 dBm", kTerrestrial,
         "--rain-rate: unit 'dBm' does not fit Range (units: mi, "
         "km, m, nmi)"},
        {"RainPolarization", "x", kTerrestrial, "--rain-rate: 'x' is not h, v or c"},
        {"RainRate", "lots", kTerrestrial, "--rain-rate: 'lots' is not a number"},
    };
    for (const auto& c : cases) {
        const ParamRow& row = rowOf(c.key);
        const ValueReading reading = ReadValueText(row, c.text, c.path);
        EXPECT_EQ(ValueMessage("--rain-rate: ", Quoted(c.text), row, reading, c.path), c.message);
    }
}

std::string keyOf(ParamId id) {
    return ParamKey(ParamRowOf(id));
}

TEST(DesignRules, EveryRuleNamesAParameterAndAValueThatExist) {
    for (const DesignRule& rule : DesignRules()) {
        EXPECT_LT(IndexOf(rule.subject), kParamCount);
        EXPECT_LT(IndexOf(rule.other.id), kParamCount) << keyOf(rule.subject);
        for (const RuleTarget& target : {rule.other, rule.orOther}) {
            if (target.value != nullptr) {
                ASSERT_LT(IndexOf(target.id), kParamCount);
                EXPECT_TRUE(FindChoice(ParamRowOf(target.id), target.value))
                    << keyOf(rule.subject) << " names " << target.value;
            }
        }
    }
}

// A parameter that applies only with another one set cannot be set alone: its
// rule says so, rather than its value being silently ignored.
TEST(DesignRules, EveryParameterThatNeedsAnotherHasItsRule) {
    for (const ParamRow& row : ParamTable) {
        if (row.needs == ParamId::Count) {
            continue;
        }
        DesignPoint point = Design().point();
        point.set.set(IndexOf(row.id));
        const bool refused = std::any_of(DesignRules().begin(), DesignRules().end(),
                                         [&](const DesignRule& r) { return !RuleMet(r, point); });
        EXPECT_TRUE(refused) << ParamKey(row) << " alone breaks no rule";
    }
}

Design designOf(std::initializer_list<std::pair<const char*, const char*>> values) {
    // Read on no path: a value the design's own path refuses is the check's.
    const double anyPath = std::numeric_limits<double>::quiet_NaN();
    Design design;
    for (const auto& [key, text] : values) {
        const ParamRow& row = rowOf(key);
        const ValueReading reading = ReadValueText(row, text, anyPath);
        EXPECT_TRUE(reading.ok()) << key << "=" << text;
        design.set(row.id, reading.setting);
    }
    return design;
}

TEST(CheckDesign, NamesTheParameterThatStopsTheEvaluation) {
    const struct {
        Design design;
        ParamId param; // ParamId::Count: the design can be evaluated
        const char* message;
    } cases[] = {
        {designOf({{"RainRate", "40"}, {"RainPolarization", "h"}}), ParamId::Count, ""},
        {designOf({{"RainPolarization", "h"}}), ParamId::RainPolarization,
         "RainPolarization needs RainRate"},
        {designOf({{"Availability", "99.9"}}), ParamId::Availability,
         "Availability needs RainRate or Path earth-space"},
        {designOf({{"Modulation", "qpsk"}, {"TargetBer", "1e-6"}, {"Waveform", "dvbs2:qpsk-1/2"}}),
         ParamId::Waveform, "Waveform cannot be combined with Modulation"},
        {designOf({{"Path", "earth-space"}, {"Elevation", "30"}, {"Availability", "97"}}),
         ParamId::Count, ""},
        {designOf({{"RainRate", "40"}, {"Availability", "97"}}), ParamId::Availability,
         "Availability: '97' is out of range (99.0 to 99.999 percent)"},
        {designOf({{"Path", "earth-space"}}), ParamId::Elevation,
         "an Earth-space path needs the elevation of the satellite, 5 to 90 degrees"},
        {designOf({{"Path", "earth-space"}, {"Elevation", "30"}, {"RainRate", "40"}}),
         ParamId::Latitude, "rain on an Earth-space path needs the station's latitude"},
    };
    for (const auto& c : cases) {
        const std::optional<DesignFault> fault = CheckDesign(c.design, c.design.point(), keyOf);
        if (c.param == ParamId::Count) {
            EXPECT_FALSE(fault) << fault->message;
            continue;
        }
        ASSERT_TRUE(fault) << c.message;
        EXPECT_EQ(fault->param, c.param) << c.message;
        EXPECT_EQ(fault->message, c.message);
    }
}

// A value is shown as the design gave it ("3 deg" from the file), not as its
// base value.
TEST(CheckDesign, ShowsAValueAsTheDesignGaveIt) {
    const Design design = designOf({{"Path", "earth-space"}, {"Elevation", "3 deg"}});
    const std::optional<DesignFault> fault = CheckDesign(design, design.point(), keyOf);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->message, "Elevation: '3 deg' is out of range (5 to 90 degrees)");
    // A point away from the design (a sweep's) shows its own number.
    DesignPoint swept = design.point();
    swept.values[IndexOf(ParamId::Elevation)] = 4.5;
    EXPECT_EQ(GivenValueText(design, ParamId::Elevation, swept), "4.5");
}

// Every parameter at the ends of its domain, on designs with every feature:
// a design that is accepted never gives a result, a term or a line that is
// not finite.
double nearEnd(const ParamRow& row, bool high) {
    const double end = high ? row.high : row.low;
    if (!std::isfinite(end)) {
        return high ? 1e300 : -1e300;
    }
    const bool open = high ? row.highOpen : row.lowOpen;
    const double step = std::max(std::fabs(end) * 1e-9, 1e-300);
    return open ? (high ? end - step : end + step) : end;
}

void expectFinite(const Design& design, const std::string& what) {
    const DesignPoint point = design.point();
    if (CheckDesign(design, point, keyOf)) {
        return; // refused with a message, nothing evaluated
    }
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    for (const ResultRow& row : ResultTable) {
        EXPECT_TRUE(std::isfinite(sheet.results.*row.field)) << what << ": " << row.caption;
    }
    for (const LinkTerm& term : model.terms(point, sheet)) {
        EXPECT_TRUE(std::isfinite(term.db)) << what << ": term " << term.key;
    }
    for (const SheetSection& section : model.sections(point, sheet)) {
        for (const SheetLine& line : section.lines) {
            EXPECT_TRUE(std::isfinite(line.value)) << what << ": " << line.key;
            EXPECT_EQ(line.text.find("nan"), std::string::npos) << what << ": " << line.key;
            EXPECT_EQ(line.text.find("inf"), std::string::npos) << what << ": " << line.key;
        }
    }
    const BudgetExplanation explanation = ExplainBudget(model, point, sheet);
    EXPECT_TRUE(std::isfinite(explanation.fadeMargin)) << what;
}

// The count of sections known from the features alone is the count the
// evaluated budget gives: for every parameter set alone (as the design
// window asks whether one brings a feature in) and for designs with many.
TEST(BudgetModel, SectionCountIsTheSectionsEvaluated) {
    std::vector<std::pair<std::string, DesignPoint>> points;
    points.emplace_back("plain", Design().point());
    for (const ParamRow& row : ParamTable) {
        DesignPoint point = Design().point();
        point.set.set(IndexOf(row.id));
        points.emplace_back(ParamKey(row), point);
    }
    points.emplace_back("terrestrial", designOf({{"RainRate", "40"},
                                                 {"TxHeight", "30"},
                                                 {"Modulation", "qpsk"},
                                                 {"Gas", "on"},
                                                 {"AntennaTemperature", "150"},
                                                 {"TxPointingError", "0.1"}})
                                           .point());
    points.emplace_back("earth-space", designOf({{"Freq", "20GHz"},
                                                 {"Path", "earth-space"},
                                                 {"Elevation", "30"},
                                                 {"RainRate", "40"},
                                                 {"CloudLiquid", "0.5"},
                                                 {"ReceiverStages", "LNA,0.8,30; RX,6,10"}})
                                           .point());
    std::size_t withSections = 0;
    for (const auto& [what, point] : points) {
        const BudgetModel model(point);
        std::string error;
        if (!model.check(point, error)) {
            continue;
        }
        const std::size_t evaluated = model.sections(point, model.evaluate(point)).size();
        EXPECT_EQ(model.sectionCount(), evaluated) << what;
        withSections += evaluated > 0 ? 1 : 0;
    }
    EXPECT_GT(withSections, 2U); // the table does reach designs with features
}

TEST(CheckDesign, EveryAcceptedExtremeValueGivesFiniteResults) {
    const Design terrestrial = designOf({{"RainRate", "40"},
                                         {"TxHeight", "30"},
                                         {"RxHeight", "20"},
                                         {"TxDishDiameter", "1.2"},
                                         {"RxDishDiameter", "1.2"},
                                         {"Modulation", "qpsk"},
                                         {"TargetBer", "1e-6"},
                                         {"Gas", "on"},
                                         {"AntennaTemperature", "150"},
                                         {"Bandwidth", "1e6"},
                                         {"TxPointingError", "0.1"},
                                         {"TxAxialRatio", "1"}});
    const Design earthSpace = designOf({{"Freq", "20GHz"},
                                        {"Path", "earth-space"},
                                        {"Elevation", "30"},
                                        {"RainRate", "40"},
                                        {"Latitude", "45"},
                                        {"IsothermHeight", "3"},
                                        {"CloudLiquid", "0.5"},
                                        {"RxDishDiameter", "1.2"},
                                        {"ReceiverStages", "LNA,0.8,30; RX,6,10"},
                                        {"SkyNoise", "sky"},
                                        {"Bandwidth", "1e6"},
                                        {"Waveform", "dvbs2:8psk-3/4"},
                                        {"SymbolRate", "1e6"},
                                        {"SatelliteAltitude", "35786"}});
    for (const Design& base : {terrestrial, earthSpace}) {
        const std::optional<DesignFault> refused = CheckDesign(base, base.point(), keyOf);
        ASSERT_FALSE(refused) << refused->message;
        for (const ParamRow& row : ParamTable) {
            if (row.family == UnitFamily::List || row.choices != nullptr) {
                continue;
            }
            for (const bool high : {false, true}) {
                const double value = nearEnd(row, high);
                Design design = base;
                design.set(row.id, ParamSetting{value, value, {}});
                expectFinite(design, std::string(ParamKey(row)) + "=" + ShortestText(value));
            }
        }
    }
}

TEST(SolveDesign, AnAdaptiveModcodIsRefusedSayingWhy) {
    const Design design = designOf({{"Freq", "20GHz"}, {"Waveform", "dvbs2:auto"}});
    const DesignPoint point = design.point();
    const SolveAnswer answer =
        SolveDesign(BudgetModel(point), point, IndexOf(ParamId::TxPower), 3.0);
    EXPECT_FALSE(answer.solved);
    EXPECT_NE(answer.why.find("fix the MODCOD"), std::string::npos) << answer.why;
}

// An answer outside what a model holds for is no answer, for the window as
// for the calculator: the gases of an Earth-space path hold from 1 GHz, and a
// margin of 60 dB more is reached only far below it.
TEST(SolveDesign, AnAnswerOutsideAModelIsRefusedSayingWhere) {
    const Design design =
        designOf({{"Freq", "2GHz"}, {"Path", "earth-space"}, {"Elevation", "30"}});
    const DesignPoint point = design.point();
    const BudgetModel model(point);
    const double margin = model.evaluate(point).results.FadeMargin + 60.0;
    const SolveAnswer answer = SolveDesign(model, point, IndexOf(ParamId::Freq), margin);
    EXPECT_FALSE(answer.solved);
    EXPECT_EQ(answer.why.rfind("at ", 0), 0u) << answer.why;
    EXPECT_NE(answer.why.find("GHz"), std::string::npos) << answer.why;
}

// What the solver answers, evaluated, gives the margin asked.
TEST(SolveDesign, EveryAnswerGivesTheMarginAsked) {
    const Design designs[] = {
        designOf({{"RainRate", "40"}, {"RxDishDiameter", "1.2"}}),
        designOf({{"Freq", "20GHz"},
                  {"Path", "earth-space"},
                  {"Elevation", "30"},
                  {"RainRate", "40"},
                  {"Latitude", "45"},
                  {"Waveform", "dvbs2:qpsk-1/2"}}),
    };
    for (const Design& design : designs) {
        const DesignPoint point = design.point();
        const BudgetModel model(point);
        for (std::size_t factor = 0; factor < kFactorCount; ++factor) {
            const SolveAnswer answer = SolveDesign(model, point, factor, 3.0);
            if (!answer.solved) {
                continue;
            }
            DesignPoint solved = point;
            solved.values[IndexOf(ParamOfFactor(factor))] = answer.value;
            EXPECT_NEAR(model.evaluate(solved).results.FadeMargin, 3.0, kSolveTolerance)
                << FactorTable[factor].key;
        }
    }
}

} // namespace
