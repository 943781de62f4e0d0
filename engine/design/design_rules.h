#pragma once
// What a design must be to be evaluated, checked by one function on the
// design that is evaluated, whichever program made it and from whatever
// files and typed values: every value that is set lies in its parameter's
// domain on the design's path, no rule between parameters is broken, and
// every feature can evaluate it. The rules are rows naming parameters by id;
// each program names a parameter its own way (the calculator by its option,
// the design window by its caption) in the one message. No Qt.
#include "budget_sheet.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

// A parameter, or one value of a choice parameter ("earth-space" of Path).
struct RuleTarget {
    ParamId id = ParamId::Count; // none
    const char* value = nullptr; // a choice's name, or none: the parameter is set
};

enum class DesignRuleKind {
    Needs,   // once the subject is set, `other` (or `orOther`) must be
    NotWith, // the subject and `other` are not both set
};

struct DesignRule {
    ParamId subject; // the rule applies once it is set
    DesignRuleKind kind;
    RuleTarget other;
    RuleTarget orOther{};  // Needs: the alternative to `other`
    const char* text = ""; // said after the rule, e.g. " (the target bit error rate)"
};

// Every rule, in the order they are checked.
std::span<const DesignRule> DesignRules();

// True when the design meets a rule (a rule whose subject is not set is met).
bool RuleMet(const DesignRule& rule, const DesignPoint& point);

// How a program names a parameter in a message: "--rain-rate", "Rain Rate".
using ParamNamer = std::function<std::string(ParamId)>;

// "NAME needs OTHER[ VALUE][ or OTHER2 VALUE2]TEXT",
// "NAME cannot be combined with OTHER[ VALUE]TEXT".
std::string RuleMessage(const DesignRule& rule, const ParamNamer& name);

// The first thing that stops the design's evaluation at `point` (the
// design's own numbers, or a point of a sweep or solve made from them): a
// set value outside its domain there (shown as the design gave it), a rule,
// or a feature's refusal. None when the point can be evaluated.
std::optional<DesignFault> CheckDesign(const Design& design, const DesignPoint& point,
                                       const ParamNamer& name);

// The text of a set value as the design gave it: "25 km", "0.7", "v".
std::string GivenValueText(const Design& design, ParamId id, const DesignPoint& point);
