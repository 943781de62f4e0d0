#include "calc_options.h"

#include "calc_modulation.h"
#include "calc_report.h"
#include "calc_solve.h"
#include "calc_units.h"
#include "link_factors.h"
#include "number_parse.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string keyList() {
    std::string list;
    for (const FactorRow& row : FactorTable) {
        list += list.empty() ? "" : ", ";
        list += row.key;
    }
    return list;
}

std::string unknownKey(std::string_view key) {
    return "unknown key " + quoted(key) + " (keys: " + keyList() + ")";
}

// Splits "Key=rest" at the first "="; false when there is none.
bool splitAssignment(std::string_view text, std::string_view& key, std::string_view& rest) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        return false;
    }
    key = trim(text.substr(0, eq));
    rest = text.substr(eq + 1);
    return true;
}

bool parseOverride(std::string_view arg, CalcOptions& options, std::string& error) {
    std::string_view key;
    std::string_view text;
    if (!splitAssignment(arg, key, text)) {
        error = "unexpected argument " + quoted(arg) + " (expected Key=value or an option)";
        return false;
    }
    const std::optional<std::size_t> factor = FindFactor(key);
    if (!factor) {
        error = unknownKey(key);
        return false;
    }
    double value = 0.0;
    if (!ParseValueWithUnit(*factor, text, value, error)) {
        return false;
    }
    options.overrides.push_back({*factor, value});
    return true;
}

bool parseSweep(std::string_view plan, CalcOptions& options, std::string& error) {
    std::string_view key;
    std::string_view range;
    if (!splitAssignment(plan, key, range)) {
        error = "--sweep " + quoted(plan) + " is not Key=start:stop:step";
        return false;
    }
    const std::optional<std::size_t> factor = FindFactor(key);
    if (!factor) {
        error = "--sweep: " + unknownKey(key);
        return false;
    }
    static constexpr std::array<const char*, 3> kParts{"start", "stop", "step"};
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        const std::size_t colon = i + 1 < kParts.size() ? range.find(':') : range.size();
        if (colon == std::string_view::npos) {
            error = "--sweep " + quoted(plan) + " is not Key=start:stop:step";
            return false;
        }
        const std::string_view part = range.substr(0, colon);
        if (!ParseFactorValue(part, values[i])) {
            error = std::string("--sweep: ") + kParts[i] + " " + quoted(part) + " is not a number";
            return false;
        }
        range.remove_prefix(std::min(range.size(), colon + 1));
    }
    options.sweep = SweepPlan{*factor, values[0], values[1], values[2]};
    return true;
}

bool setOnce(std::optional<std::string>& slot, std::string_view name, std::string_view value,
             std::string& error) {
    if (!OptionGivenOnce(slot.has_value(), name, error)) {
        return false;
    }
    if (value.empty()) {
        error = std::string(name) + " needs a file name";
        return false;
    }
    slot = std::string(value);
    return true;
}

// An option that takes a value reads it from "--name=value" or from the next
// argument.
struct ValueOption {
    std::string_view name;
    bool (*apply)(std::string_view value, CalcOptions& options, std::string& error);
};

constexpr std::array<ValueOption, 9> kValueOptions{{
    {"--config", [](std::string_view v, CalcOptions& o,
                    std::string& e) { return setOnce(o.configPath, "--config", v, e); }},
    {"--plot", [](std::string_view v, CalcOptions& o,
                  std::string& e) { return setOnce(o.plotPath, "--plot", v, e); }},
    {"--sweep",
     [](std::string_view v, CalcOptions& o, std::string& e) {
         if (o.sweep) {
             e = "--sweep given more than once";
             return false;
         }
         return parseSweep(v, o, e);
     }},
    {"--solve", ParseSolveOption},
    {"--margin", ParseMarginOption},
    {"--modulation", ParseModulationOption},
    {"--ber", ParseBerOption},
    {"--coding-gain", ParseCodingGainOption},
    {"--report", [](std::string_view v, CalcOptions& o,
                    std::string& e) { return setOnce(o.reportPath, "--report", v, e); }},
}};

// -1: not a value option; 0: failed; 1: done (index advanced past its value).
int parseValueOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options,
                     std::string& error) {
    const std::string_view arg = args[i];
    for (const ValueOption& option : kValueOptions) {
        if (arg == option.name) {
            if (i + 1 >= args.size()) {
                error = std::string(option.name) + " needs a value";
                return 0;
            }
            return option.apply(args[++i], options, error) ? 1 : 0;
        }
        if (arg.size() > option.name.size() && arg.substr(0, option.name.size()) == option.name &&
            arg[option.name.size()] == '=') {
            return option.apply(arg.substr(option.name.size() + 1), options, error) ? 1 : 0;
        }
    }
    return -1;
}

bool checkCombination(const CalcOptions& options, std::string& error) {
    if (options.plotPath && !options.sweep) {
        error = "--plot needs --sweep";
        return false;
    }
    if (options.json && options.sweep) {
        error = "--json cannot be combined with --sweep (a sweep is written as CSV)";
        return false;
    }
    if (!CheckSolveOptions(options, error) || !CheckModulationOptions(options, error) ||
        !CheckReportOptions(options, error)) {
        return false;
    }
    return CheckPropagationOptions(options, error);
}

} // namespace

std::optional<std::size_t> FindFactor(std::string_view key) {
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        if (equalNoCase(key, FactorTable[i].key)) {
            return i;
        }
    }
    return std::nullopt;
}

bool OptionGivenOnce(bool givenBefore, std::string_view option, std::string& error) {
    if (givenBefore) {
        error = std::string(option) + " given more than once";
    }
    return !givenBefore;
}

bool ReadOptionNumber(std::string_view option, std::string_view value, double& number,
                      std::string& error) {
    if (!ParseFactorValue(value, number)) {
        error = std::string(option) + " " + quoted(value) + " is not a number";
        return false;
    }
    return true;
}

bool ParseFactorValue(std::string_view text, double& value) {
    const std::string_view trimmed = trim(text);
    double parsed = 0.0;
    if (trimmed.empty() || !TextToDouble(trimmed, parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error) {
    // Help wins over everything else, even over a mistake beside it.
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        options.help = true;
        return true;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--metric") {
            options.metric = true;
            continue;
        }
        int handled = ParsePropagationOption(args, i, options.propagation, error);
        if (handled == -1) {
            handled = parseValueOption(args, i, options, error);
        }
        if (handled == 0) {
            return false;
        }
        if (handled == 1) {
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + quoted(arg) + " (see --help)";
            return false;
        }
        if (!parseOverride(arg, options, error)) {
            return false;
        }
    }
    return checkCombination(options, error);
}

std::string CalcHelpText() {
    std::string text =
        "Usage: quillstone-calc [--config FILE] [--json] [Key=value ...]\n"
        "       quillstone-calc [--config FILE] [Key=value ...] --sweep Key=start:stop:step"
        " [--plot FILE]\n"
        "       quillstone-calc [--config FILE] [Key=value ...] --solve KEY [--margin DB]\n"
        "       quillstone-calc [--config FILE] [Key=value ...] --report FILE\n"
        "\n"
        "Computes the link budget of the Quillstone window from the command line.\n"
        "The factors start at their defaults, then take the values of --config, then\n"
        "the Key=value overrides (letter case of the key ignored; numbers with a full\n"
        "stop, an exponent allowed, e.g. Freq=2.25e3).\n"
        "\n"
        "Options:\n"
        "  --config FILE   read the factors from a link settings file such as\n"
        "                  Quillstone.Cfg, exactly as the window reads it at start\n"
        "  --json          print the factors, the results and the bit error performance\n"
        "                  as JSON, each with its number, its text and its unit\n"
        "                  (not with --sweep)\n"
        "  --sweep Key=start:stop:step\n"
        "                  evaluate the link at start, start+step, ... up to stop and\n"
        "                  print CSV: the swept value and the nine results as plain\n"
        "                  numbers (Reliability in percent); at most 10000000 points.\n"
        "                  Sweeping Range also prints the largest range with a fade\n"
        "                  margin >= 0 dB on standard error\n"
        "  --plot FILE     with --sweep: draw received Eb/No and fade margin against the\n"
        "                  swept factor, the minimum Eb/No desired as a line and the\n"
        "                  0 dB fade margin crossing marked; FILE ends in .svg or .png\n"
        "  -h, --help      print this text\n"
        "\n"
        "Propagation options (each feeds the budget and adds its own lines and a\n"
        "\"propagation\" member to --json; with --sweep they apply at every point):\n" +
        PropagationHelpText() +
        "\n"
        "Link design options:\n" +
        DesignHelpText() +
        "\n"
        "Without --json or --sweep each factor and result is printed on its own line\n"
        "(caption, value as the window shows it, unit), then the bit error performance.\n"
        "\n"
        "Keys (unit, default):\n";
    for (const FactorRow& row : FactorTable) {
        std::string line = "  " + std::string(row.key);
        line.resize(std::max<std::size_t>(line.size() + 1, 18), ' ');
        text += line + row.unit + ", " + FactorValueText(row, row.defaultValue) + "\n";
    }
    text += "\n"
            "Exit status: 0 done; 1 the output or the plot could not be written;\n"
            "2 bad arguments (nothing is written); 3 --solve found no value that gives\n"
            "the margin (one line on standard error says why; nothing is written).\n";
    return text;
}
