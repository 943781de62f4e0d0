#pragma once
// The calculator's command line: what the user asked for, read and checked
// before anything is computed or written.
#include "calc_propagation_options.h"
#include "modulation.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One `Key=value` from the command line, applied after the settings file.
struct FactorOverride {
    std::size_t factor; // index into FactorTable
    double value;       // the factor's engineering unit
};

// `--sweep Key=start:stop:step`: the factor runs over start + i * step.
struct SweepPlan {
    std::size_t factor; // index into FactorTable
    double start;
    double stop;
    double step;
};

struct CalcOptions {
    bool help = false;
    bool json = false;
    std::optional<std::string> configPath;
    std::vector<FactorOverride> overrides; // in command-line order; the last one wins
    std::optional<SweepPlan> sweep;
    std::optional<std::string> plotPath;
    PropagationOptions propagation;
    // Link design: calc_solve.h, calc_units.h, calc_modulation.h, calc_report.h.
    std::optional<std::size_t> solveFactor; // --solve, index into FactorTable
    std::optional<double> margin;           // --margin, dB
    bool metric = false;
    const ModulationRow* modulation = nullptr;
    std::optional<double> ber;        // target, errors per bit
    std::optional<double> codingGain; // dB
    std::optional<std::string> reportPath;
};

// Reads the arguments (without the program name). False with a one-line
// message naming what was wrong; `options` is then incomplete.
bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error);

// The index in FactorTable of a profile key, letter case ignored.
std::optional<std::size_t> FindFactor(std::string_view key);

// A value of a factor: the rules of the settings file (blanks around it
// allowed, decimal notation with an optional exponent, finite), except that
// an empty text is refused: on a command line it is nearly always a shell
// variable that was not set, not a deliberate zero.
bool ParseFactorValue(std::string_view text, double& value);

// The checks every option makes of its value: false with "OPTION given more
// than once" when it was given before; false with "OPTION 'VALUE' is not a
// number" when the value is not a number by ParseFactorValue's rules.
bool OptionGivenOnce(bool givenBefore, std::string_view option, std::string& error);
bool ReadOptionNumber(std::string_view option, std::string_view value, double& number,
                      std::string& error);

// What --help prints: every option, every key with its unit and default.
std::string CalcHelpText();
