#pragma once
// --modulation M --ber P [--coding-gain DB]: the minimum Eb/No desired from a
// modulation and a target bit error rate, and the rate the link achieves.
#include "buffered_output.h"
#include "calc_budget.h"
#include "link_factors.h"
#include "modulation.h"

#include <optional>
#include <string>
#include <string_view>

struct CalcOptions;

bool ParseModulationOption(std::string_view value, CalcOptions& options, std::string& error);
bool ParseBerOption(std::string_view value, CalcOptions& options, std::string& error);
bool ParseCodingGainOption(std::string_view value, CalcOptions& options, std::string& error);

// --ber and --coding-gain need --modulation and it needs --ber; a
// MinEbNoDesired value or sweep beside it is refused.
bool CheckModulationOptions(const CalcOptions& options, std::string& error);

struct ModulationPlan {
    const ModulationRow* modulation;
    double ber;          // target, errors per bit
    double codingGain;   // dB
    double requiredEbNo; // dB, uncoded, for the target
};

// The plan of the options (none without --modulation), with MinEbNoDesired
// set to the required Eb/No less the coding gain. False with a one-line
// message when the modulation never reaches the target rate.
bool PrepareModulation(const CalcOptions& options, LinkFactors& factors,
                       std::optional<ModulationPlan>& plan, std::string& error);

// The bit error probability at the received Eb/No (dB), the coding gain
// counted as added Eb/No.
double AchievedBer(const ModulationPlan& plan, double rxEbNo);

// The rows under the budget: caption, value text, unit.
struct TextRow {
    std::string caption;
    std::string text;
    std::string unit;
};
std::vector<TextRow> ModulationRows(const ModulationPlan& plan, double rxEbNo);

void WriteModulationText(const ModulationPlan& plan, double rxEbNo, BufferedOutput& out);
JsonMember ModulationJson(const ModulationPlan& plan, double rxEbNo);
