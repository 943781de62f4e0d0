#include "calc_help.h"

#include "calc_options.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeadingWidth = 16; // a shorter heading has its first line beside it
const std::string kIndent(18, ' ');

struct GroupRow {
    OptionGroup group;
    const char* heading; // in --help
    const char* title;   // in the man page
};

constexpr GroupRow kGroups[] = {
    {OptionGroup::General, "Options:\n", "General options"},
    {OptionGroup::Propagation,
     "Propagation options (each feeds the budget and adds its own lines and a\n"
     "\"propagation\" member to --json; with --sweep they apply at every point):\n",
     "Propagation options"},
    {OptionGroup::Design, "Link design options:\n", "Link design options"},
    {OptionGroup::Receiver,
     "Receiver and waveform options (each adds the figures of merit: EIRP, received\n"
     "power, the receiver's noise figure and temperature, Tsys, G/T and C/N0, and a\n"
     "\"receiver\" member to --json; a waveform adds a \"waveform\" member):\n",
     "Receiver and waveform options"},
};

std::string headingOf(const OptionRow& row) {
    if (row.heading != nullptr) {
        return row.heading;
    }
    return row.valueName != nullptr ? std::string(row.name) + " " + row.valueName : row.name;
}

std::string helpOf(const OptionRow& row) {
    return std::string(row.help) + (row.moreHelp != nullptr ? row.moreHelp() : std::string());
}

// "  HEADING         first line\n" + the rest indented, or the heading on a
// line of its own when it is too long.
std::string entry(const OptionRow& row) {
    const std::string heading = headingOf(row);
    const std::string help = helpOf(row);
    std::string text = "  " + heading;
    std::size_t start = 0;
    if (heading.size() < kHeadingWidth) {
        text.append(kHeadingWidth - heading.size(), ' ');
        const std::size_t end = help.find('\n');
        text += help.substr(0, end + 1);
        start = end + 1;
    } else {
        text += "\n";
    }
    while (start < help.size()) {
        const std::size_t end = help.find('\n', start);
        text += kIndent + help.substr(start, end + 1 - start);
        start = end + 1;
    }
    return text;
}

bool describedAbove(const OptionRow& row) {
    return row.heading != nullptr && *row.heading == '\0';
}

// roff: a text with its hyphens and backslashes escaped, lines not starting
// with a control character.
std::string roff(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (c == '"') {
            out += "\\(dq";
        } else {
            out += c;
        }
    }
    return out;
}

std::string roffParagraph(const std::string& help) {
    std::string out;
    std::size_t start = 0;
    while (start < help.size()) {
        const std::size_t end = help.find('\n', start);
        std::string line = help.substr(start, end - start);
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            line = "\\&" + line;
        }
        out += roff(line) + "\n";
        start = end + 1;
    }
    return out;
}

std::string words(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& word : list) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

} // namespace

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
        "stop, an exponent allowed, e.g. Freq=2.25e3).\n";
    for (const GroupRow& group : kGroups) {
        text += "\n";
        text += group.heading;
        for (const OptionRow& row : OptionTable()) {
            if (row.group == group.group && !describedAbove(row)) {
                text += entry(row);
            }
        }
    }
    text += "\n"
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

std::string CalcManOptions() {
    std::string text = ".SH OPTIONS\n";
    for (const GroupRow& group : kGroups) {
        text += ".SS \"" + roff(group.title) + "\"\n";
        for (const OptionRow& row : OptionTable()) {
            if (row.group != group.group || describedAbove(row)) {
                continue;
            }
            text += ".TP\n.B \"" + roff(headingOf(row)) + "\"\n" + roffParagraph(helpOf(row));
        }
    }
    return text;
}

std::string CalcBashCompletion() {
    std::vector<std::string> keys;
    for (const FactorRow& row : FactorTable) {
        keys.emplace_back(row.key);
    }
    std::vector<std::string> options;
    std::string cases;
    for (const OptionRow& row : OptionTable()) {
        if (row.name[0] != '-') {
            continue;
        }
        options.emplace_back(row.name);
        if (row.alias != nullptr) {
            options.emplace_back(row.alias);
        }
        if (row.valueName == nullptr) {
            continue;
        }
        std::string action;
        switch (row.completion) {
        case ValueCompletion::File:
            action = "compopt -o filenames 2>/dev/null\n"
                     "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")";
            break;
        case ValueCompletion::Key:
            action = "mapfile -t COMPREPLY < <(compgen -W \"${keys[*]}\" -- \"$cur\")";
            break;
        case ValueCompletion::KeyAssignment:
            action = "compopt -o nospace 2>/dev/null\n"
                     "        mapfile -t COMPREPLY < <(compgen -W \"$(printf '%s= ' "
                     "\"${keys[@]}\")\" -- \"$cur\")";
            break;
        case ValueCompletion::Choice: {
            const ParamRow& param = ParamRowOf(row.param);
            action = "mapfile -t COMPREPLY < <(compgen -W \"" + ChoiceNames(param, " ", " ") +
                     "\" -- \"$cur\")";
            break;
        }
        case ValueCompletion::None:
            action = "# a value of the user's own";
            break;
        }
        cases += "    " + std::string(row.name) + ")\n        " + action +
                 "\n        return\n        ;;\n";
    }
    return "# bash completion for quillstone-calc, generated from its option registry: its\n"
           "# options, the keys of the fourteen factors (as Key=), and the values some\n"
           "# options take.\n"
           "\n"
           "_quillstone_calc() {\n"
           "    local cur prev\n"
           "    cur=${COMP_WORDS[COMP_CWORD]}\n"
           "    prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "\n"
           "    local -a keys=(" +
           words(keys) +
           ")\n"
           "    local options=\"" +
           words(options) +
           "\"\n"
           "\n"
           "    case $prev in\n" +
           cases +
           "    esac\n"
           "\n"
           "    if [[ $cur == -* ]]; then\n"
           "        mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
           "    else\n"
           "        compopt -o nospace 2>/dev/null\n"
           "        mapfile -t COMPREPLY < <(compgen -W \"$(printf '%s= ' \"${keys[@]}\")\" -- "
           "\"$cur\")\n"
           "    fi\n"
           "}\n"
           "complete -F _quillstone_calc quillstone-calc\n";
}
