#pragma once
// The parameters a command line sets: `Key=value` (a factor, with a unit when
// the user gives one) and the options of the design's parameters
// (--rain-rate, --heights, ...), kept in command-line order with the number
// and unit each was given in; and --metric, which shows Range and TxPower in
// metric units beside the window's.
#include "design.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParamAssignment {
    ParamId id;
    ParamSetting setting;
    bool keyValue; // given as Key=value (else by an option)
};

// An option's value whose bounds depend on the path (--availability): its
// range is checked once the design's path is known.
struct PathBoundedValue {
    ParamId id;
    std::string option;
    std::string text; // as given
    double value;
};

struct DesignInputs {
    std::vector<ParamAssignment> settings; // in command-line order; the last one wins
    std::vector<PathBoundedValue> pathBounded;
    bool metric = false;

    void add(ParamId id, ParamSetting setting, bool keyValue = false) {
        settings.push_back({id, std::move(setting), keyValue});
    }
    // True when a Key=value set the parameter.
    bool givesValue(ParamId id) const;
    // Sets every parameter of the command line in the design, in order.
    void applyTo(Design& design) const;
    // "OPTION: 'TEXT' is out of range (BOUNDS)" for a value outside the
    // bounds on the design's path.
    bool checkPathBounds(const DesignPoint& point, std::string& error) const;
};

// "unknown key 'KEY' (keys: Range, Freq, ...)"
std::string UnknownKeyMessage(std::string_view key);

// `Key=value`: the factor's value, with a unit the factor accepts.
bool ParseAssignment(std::string_view arg, DesignInputs& inputs, std::string& error);

// A value of factor `factor` (index into FactorTable): a number, optionally
// followed by a unit the factor accepts. False with a one-line message naming
// the unit and the units the factor accepts, or saying it is not a number.
bool ParseFactorQuantity(std::size_t factor, std::string_view text, Quantity& quantity,
                         std::string& error);

// A plain number for the parameter of an option, within the parameter's
// bounds: "OPTION: 'TEXT' is not a number", "OPTION: 'TEXT' is out of range
// (BOUNDS)" (where the bounds depend on the path: once it is known).
bool ParseNumberOption(std::string_view option, ParamId id, std::string_view text,
                       DesignInputs& inputs, std::string& error);

// One of a choice parameter's names (blanks around it allowed, letter case
// ignored): "OPTION: 'TEXT' is not h, v or c".
bool ParseChoiceOption(std::string_view option, ParamId id, std::string_view text,
                       DesignInputs& inputs, std::string& error);

// "OPTION 'VALUE' is not a number" when the value is not a plain number.
bool ReadOptionNumber(std::string_view option, std::string_view value, double& number,
                      std::string& error);

// A number with a unit of the parameter's family, a bare number in its
// default unit, within its bounds: "OPTION: 'TEXT' is not a number (K, or
// with a unit: K, degC)", "OPTION: 'TEXT' is out of range (BOUNDS)".
bool ParseQuantityOption(std::string_view option, ParamId id, std::string_view text,
                         Quantity& quantity, std::string& error);
// The same, set in the inputs.
bool ParseQuantityOption(std::string_view option, ParamId id, std::string_view text,
                         DesignInputs& inputs, std::string& error);

// One entry of a list parameter (an option given once per entry): appended
// to the entries the command line gave before, which replace a file's list.
// "OPTION: " + the row's reader's message when it refuses the entry.
bool ParseListItemOption(std::string_view option, ParamId id, std::string_view text,
                         DesignInputs& inputs, std::string& error);
