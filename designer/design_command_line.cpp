#include "design_command_line.h"

#include "parameters.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kProgram = "quillstone-design";

} // namespace

std::string DesignVersionText() {
    return std::string(kProgram) + " " + QUILLSTONE_VERSION + "\n";
}

std::string DesignHelpText() {
    return std::string("Usage: ") + kProgram +
           " [FILE]\n"
           "Design a radio link as a live link budget sheet; FILE is a design file to open.\n"
           "\n"
           "  -h, --help     print this text\n"
           "  --version      print the program's version\n";
}

std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args) {
    const auto asked = [&args](std::initializer_list<const char*> names) {
        return std::any_of(args.begin(), args.end(), [&names](const std::string& arg) {
            return std::find(names.begin(), names.end(), arg) != names.end();
        });
    };
    if (asked({"--help", "-h"}))
        return CommandLineAnswer{0, DesignHelpText(), {}};
    if (asked({"--version"}))
        return CommandLineAnswer{0, DesignVersionText(), {}};
    return std::nullopt;
}

std::string DesignManualText() {
    std::string text =
        "Quillstone Link Designer\n"
        "\n"
        "Every input of a design, by group, with its unit and what it does, and the\n"
        "published source of its formula where it has one. The link closes when its\n"
        "fade margin is at least the Required Fade Margin.\n";
    // The groups in their order, as the registry's rows name them.
    std::vector<ParamGroup> groups;
    for (const ParamRow& row : ParamTable)
        groups.push_back(row.group);
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    for (const ParamGroup group : groups) {
        text += std::string("\n") + ParamGroupTitle(group) + "\n";
        for (const ParamRow& row : ParamTable) {
            if (row.group != group)
                continue;
            text += std::string("  ") + ParamCaption(row) + " (" + ParamKey(row);
            const std::string unit = ParamUnitLabel(row);
            text += unit.empty() ? ")" : ", " + unit + ")";
            text += std::string(": ") + row.help + "\n";
            if (row.source != nullptr && *row.source != '\0')
                text += std::string("    Formula: ") + row.source + "\n";
        }
    }
    return text;
}

std::string DesignAboutText() {
    return std::string("Quillstone Link Designer ") + QUILLSTONE_VERSION +
           "\n"
           "The link budget of a digital radio link as a sheet, on the same model as\n"
           "quillstone-calc.\n";
}
