#pragma once
// One link budget: the factors as the command line sets them, and the
// window's texts for them, as lines or as JSON.
#include "buffered_output.h"
#include "calc_options.h"
#include "link_factors.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Defaults, then the settings file of --config, then the overrides. False with
// a one-line message when the file is missing or cannot be read.
bool BuildFactors(const CalcOptions& options, LinkFactors& factors, std::string& error);

// The results' field names ("FreeSpaceAtten", ...), in ResultTable order:
// the CSV header and the JSON keys.
std::string_view ResultKey(std::size_t index);

// Caption of the bit error performance row, as on the window.
constexpr std::string_view kBepCaption = "Minimum BEP Desired";

// The bit error performance that goes with a minimum Eb/No (errors per bit).
double BitErrorPerformance(double minEbNo);

// Text after a factor's unit, e.g. " (16.09 km)"; table order.
using FactorNotes = std::array<std::string, kFactorCount>;

// Fourteen factor lines, nine result lines, the bit error line: caption,
// value text as the window shows it, unit (and the note, when given).
void WriteBudgetText(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out,
                     const FactorNotes* notes = nullptr);

// A further member of the budget's JSON object, after the bit error
// performance: its name and what writes its value.
struct JsonMember {
    std::string name;
    std::function<void(BufferedOutput&)> writeValue;
};

// The same as one JSON object with the number and the text of each value,
// then the further members in their order.
void WriteBudgetJson(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out,
                     const std::vector<JsonMember>& more = {});

// One line of the text output: caption, value text right-aligned, unit.
void PutBudgetRow(BufferedOutput& out, std::string_view caption, std::string_view value,
                  std::string_view unit);

// JSON pieces: a string with escapes, a number (null when not finite), and
// an entry {"key", "caption", "value", "text", "unit"}.
void PutJsonString(BufferedOutput& out, std::string_view text);
void PutJsonNumber(BufferedOutput& out, double value);
void PutJsonEntry(BufferedOutput& out, std::string_view key, std::string_view caption, double value,
                  std::string_view text, std::string_view unit);
