#pragma once
// One link budget: the factors as the command line sets them, and the
// window's texts for them, as lines or as JSON.
#include "buffered_output.h"
#include "calc_options.h"
#include "link_factors.h"

#include <string>
#include <string_view>

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

// Fourteen factor lines, nine result lines, the bit error line: caption,
// value text as the window shows it, unit.
void WriteBudgetText(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out);

// The same as one JSON object with the number and the text of each value.
void WriteBudgetJson(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out);
