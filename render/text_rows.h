#pragma once
// The renderers' bottom layer of text: a line of the budget (caption, value,
// unit), the pieces of its JSON, and small text helpers they share.
#include "buffered_output.h"

#include <string>
#include <string_view>

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
