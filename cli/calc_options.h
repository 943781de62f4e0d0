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
    bool json = false;
    bool explain = false;
    bool availabilityCurve = false;
    DesignInputs inputs; // Key=value, the parameters' options, --metric
    FileOptions files;   // --config, --design, --save-design
    SweepOptions sweep;  // --sweep, --plot
    SolveOptions solve;  // --solve
    ReportOptions report;
    std::vector<std::size_t> given; // times each row was given, by row
};

// The groups of the help text, in its order.
enum class OptionGroup { General, Propagation, Design, Receiver };

// How a shell completes an option's value.
enum class ValueCompletion { None, File, Key, KeyAssignment, Choice };

// A rule between options, checked once all are read, in the row's order:
//   Needs:     "NAME needs OTHER" + text
//   NotWith:   "NAME cannot be combined with OTHER" + text
//   SetsValue: the option sets factor OTHER: a Key=value of it is refused
//              with "NAME sets OTHER: " + text
//   SetsSweep: the same for a sweep of it.
//   DesignNeeds: once the files are read, the design must meet `met`
//              (what OTHER stands for): "NAME needs OTHER" + text.
enum class RuleKind { Needs, NotWith, SetsValue, SetsSweep, DesignNeeds };
struct OptionRule {
    RuleKind kind;
    const char* other;
    const char* text = "";
    // Checked only when this says so (none: always): a rule of some of the
    // option's values.
    bool (*when)(const CalcOptions& options) = nullptr;
    // DesignNeeds: what the design must meet.
    bool (*met)(const DesignPoint& point) = nullptr;
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

struct OptionRow {
    const char* name;      // "--rain-rate"; "Key=value" for the assignments
    const char* alias;     // "-h", or none
    const char* valueName; // "R"; none for a flag
    OptionGroup group;
    // The help's heading: none for "NAME VALUE", "" when the row is described
    // under the row before it.
    const char* heading;
    const char* help;          // the help's lines, each ending in "\n"
    std::string (*moreHelp)(); // lines made from a table (units, modulations)
    ValueCompletion completion;
    ParamId choices; // with ValueCompletion::Choice
    bool (*apply)(std::string_view value, CalcOptions& options, std::string& error);
    std::array<OptionRule, 6> rules;
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

// What can only be checked on the design, once the files are read: the
// values whose bounds depend on the path, then the DesignNeeds rules.
bool CheckDesignRules(const CalcOptions& options, const DesignPoint& point, std::string& error);
