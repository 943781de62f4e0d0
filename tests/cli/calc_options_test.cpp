// The command line: what is accepted, how keys and values are read, and a
// one-line message naming the fault for everything else.
#include "calc_help.h"
#include "calc_options.h"
#include "factor_table.h"
#include "link_factors.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

using testing_support::FactorIndex;

namespace {

using testing_support::PrintTo;

struct AcceptedCase {
    const char* name;
    std::vector<std::string> args;
    std::function<void(const CalcOptions&)> check;
};

class AcceptedArguments : public testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedArguments, AreRead) {
    CalcOptions options;
    std::string error;
    ASSERT_TRUE(ParseCalcArguments(GetParam().args, options, error)) << error;
    GetParam().check(options);
}

INSTANTIATE_TEST_SUITE_P(
    Calc, AcceptedArguments,
    testing::Values(
        AcceptedCase{"Nothing",
                     {},
                     [](const CalcOptions& o) {
                         EXPECT_FALSE(o.help || o.json || o.files.configPath || o.sweep.plan ||
                                      o.sweep.plotPath);
                         EXPECT_TRUE(o.inputs.settings.empty());
                     }},
        AcceptedCase{"KeysInAnyCase",
                     {"range=20", "FREQ=2.25e3", "TxAntGain=-12.5", "rxfeedloss= 0.5 "},
                     [](const CalcOptions& o) {
                         const auto& set = o.inputs.settings;
                         ASSERT_EQ(set.size(), 4u);
                         EXPECT_EQ(set[0].id, ParamId::Range);
                         EXPECT_EQ(set[0].setting.value, 20.0);
                         EXPECT_EQ(set[1].id, ParamId::Freq);
                         EXPECT_EQ(set[1].setting.value, 2250.0);
                         EXPECT_EQ(set[2].id, ParamId::TxAntGain);
                         EXPECT_EQ(set[2].setting.value, -12.5);
                         EXPECT_EQ(set[3].id, ParamId::RxFeedLoss);
                         EXPECT_EQ(set[3].setting.value, 0.5);
                     }},
        AcceptedCase{"ConfigBothSpellings",
                     {"--config=a.cfg", "--json"},
                     [](const CalcOptions& o) {
                         EXPECT_EQ(o.files.configPath.value_or(""), "a.cfg");
                         EXPECT_TRUE(o.json);
                     }},
        AcceptedCase{"ConfigSeparateValue",
                     {"--config", "dir/Quillstone.Cfg"},
                     [](const CalcOptions& o) {
                         EXPECT_EQ(o.files.configPath.value_or(""), "dir/Quillstone.Cfg");
                     }},
        AcceptedCase{"SweepWithPlot",
                     {"--sweep", "txantgain=-10:10.5:0.5", "--plot=out.svg"},
                     [](const CalcOptions& o) {
                         ASSERT_TRUE(o.sweep.plan);
                         EXPECT_EQ(o.sweep.plan->factor, FactorIndex(&LinkFactors::TxAntGain));
                         EXPECT_EQ(o.sweep.plan->start, -10.0);
                         EXPECT_EQ(o.sweep.plan->stop, 10.5);
                         EXPECT_EQ(o.sweep.plan->step, 0.5);
                         EXPECT_EQ(o.sweep.plotPath.value_or(""), "out.svg");
                     }},
        AcceptedCase{"DescendingSweep",
                     {"--sweep=Range=100:1:-1"},
                     [](const CalcOptions& o) {
                         ASSERT_TRUE(o.sweep.plan);
                         EXPECT_EQ(o.sweep.plan->step, -1.0);
                     }},
        AcceptedCase{"LastOverrideWins",
                     {"Range=5", "Range=7"},
                     [](const CalcOptions& o) {
                         ASSERT_EQ(o.inputs.settings.size(), 2u);
                         EXPECT_EQ(o.inputs.settings.back().setting.value, 7.0);
                     }},
        AcceptedCase{"HelpBesideAMistake",
                     {"Bogus=1", "--help"},
                     [](const CalcOptions& o) { EXPECT_TRUE(o.help); }},
        AcceptedCase{"ShortHelp", {"-h"}, [](const CalcOptions& o) { EXPECT_TRUE(o.help); }}),
    testing_support::RowName());

struct RejectedCase {
    const char* name;
    std::vector<std::string> args;
    const char* fault; // what the message must name
};

class RejectedArguments : public testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedArguments, NameTheFaultOnOneLine) {
    CalcOptions options;
    std::string error;
    EXPECT_FALSE(ParseCalcArguments(GetParam().args, options, error));
    EXPECT_NE(error.find(GetParam().fault), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Calc, RejectedArguments,
    testing::Values(
        RejectedCase{"UnknownKey", {"Distance=10"}, "unknown key 'Distance'"},
        RejectedCase{"KeyWithSuffix", {"Range2=10"}, "unknown key 'Range2'"},
        RejectedCase{"NotANumber", {"Freq=abc"}, "'abc' of Freq is not a number"},
        RejectedCase{"DecimalComma", {"Freq=2,250"}, "'2,250' of Freq is not a number"},
        RejectedCase{"TrailingText", {"Range=12abc"}, "'12abc' of Range is not a number"},
        RejectedCase{"EmptyValue", {"BitRate="}, "'' of BitRate is not a number"},
        RejectedCase{"Infinity", {"Range=inf"}, "'inf' of Range is not a number"},
        RejectedCase{"Overflow", {"Range=1e999"}, "'1e999' of Range is out of range"},
        RejectedCase{"Hexadecimal", {"Range=0x10"}, "'0x10' of Range is not a number"},
        RejectedCase{"BareWord", {"Range"}, "unexpected argument 'Range'"},
        RejectedCase{"UnknownOption", {"--csv"}, "unknown option '--csv'"},
        RejectedCase{"ConfigWithoutValue", {"--config"}, "--config needs a value"},
        RejectedCase{"ConfigEmpty", {"--config="}, "--config: no file name given"},
        RejectedCase{"ConfigTwice", {"--config", "a", "--config", "b"}, "more than once"},
        RejectedCase{"SweepUnknownKey", {"--sweep", "Speed=1:2:1"}, "unknown key 'Speed'"},
        RejectedCase{"SweepNoEquals", {"--sweep", "Range"}, "not Key=start:stop:step"},
        RejectedCase{"SweepTwoParts", {"--sweep", "Range=1:2"}, "not Key=start:stop:step"},
        RejectedCase{"SweepBadStart", {"--sweep", "Range=a:2:1"}, "start 'a' is not a number"},
        RejectedCase{"SweepBadStop", {"--sweep", "Range=1::1"}, "stop '' is not a number"},
        RejectedCase{"SweepBadStep", {"--sweep", "Range=1:2:x"}, "step 'x' is not a number"},
        RejectedCase{"SweepFourParts", {"--sweep", "Range=1:2:1:4"}, "step '1:4'"},
        RejectedCase{"SweepTwice",
                     {"--sweep=Range=1:2:1", "--sweep=Freq=1:2:1"},
                     "--sweep given more than once"},
        RejectedCase{"PlotWithoutSweep", {"--plot", "a.png"}, "--plot needs --sweep"},
        RejectedCase{"PlotWithoutValue", {"--sweep=Range=1:2:1", "--plot"}, "--plot needs a value"},
        RejectedCase{"JsonWithSweep", {"--json", "--sweep=Range=1:2:1"}, "--json"},
        RejectedCase{"FlagTwice", {"--metric", "--metric"}, "--metric given more than once"},
        RejectedCase{"OptionTwiceInEitherSpelling",
                     {"--rain-rate=5", "--rain-rate", "6"},
                     "--rain-rate given more than once"}),
    testing_support::RowName());

TEST(CalcOptions, HelpNamesEveryOptionAndEveryKey) {
    const std::string help = CalcHelpText();
    for (const char* option : {"--config FILE",
                               "--json",
                               "--sweep Key=start:stop:step",
                               "--plot FILE",
                               "--help",
                               "Exit status",
                               "--rain-rate R",
                               "--availability A",
                               "--polarization h|v|c",
                               "--elevation DEG",
                               "--heights H1,H2",
                               "--tx-dish D[,EFF]",
                               "--rx-dish D[,EFF]",
                               "--solve KEY",
                               "--margin DB",
                               "--metric",
                               "--modulation M",
                               "--ber P",
                               "--coding-gain DB",
                               "--report FILE",
                               "64qam",
                               "nmi",
                               "dBd",
                               "3 --solve"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    for (const FactorRow& row : FactorTable) {
        EXPECT_NE(help.find(std::string("  ") + row.key + " "), std::string::npos) << row.key;
    }
    EXPECT_NE(help.find("TxAntGain"), std::string::npos);
    EXPECT_NE(help.find("1.10"), std::string::npos); // Tx Ant Gain's default, as shown
}

} // namespace

namespace {

// A value each option takes on its own; "1" where none is named here.
std::string exampleValue(const OptionRow& row) {
    const std::map<std::string_view, const char*> values = {
        {"--config", "a.cfg"},         {"--design", "d.json"},     {"--save-design", "d.json"},
        {"--sweep", "Range=1:2:1"},    {"--plot", "p.svg"},        {"--report", "r.pdf"},
        {"--solve", "Range"},          {"--availability", "99.9"}, {"--ber", "1e-6"},
        {"--heights", "1,1"},          {"--stage", "LNA,1,10"},    {"--axial-ratio", "1,1"},
        {"--waveform", "dvbs2:auto"},  {"--modulation", "qpsk"},   {"--station", "45,7"},
        {"--satellite", "0,13,35786"}, {"--tx-site", "45,7"},      {"--rx-site", "45,8"}};
    if (const auto found = values.find(row.name); found != values.end()) {
        return found->second;
    }
    if (row.completion == ValueCompletion::Choice) {
        return ParamRowOf(row.param).choices()[0].name;
    }
    return "1";
}

TEST(OptionRegistry, EveryOptionGivenTwiceIsRefusedUnlessRepeatable) {
    for (const OptionRow& row : OptionTable()) {
        if (row.name[0] != '-' || std::string_view(row.name) == "--help" ||
            std::string_view(row.name) == "--version") {
            continue;
        }
        std::string once = row.name;
        if (row.valueName != nullptr) {
            once += "=" + exampleValue(row);
        }
        CalcOptions options;
        std::string error;
        const bool read = ParseCalcArguments({once, once}, options, error);
        if (row.repeatable) {
            EXPECT_EQ(error.find("given more than once"), std::string::npos) << row.name;
        } else {
            EXPECT_FALSE(read) << row.name;
            EXPECT_EQ(error, std::string(row.name) + " given more than once") << row.name;
        }
    }
}

} // namespace

namespace {

// A rule that names no option, or no parameter, would never fire.
TEST(OptionRegistry, EveryRuleNamesWhatExists) {
    const std::span<const OptionRow> table = OptionTable();
    for (const OptionRow& row : table) {
        for (const OptionRule& rule : row.rules) {
            switch (rule.kind) {
            case RuleKind::Needs:
            case RuleKind::NotWith:
                ASSERT_NE(rule.option, nullptr) << row.name;
                EXPECT_TRUE(std::any_of(table.begin(), table.end(),
                                        [&](const OptionRow& other) {
                                            return std::string_view(other.name) == rule.option;
                                        }))
                    << row.name << " names " << rule.option;
                break;
            case RuleKind::SetsValue:
            case RuleKind::SetsSweep:
                EXPECT_NE(FactorOfParam(ParamRowOf(rule.param)), nullptr)
                    << row.name << ": a rule of a factor's value names no factor";
                break;
            case RuleKind::DesignNeeds:
                EXPECT_TRUE(rule.met != nullptr && rule.what != nullptr) << row.name;
                break;
            }
        }
        for (const ParamId part : row.parts) {
            EXPECT_LE(IndexOf(part), kParamCount) << row.name;
        }
    }
}

// Every parameter an option sets names that option in the design's messages.
TEST(OptionRegistry, EachParameterOfAnOptionIsNamedByIt) {
    for (const OptionRow& row : OptionTable()) {
        if (row.param != ParamId::Count) {
            EXPECT_EQ(OptionNameOf(row.param), row.name);
        }
    }
    EXPECT_EQ(OptionNameOf(ParamId::Range), "Range"); // a factor: its Key=value
    EXPECT_EQ(OptionNameOf(ParamId::TxDishEfficiency), "--tx-dish");
}

} // namespace
