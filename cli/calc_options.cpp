#include "calc_options.h"

#include "calc_modulation_options.h"
#include "calc_propagation_options.h"
#include "calc_text.h"
#include "design_json.h"

#include <algorithm>

namespace {

using O = CalcOptions;
using V = ValueCompletion;
using G = OptionGroup;
using R = RuleKind;

// Adapters from a row to its feature's own options.
template <auto Member, auto Parse> bool into(std::string_view v, O& o, std::string& e) {
    return Parse(v, o.*Member, e);
}
template <auto Parse> bool input(std::string_view v, O& o, std::string& e) {
    return Parse(v, o.inputs, e);
}
bool setJson(std::string_view, O& o, std::string&) {
    o.json = true;
    return true;
}
bool setMetric(std::string_view, O& o, std::string&) {
    o.inputs.metric = true;
    return true;
}
bool setHelp(std::string_view, O& o, std::string&) {
    o.help = true;
    return true;
}

std::string modulationList() {
    return ModulationNames() + "\n";
}

// One line per unit family of the factors: the keys that share it, its units.
std::string unitLines() {
    std::string text;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const UnitFamily family = FactorTable[i].units;
        bool first = true;
        std::string keys;
        for (std::size_t j = 0; j < FactorTable.size(); ++j) {
            if (FactorTable[j].units == family) {
                first = first && j >= i;
                keys += (keys.empty() ? "" : ", ") + std::string(FactorTable[j].key);
            }
        }
        if (first) {
            text += (family == UnitFamily::Decibel ? std::string("the keys in dB") : keys) + ": " +
                    UnitList(family) +
                    (family == UnitFamily::AntennaGain ? " (dBi = dBd + 2.15)" : "") + "\n";
        }
    }
    return text;
}

constexpr ParamId kNoChoice = ParamId::Count;

bool renderPlotFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.plot != nullptr && c.renderPlot &&
           c.renderPlot(*c.plot, static_cast<PlotFormat>(format), bytes, error);
}

bool renderReportFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.view != nullptr && c.renderReport &&
           c.renderReport(BuildReportData(*c.view, c.model, c.point),
                          static_cast<ReportFormat>(format), bytes, error);
}

bool renderDesignFile(const OutputContext& c, int, std::string& bytes, std::string&) {
    bytes = DesignToJson(c.design);
    return true;
}

const OutputSpec kDesignOutput{
    "design",
    kDesignFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.files.saveDesignPath; },
    true,
    false,
    renderDesignFile};
const OutputSpec kPlotOutput{
    "plot",
    kPlotFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.sweep.plotPath; },
    false,
    true,
    renderPlotFile};
const OutputSpec kReportOutput{
    "report",
    kReportFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.report.path; },
    false,
    false,
    renderReportFile};

// clang-format off
const OptionRow kOptionTable[] = {
    {"--config", nullptr, "FILE", G::General, nullptr,
     "read the factors from a link settings file such as\n"
     "Quillstone.Cfg, exactly as the window reads it at start\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseConfigOption>, {}},
    {"--design", nullptr, "FILE", G::General, nullptr,
     "read a design file (JSON, \"format\": \"quillstone-design\"): its\n"
     "values in the units they were given in; the values of the\n"
     "command line win over it, and of --config and --design the\n"
     "later one given\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseDesignOption>, {}},
    {"--save-design", nullptr, "FILE", G::General, nullptr,
     "write the design of this command line (every value set, in\n"
     "the unit it was given in) to FILE, which ends in .json, then\n"
     "run as without it\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseSaveDesignOption>, {}, &kDesignOutput},
    {"--json", nullptr, nullptr, G::General, nullptr,
     "print the factors, the results and the bit error performance\n"
     "as JSON, each with its number, its text and its unit\n"
     "(not with --sweep)\n",
     nullptr, V::None, kNoChoice, setJson,
     {{{R::NotWith, "--sweep", " (a sweep is written as CSV)"}}}},
    {"--sweep", nullptr, "Key=start:stop:step", G::General, nullptr,
     "evaluate the link at start, start+step, ... up to stop and\n"
     "print CSV: the swept value and the nine results as plain\n"
     "numbers (Reliability in percent); at most 10000000 points.\n"
     "Sweeping Range also prints the largest range with a fade\n"
     "margin >= 0 dB on standard error\n",
     nullptr, V::KeyAssignment, kNoChoice, into<&O::sweep, ParseSweepOption>, {}},
    {"--plot", nullptr, "FILE", G::General, nullptr,
     "with --sweep: draw received Eb/No and fade margin against the\n"
     "swept factor, the minimum Eb/No desired as a line and the\n"
     "0 dB fade margin crossing marked; FILE ends in .svg or .png\n",
     nullptr, V::File, kNoChoice, into<&O::sweep, ParsePlotOption>,
     {{{R::Needs, "--sweep"}}}, &kPlotOutput},
    {"--help", "-h", nullptr, G::General, "-h, --help", "print this text\n", nullptr, V::None,
     kNoChoice, setHelp, {}},

    {"--rain-rate", nullptr, "R", G::Propagation, nullptr,
     "add the rain loss of ITU-R P.838-3 and P.530-17 to Weather:\n"
     "R is the rain rate in mm/h exceeded 0.01 % of the time;\n"
     "the path is Range, the frequency Freq (no rain loss below\n"
     "1 GHz). Prints k, alpha, the specific attenuation, the\n"
     "distance factor r, the effective path and the rain loss\n",
     nullptr, V::None, kNoChoice, input<ParseRainRateOption>, {}},
    {"--availability", nullptr, "A", G::Propagation, nullptr,
     "with --rain-rate: the percentage of the year the link must\n"
     "hold, 99.0 to 99.999 (default 99.99)\n",
     nullptr, V::None, kNoChoice, input<ParseAvailabilityOption>,
     {{{R::Needs, "--rain-rate"}}}},
    {"--polarization", nullptr, "h|v|c", G::Propagation, nullptr,
     "with --rain-rate: horizontal, vertical or circular\n"
     "(default v)\n",
     nullptr, V::Choice, ParamId::RainPolarization, input<ParsePolarizationOption>,
     {{{R::Needs, "--rain-rate"}}}},
    {"--elevation", nullptr, "DEG", G::Propagation, nullptr,
     "with --rain-rate: the path's elevation, 0 to 90 (default 0)\n",
     nullptr, V::None, kNoChoice, input<ParseElevationOption>, {{{R::Needs, "--rain-rate"}}}},
    {"--heights", nullptr, "H1,H2", G::Propagation, nullptr,
     "antenna heights above a smooth earth, metres or with ft\n"
     "(30,20 or 100ft,60ft): prints the radio horizon of a 4/3\n"
     "earth, the first Fresnel zone radius, the earth bulge and\n"
     "the clearance at mid-path, and says when Range is beyond\n"
     "the horizon or the clearance is under 0.6 of the zone\n",
     nullptr, V::None, kNoChoice, input<ParseHeightsOption>, {}},
    {"--tx-dish", nullptr, "D[,EFF]", G::Propagation, "--tx-dish D[,EFF], --rx-dish D[,EFF]",
     "the antenna gain of a dish D metres (or with ft) across,\n"
     "aperture efficiency EFF as 0.55 or 55% (default 0.55), in\n"
     "place of TxAntGain / RxAntGain (giving both is an error);\n"
     "prints the gain and the half-power beamwidth\n",
     nullptr, V::None, kNoChoice, input<ParseTxDishOption>,
     {{{R::SetsSweep, "TxAntGain", "give TxAntGain a sweep or --tx-dish, not both"},
       {R::SetsValue, "TxAntGain", "give TxAntGain=value or --tx-dish, not both"}}}},
    {"--rx-dish", nullptr, "D[,EFF]", G::Propagation, "", "", nullptr, V::None, kNoChoice,
     input<ParseRxDishOption>,
     {{{R::SetsSweep, "RxAntGain", "give RxAntGain a sweep or --rx-dish, not both"},
       {R::SetsValue, "RxAntGain", "give RxAntGain=value or --rx-dish, not both"}}}},

    {"--solve", nullptr, "KEY", G::Design, nullptr,
     "print the value of KEY at which the fade margin is --margin\n"
     "(the largest Range, Freq, BitRate, loss or noise figure, the\n"
     "least TxPower or gain), then the budget at that value;\n"
     "with --json the value at full precision. Not MinEbNoDesired\n"
     "(the margin is measured against it); not with --sweep\n",
     nullptr, V::Key, kNoChoice, into<&O::solve, ParseSolveOption>,
     {{{R::NotWith, "--sweep"}}}},
    {"--margin", nullptr, "DB", G::Design, nullptr,
     "the fade margin --solve aims at (default 0)\n", nullptr, V::None, kNoChoice,
     input<ParseMarginOption>, {{{R::Needs, "--solve"}}}},
    {"--metric", nullptr, nullptr, G::Design, nullptr,
     "print Range also in km and TxPower also in dBm, in\n"
     "parentheses after the window's units (--json: a \"metric\"\n"
     "member)\n",
     nullptr, V::None, kNoChoice, setMetric, {}},
    {"--modulation", nullptr, "M", G::Design, "--modulation M --ber P [--coding-gain DB]",
     "set MinEbNoDesired to the Eb/No at which the uncoded bit error\n"
     "rate of M in white Gaussian noise is P (0 < P < 0.5), less the\n"
     "coding gain; print M, P, the required Eb/No and the bit error\n"
     "rate at the received Eb/No. M is one of\n",
     modulationList, V::Choice, ParamId::Modulation, input<ParseModulationOption>,
     {{{R::Needs, "--ber", " (the target bit error rate)"},
       {R::SetsValue, "MinEbNoDesired", "give one or the other"},
       {R::SetsSweep, "MinEbNoDesired", "it cannot be swept beside it"}}}},
    {"--ber", nullptr, "P", G::Design, "", "", nullptr, V::None, kNoChoice,
     input<ParseBerOption>, {{{R::Needs, "--modulation"}}}},
    {"--coding-gain", nullptr, "DB", G::Design, "", "", nullptr, V::None, kNoChoice,
     input<ParseCodingGainOption>, {{{R::Needs, "--modulation"}}}},
    {"--report", nullptr, "FILE", G::Design, nullptr,
     "write a one-page budget sheet: factors, the budget term by\n"
     "term, the verdict, the largest range and the fade margin\n"
     "against range; FILE ends in .pdf or .html (self-contained)\n",
     nullptr, V::File, kNoChoice, into<&O::report, ParseReportOption>,
     {{{R::NotWith, "--sweep", " (the report draws its own range sweep)"}}}, &kReportOutput},
    {"Key=value", nullptr, nullptr, G::Design, "Key=NUMBERUNIT",
     "a value may carry a unit, e.g. Range=25km (letters exactly\n"
     "as shown):\n",
     unitLines, V::KeyAssignment, kNoChoice, input<ParseAssignment>, {}},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kOptionTable);

bool isAssignmentRow(const OptionRow& row) {
    return row.name[0] != '-';
}

bool flag(const OptionRow& row) {
    return row.valueName == nullptr;
}

// The row an option argument names, and its value when written "--name=value".
const OptionRow* findOption(std::string_view arg, std::optional<std::string_view>& value) {
    for (const OptionRow& row : kOptionTable) {
        if (isAssignmentRow(row)) {
            continue;
        }
        if (arg == row.name || (row.alias != nullptr && arg == row.alias)) {
            return &row;
        }
        const std::string_view name = row.name;
        if (!flag(row) && arg.size() > name.size() && arg.substr(0, name.size()) == name &&
            arg[name.size()] == '=') {
            value = arg.substr(name.size() + 1);
            return &row;
        }
    }
    return nullptr;
}

std::size_t indexOf(const OptionRow& row) {
    return static_cast<std::size_t>(&row - kOptionTable);
}

bool checkRule(const OptionRow& row, const OptionRule& rule, const CalcOptions& options,
               std::string& error) {
    switch (rule.kind) {
    case R::Needs:
        if (!Given(options, rule.other)) {
            error = std::string(row.name) + " needs " + rule.other + rule.text;
            return false;
        }
        return true;
    case R::NotWith:
        if (Given(options, rule.other)) {
            error = std::string(row.name) + " cannot be combined with " + rule.other + rule.text;
            return false;
        }
        return true;
    case R::SetsValue:
    case R::SetsSweep: {
        const std::size_t factor = *FindFactor(rule.other);
        const bool set = rule.kind == R::SetsValue
                             ? options.inputs.givesValue(ParamOfFactor(factor))
                             : options.sweep.plan && options.sweep.plan->factor == factor;
        if (set) {
            error = std::string(row.name) + " sets " + rule.other + ": " + rule.text;
            return false;
        }
        return true;
    }
    }
    return true;
}

// The rules of the options given, once all are read: the link design's
// before the propagation's, as each group's options build on the general ones.
bool checkRules(const CalcOptions& options, std::string& error) {
    for (const OptionGroup group : {G::General, G::Design, G::Propagation}) {
        for (const OptionRow& row : kOptionTable) {
            if (row.group != group || options.given[indexOf(row)] == 0) {
                continue;
            }
            for (const OptionRule& rule : row.rules) {
                if (rule.other != nullptr && !checkRule(row, rule, options, error)) {
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

std::span<const OptionRow> OptionTable() {
    return kOptionTable;
}

bool Given(const CalcOptions& options, std::string_view name) {
    for (const OptionRow& row : kOptionTable) {
        if (name == row.name) {
            return options.given.size() == kRowCount && options.given[indexOf(row)] > 0;
        }
    }
    return false;
}

bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error) {
    options.given.assign(kRowCount, 0);
    // Help wins over everything else, even over a mistake beside it.
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        options.help = true;
        return true;
    }
    const OptionRow& assignment = kOptionTable[kRowCount - 1];
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.size() <= 1 || arg[0] != '-') {
            ++options.given[indexOf(assignment)];
            if (!assignment.apply(arg, options, error)) {
                return false;
            }
            continue;
        }
        std::optional<std::string_view> value;
        const OptionRow* row = findOption(arg, value);
        if (row == nullptr) {
            error = "unknown option " + Quoted(arg) + " (see --help)";
            return false;
        }
        if (!flag(*row) && !value) {
            if (i + 1 >= args.size()) {
                error = std::string(row->name) + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (options.given[indexOf(*row)]++ > 0) {
            error = std::string(row->name) + " given more than once";
            return false;
        }
        if (!row->apply(value.value_or(""), options, error)) {
            return false;
        }
    }
    return checkRules(options, error);
}
