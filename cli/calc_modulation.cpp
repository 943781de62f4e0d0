#include "calc_modulation.h"

#include "calc_options.h"
#include "number_text.h"

#include <cmath>

namespace {

std::string modulationNames() {
    std::string names;
    for (const ModulationRow& row : ModulationTable) {
        names += names.empty() ? "" : ", ";
        names += row.name;
    }
    return names;
}

} // namespace

bool ParseModulationOption(std::string_view value, CalcOptions& options, std::string& error) {
    if (!OptionGivenOnce(options.modulation != nullptr, "--modulation", error)) {
        return false;
    }
    options.modulation = FindModulation(value);
    if (options.modulation == nullptr) {
        error = "unknown modulation '" + std::string(value) + "' (" + modulationNames() + ")";
        return false;
    }
    return true;
}

bool ParseBerOption(std::string_view value, CalcOptions& options, std::string& error) {
    double ber = 0.0;
    if (!OptionGivenOnce(options.ber.has_value(), "--ber", error) ||
        !ReadOptionNumber("--ber", value, ber, error)) {
        return false;
    }
    if (!(ber > 0.0 && ber < 0.5)) {
        error = "--ber " + std::string(value) + " must lie between 0 and 0.5";
        return false;
    }
    options.ber = ber;
    return true;
}

bool ParseCodingGainOption(std::string_view value, CalcOptions& options, std::string& error) {
    double gain = 0.0;
    if (!OptionGivenOnce(options.codingGain.has_value(), "--coding-gain", error) ||
        !ReadOptionNumber("--coding-gain", value, gain, error)) {
        return false;
    }
    options.codingGain = gain;
    return true;
}

bool CheckModulationOptions(const CalcOptions& options, std::string& error) {
    if (options.modulation == nullptr) {
        if (options.ber || options.codingGain) {
            error = std::string(options.ber ? "--ber" : "--coding-gain") + " needs --modulation";
            return false;
        }
        return true;
    }
    if (!options.ber) {
        error = "--modulation needs --ber (the target bit error rate)";
        return false;
    }
    const auto isMinEbNo = [](std::size_t factor) {
        return FactorTable[factor].field == &LinkFactors::MinEbNoDesired;
    };
    for (const FactorOverride& override : options.overrides) {
        if (isMinEbNo(override.factor)) {
            error = "--modulation sets MinEbNoDesired: give one or the other";
            return false;
        }
    }
    if (options.sweep && isMinEbNo(options.sweep->factor)) {
        error = "--modulation sets MinEbNoDesired: it cannot be swept beside it";
        return false;
    }
    return true;
}

bool PrepareModulation(const CalcOptions& options, LinkFactors& factors,
                       std::optional<ModulationPlan>& plan, std::string& error) {
    plan.reset();
    if (options.modulation == nullptr) {
        return true;
    }
    const std::optional<double> required = RequiredEbNo(*options.modulation, *options.ber);
    if (!required) {
        error = std::string(options.modulation->caption) + " does not reach a bit error rate of " +
                ShortestText(*options.ber) + " at any Eb/No";
        return false;
    }
    plan = ModulationPlan{options.modulation, *options.ber, options.codingGain.value_or(0.0),
                          *required};
    factors.MinEbNoDesired = *required - plan->codingGain;
    return true;
}

double AchievedBer(const ModulationPlan& plan, double rxEbNo) {
    return BitErrorProbability(*plan.modulation, rxEbNo + plan.codingGain);
}

std::vector<TextRow> ModulationRows(const ModulationPlan& plan, double rxEbNo) {
    std::vector<TextRow> rows{
        {"Modulation", plan.modulation->caption, ""},
        {"Target BER", FormatExponent(2, 1, plan.ber), ""},
        {"Required Eb/No", FormatFixed(12, 3, plan.requiredEbNo), "dB"},
    };
    if (plan.codingGain != 0.0) {
        rows.push_back({"Coding Gain", FormatFixed(12, 1, plan.codingGain), "dB"});
    }
    rows.push_back({"Achieved BER", FormatExponent(2, 1, AchievedBer(plan, rxEbNo)), ""});
    return rows;
}

void WriteModulationText(const ModulationPlan& plan, double rxEbNo, BufferedOutput& out) {
    for (const TextRow& row : ModulationRows(plan, rxEbNo)) {
        PutBudgetRow(out, row.caption, row.text, row.unit);
    }
}

JsonMember ModulationJson(const ModulationPlan& plan, double rxEbNo) {
    return {"modulation", [plan, rxEbNo](BufferedOutput& out) {
                out.put("{\"name\": ");
                PutJsonString(out, plan.modulation->name);
                out.put(", \"caption\": ");
                PutJsonString(out, plan.modulation->caption);
                const std::pair<const char*, double> numbers[] = {
                    {"targetBer", plan.ber},
                    {"codingGain", plan.codingGain},
                    {"requiredEbNo", plan.requiredEbNo},
                    {"achievedBer", AchievedBer(plan, rxEbNo)},
                };
                for (const auto& [name, value] : numbers) {
                    out.put(", \"");
                    out.put(name);
                    out.put("\": ");
                    PutJsonNumber(out, value);
                }
                out.put('}');
            }};
}
