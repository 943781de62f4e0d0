#pragma once
// The calculator's bottom layer of text: the exit codes, a line of the budget
// (caption, value, unit), the pieces of its JSON, and small text helpers that
// every part of the calculator shares.
#include "buffered_output.h"
#include "units.h"

#include <string>
#include <string_view>

constexpr int kExitDone = 0;
constexpr int kExitOutputFailed = 1; // stdout or an output file could not be written
constexpr int kExitBadArguments = 2;
constexpr int kExitNoSolution = 3; // --solve: no value gives the margin

// True when `text` ends in `suffix`, letter case ignored.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// One line of the text output: caption, value text right-aligned, unit.
void PutBudgetRow(BufferedOutput& out, std::string_view caption, std::string_view value,
                  std::string_view unit);

// JSON pieces: a string with escapes, a number (null when not finite), and
// an entry {"key", "caption", "value", "text", "unit"}.
void PutJsonString(BufferedOutput& out, std::string_view text);
void PutJsonNumber(BufferedOutput& out, double value);
void PutJsonEntry(BufferedOutput& out, std::string_view key, std::string_view caption, double value,
                  std::string_view text, std::string_view unit);

// What a renderer writes into a string rather than a stream.
BufferedOutput::Sink StringSink(std::string& target);
