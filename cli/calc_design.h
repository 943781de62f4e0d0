#pragma once
// Where a command line's design comes from: the defaults, then the files it
// names (--config, a window settings file; --design, a design file) in the
// order given, then its own values (Key=value and the parameters' options)
// in the order given: a value typed on the command line wins over a file.
// --save-design writes the design so made.
#include "calc_inputs.h"
#include "output_file.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

struct FileOptions {
    std::optional<std::string> configPath;
    std::optional<std::string> designPath;
    std::optional<std::string> saveDesignPath;
    bool designBeforeConfig = false; // --design was given before --config
};

bool ParseConfigOption(std::string_view value, FileOptions& options, std::string& error);
bool ParseDesignOption(std::string_view value, FileOptions& options, std::string& error);
bool ParseSaveDesignOption(std::string_view value, FileOptions& options, std::string& error);

// The design file's format by extension.
inline constexpr std::array<OutputFormat, 1> kDesignFormats{{{".json", 0}}};

// The design of the command line. False with a one-line message naming the
// file when a file is missing, unreadable or (a design file) not valid.
bool BuildDesign(const FileOptions& files, const DesignInputs& inputs, Design& design,
                 std::string& error);
