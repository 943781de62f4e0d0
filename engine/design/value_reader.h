#pragma once
// The one reader of a parameter's value, wherever it is given: typed on the
// command line or in the design window, or read from a design file. A value
// is a number with a unit of the row's family (a bare number in its default
// unit), one of its named choices, or a list's entries; it is accepted only
// inside the row's domain on the design's path. Every front end puts its own
// name of the parameter before the one message. No Qt.
#include "design.h"

#include <string>
#include <string_view>

enum class ValueFault {
    None,
    NotANumber, // no number, or letters that are no unit at all
    WrongUnit,  // a unit of another family
    OutOfRange, // outside the domain, or not finite
    NotAChoice, // none of a choice parameter's names
    BadEntry,   // a list's entry its reader refuses
};

struct ValueReading {
    ParamSetting setting; // when accepted
    ValueFault fault = ValueFault::None;
    std::string unit;   // WrongUnit: the unit written
    std::string reason; // BadEntry: the entry reader's message
    bool ok() const { return fault == ValueFault::None; }
};

// A typed text (a full stop for the decimal point): a number with a unit of
// the family, a bare number in `pickedUnit` (when not empty) or else in the
// row's default unit; a choice by name or alias; a list's entries parted by
// ';'. Blanks around the text are ignored. `path` is the design's Path value.
ValueReading ReadValueText(const ParamRow& row, std::string_view text, double path,
                           std::string_view pickedUnit = {});

// A number given with its unit ("" for a bare number), as a design file
// holds it.
ValueReading ReadValueNumber(const ParamRow& row, double given, std::string_view unit, double path);

// True when a value in the base unit lies in the row's domain on the path
// (finite, within its bounds there).
bool InDomain(const ParamRow& row, double value, double path);

// The one message of a refused value: `subject` names where it was given
// ("--rain-rate: ", "Range: ", or nothing), `shown` the value as given
// ("'5x'", "50 %"):
//   SUBJECT SHOWN is not a number (DEFAULT, or with a unit: UNITS)
//   SUBJECT unit 'U' does not fit KEY (units: UNITS)
//   SUBJECT SHOWN is out of range (BOUNDS)
//   SUBJECT SHOWN is not h, v or c
//   SUBJECT ENTRY-READER'S MESSAGE
std::string ValueMessage(std::string_view subject, std::string_view shown, const ParamRow& row,
                         const ValueReading& reading, double path);
