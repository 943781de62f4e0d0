#pragma once
// The parameters a command line sets: `Key=value` (a factor, with a unit when
// the user gives one) and the options of the design's parameters
// (--rain-rate, --heights, ...), kept in command-line order with the number
// and unit each was given in; and --metric, which shows Range and TxPower in
// metric units beside the window's. Each value is read by the engine's one
// reader (value_reader.h).
#include "design.h"
#include "waveform_choice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParamAssignment {
    ParamId id;
    ParamSetting setting;
    bool keyValue; // given as Key=value (else by an option)
};

struct DesignInputs {
    std::vector<ParamAssignment> settings; // in command-line order; the last one wins
    bool metric = false;

    void add(ParamId id, ParamSetting setting, bool keyValue = false) {
        settings.push_back({id, std::move(setting), keyValue});
    }
    // True when a Key=value set the parameter.
    bool givesValue(ParamId id) const;
    // Sets every parameter of the command line in the design, in order.
    void applyTo(Design& design) const;
};

// "unknown key 'KEY' (keys: Range, Freq, ...)"
std::string UnknownKeyMessage(std::string_view key);

// `Key=value`: the factor's value, with a unit the factor accepts, in its
// domain: "value 'TEXT' of KEY is not a number (...)", "unit 'U' does not
// fit KEY (units: ...)", "value 'TEXT' of KEY is out of range (BOUNDS)".
bool ParseAssignment(std::string_view arg, DesignInputs& inputs, std::string& error);

// The kind of waveform the command line gave, if any.
std::optional<WaveformKind> GivenWaveform(const DesignInputs& inputs);
