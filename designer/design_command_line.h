#pragma once
// quillstone-design's command line and its texts: --help and --version
// (printed, exit 0, before any window exists), the manual (every input with
// the published source of its formula, from the parameter registry) and
// About.
#include <optional>
#include <string>
#include <vector>

// The answer to the arguments (without the program's name) when they ask
// for no window: the exit status, with what to print on standard output or
// standard error. None: start the window (with FILE when one is given); the
// toolkit's own options (-platform, -style) are left to it.
struct CommandLineAnswer {
    int status = 0;
    std::string out;
    std::string err;
};
std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args);

std::string DesignVersionText(); // "quillstone-design 2.01\n"
std::string DesignHelpText();
std::string DesignManualText();
std::string DesignAboutText();
