#pragma once
// The calculator's command line: one registry of every option (actions and
// the parameters' options alike) and of `Key=value`, each row with its name,
// value syntax, help, group and rules. Parsing, the checks of the rules,
// --help, the man page's OPTIONS and the bash completion all come from it.
#include "calc_design.h"
#include "calc_inputs.h"
#include "calc_report.h"
#include "calc_solve.h"
#include "calc_sweep.h"
#include "sheet_render.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CalcOptions {
    bool help = false;
    bool version = false;
    bool mapsStatus = false; // --itu-maps-status: the maps' list in place of the budget
    bool json = false;
    bool explain = false;
    bool availabilityCurve = false;
    DesignInputs inputs; // Key=value, the parameters' options, --metric
    FileOptions files;   // --config, --design, --save-design
    SweepOptions sweep;  // --sweep, --plot
    SolveOptions solve;  // --solve
    ReportOptions report;
    std::optional<std::string> profileOut; // --profile-out
    std::vector<std::size_t> given;        // times each row was given, by row
};

// The groups of the help text, in its order.
enum class OptionGroup { General, Propagation, Design, Receiver };

// How a shell completes an option's value.
enum class ValueCompletion { None, File, Key, KeyAssignment, Choice };

// A rule of the command line, checked once every option is read, in the
// row's order. The rules between the design's parameters are the engine's
// (design_rules.h), checked on the design once the files are read; these are
// about what is typed:
//   Needs:     "NAME needs OPTION" + text: OPTION must be given too
//   NotWith:   "NAME cannot be combined with OPTION" + text
//   SetsValue: the option sets factor PARAM: a Key=value of it is refused
//              with "NAME sets KEY: " + text
//   SetsSweep: the same for a sweep of it.
//   DesignNeeds: once the files are read, the design must meet `met`:
//              "NAME needs " + what + text.
// In a text, %o stands for the option's name and %k for the factor's key.
enum class RuleKind { Needs, NotWith, SetsValue, SetsSweep, DesignNeeds };
struct OptionRule {
    RuleKind kind;
    const char* option = nullptr;   // Needs, NotWith: the other option's name
    ParamId param = ParamId::Count; // SetsValue, SetsSweep: the factor
    const char* text = "";
    // Checked only when this says so (none: always): a rule of some of the
    // option's values.
    bool (*when)(const CalcOptions& options) = nullptr;
    // DesignNeeds: what the design must meet, and what that is in words.
    bool (*met)(const DesignPoint& point) = nullptr;
    const char* what = nullptr;
};

// What an output file is made from once the budget is known.
struct OutputContext {
    const CalcOptions& options;
    const Design& design;
    const BudgetModel& model;
    const DesignPoint& point;
    const SheetView* view; // the budget (not in a sweep)
    const PlotData* plot;  // the sweep's plot (only in a sweep)
    const PlotRenderer& renderPlot;
    const ReportRenderer& renderReport;
};

// An option that writes a file: its kind and formats (output_file.h), where
// its name is kept, whether it is written before the outputs of the run or
// after them, and how its bytes are made.
struct OutputSpec {
    const char* kind; // "plot": "cannot write plot file ..."
    std::span<const OutputFormat> formats;
    const std::optional<std::string>& (*path)(const CalcOptions& options);
    bool beforeRun;    // written before the budget's own output (else after it)
    bool checkedFirst; // its name checked before the design is (the plot, with its sweep)
    bool (*render)(const OutputContext& context, int format, std::string& bytes,
                   std::string& error);
};

// One option, its fields named. An option of a parameter names it: its
// value is read by the registry's reader into that parameter (`param`), or,
// for a list of parameters given as "A,B[,C]", into each of `parts` in turn,
// the first `requiredParts` of them needed; an option that does anything
// else has its own `apply`. A message of `apply` or of the reader is said
// after the option's name ("--rain-rate: 'x' is not a number"): no option's
// name is spelled anywhere but in its row.
struct OptionRow {
    const char* name;                // "--rain-rate"; "Key=value" for the assignments
    const char* alias = nullptr;     // "-h", or none
    const char* valueName = nullptr; // "R"; none for a flag
    OptionGroup group = OptionGroup::General;
    // The help's heading: none for "NAME VALUE", "" when the row is described
    // under the row before it.
    const char* heading = nullptr;
    const char* help = "";               // the help's lines, each ending in "\n"
    std::string (*moreHelp)() = nullptr; // lines made from a table (units, modulations)
    ValueCompletion completion = ValueCompletion::None;
    ParamId param = ParamId::Count; // the parameter it sets (its choices complete)
    std::array<ParamId, 3> parts{ParamId::Count, ParamId::Count, ParamId::Count};
    std::size_t requiredParts = 0;
    bool (*apply)(const OptionRow& row, std::string_view value, CalcOptions& options,
                  std::string& error) = nullptr;
    std::vector<OptionRule> rules{};
    const OutputSpec* output = nullptr; // none when it writes no file
    bool repeatable = false;            // may be given more than once
};

// Every row, in the help's order within each group; `Key=value` last.
std::span<const OptionRow> OptionTable();

// Reads the arguments (without the program name). False with a one-line
// message naming what was wrong; `options` is then incomplete.
bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error);

// True when the row was given on the command line.
bool Given(const CalcOptions& options, std::string_view name);

// The design that is evaluated, once the files are read: the engine's check
// of its values, rules and features (CheckDesign), with each parameter named
// by its option, then the DesignNeeds rules of the options given.
bool CheckDesignRules(const CalcOptions& options, const Design& design, const DesignPoint& point,
                      std::string& error);

// The option that sets a parameter ("--rain-rate"), or its key when none does
// ("Range": a Key=value).
std::string OptionNameOf(ParamId id);

// The names of the actions whose run-time messages name them.
const char* SolveOptionName();
const char* SweepOptionName();
