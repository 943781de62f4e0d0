#include "calc_solve.h"

#include "calc_options.h"
#include "calc_units.h"
#include "link_calculation.h"
#include "number_text.h"

#include <cmath>

namespace {

double marginOf(const LinkFactors& factors) {
    LinkResults results{};
    CalculateLink(factors, results);
    return results.FadeMargin;
}

// A change of the user's value that reaches the budget within this (the
// rounding of a loss added to it) passes through.
constexpr double kPassThroughTolerance = 1e-9;

// True when a change of the user's value of the factor reaches the effective
// factors unchanged (another option may add to it, e.g. rain to Weather, or
// replace it, e.g. a dish the antenna gain).
bool passesThrough(const LinkFactors& given, std::size_t factor, const EffectiveBudget& effective) {
    double LinkFactors::*field = FactorTable[factor].field;
    LinkFactors probe = given;
    probe.*field = given.*field + 1.0;
    const double change = effective(probe).*field - effective(given).*field;
    return std::fabs(change - 1.0) < kPassThroughTolerance;
}

} // namespace

bool ParseSolveOption(std::string_view value, CalcOptions& options, std::string& error) {
    if (!OptionGivenOnce(options.solveFactor.has_value(), "--solve", error)) {
        return false;
    }
    options.solveFactor = FindFactor(value);
    if (!options.solveFactor) {
        error = "--solve: unknown key '" + std::string(value) + "'";
        return false;
    }
    return true;
}

bool ParseMarginOption(std::string_view value, CalcOptions& options, std::string& error) {
    double margin = 0.0;
    if (!OptionGivenOnce(options.margin.has_value(), "--margin", error) ||
        !ReadOptionNumber("--margin", value, margin, error)) {
        return false;
    }
    options.margin = margin;
    return true;
}

bool CheckSolveOptions(const CalcOptions& options, std::string& error) {
    if (options.margin && !options.solveFactor) {
        error = "--margin needs --solve";
        return false;
    }
    if (options.solveFactor && options.sweep) {
        error = "--solve cannot be combined with --sweep";
        return false;
    }
    return true;
}

SolveAnswer SolveGiven(const LinkFactors& given, std::size_t factor, double margin,
                       const EffectiveBudget& effective) {
    if (!effective || SolveFormOf(factor) == SolveForm::Reference) {
        return SolveFactor(given, factor, margin);
    }
    const FactorRow& row = FactorTable[factor];
    if (SolveFormOf(factor) != SolveForm::Amplitude && SolveFormOf(factor) != SolveForm::Search) {
        if (!passesThrough(given, factor, effective)) {
            return SolveAnswer{false, 0.0, "another option sets its value"};
        }
        return SolveFromMargin(factor, given.*row.field, marginOf(effective(given)), margin);
    }
    return SolveBySearch(
        [&](double x) {
            LinkFactors probe = given;
            probe.*row.field = x;
            return marginOf(effective(probe));
        },
        factor, margin);
}

std::string SolveHeading(const SolvedFactor& solved) {
    return (SolvesForLargest(solved.factor) ? "Largest " : "Least ") +
           std::string(FactorTable[solved.factor].key) + " for a fade margin of " +
           FormatFixed(12, 1, solved.margin) + " dB:";
}

void WriteSolveText(const SolvedFactor& solved, bool metric, BufferedOutput& out) {
    const FactorRow& row = FactorTable[solved.factor];
    out.put(SolveHeading(solved) + "\n");
    const std::string note = metric ? MetricNote(solved.factor, solved.value) : std::string();
    PutBudgetRow(out, row.caption, FactorValueText(row, solved.value), row.unit + note);
    out.put('\n');
}

JsonMember SolveJson(const SolvedFactor& solved) {
    return {"solve", [solved](BufferedOutput& out) {
                const FactorRow& row = FactorTable[solved.factor];
                out.put("{\"fadeMargin\": ");
                PutJsonNumber(out, solved.margin);
                out.put(SolvesForLargest(solved.factor) ? ", \"largest\": true, \"factor\": "
                                                        : ", \"largest\": false, \"factor\": ");
                PutJsonEntry(out, row.key, row.caption, solved.value,
                             FactorValueText(row, solved.value), row.unit);
                // The metric value goes with the answer whether --metric was given or not.
                if (const auto metric = MetricValueOf(solved.factor, solved.value)) {
                    out.put(", \"metric\": ");
                    PutMetricJson(out, *metric);
                }
                out.put('}');
            }};
}

std::string DesignHelpText() {
    std::string text =
        "  --solve KEY     print the value of KEY at which the fade margin is --margin\n"
        "                  (the largest Range, Freq, BitRate, loss or noise figure, the\n"
        "                  least TxPower or gain), then the budget at that value;\n"
        "                  with --json the value at full precision. Not MinEbNoDesired\n"
        "                  (the margin is measured against it); not with --sweep\n"
        "  --margin DB     the fade margin --solve aims at (default 0)\n"
        "  --metric        print Range also in km and TxPower also in dBm, in\n"
        "                  parentheses after the window's units (--json: a \"metric\"\n"
        "                  member)\n"
        "  --modulation M --ber P [--coding-gain DB]\n"
        "                  set MinEbNoDesired to the Eb/No at which the uncoded bit error\n"
        "                  rate of M in white Gaussian noise is P (0 < P < 0.5), less the\n"
        "                  coding gain; print M, P, the required Eb/No and the bit error\n"
        "                  rate at the received Eb/No. M is one of\n"
        "                  ";
    for (const ModulationRow& row : ModulationTable) {
        text += row.name;
        text += &row == &ModulationTable.back() ? "\n" : ", ";
    }
    text += "  --report FILE   write a one-page budget sheet: factors, the budget term by\n"
            "                  term, the verdict, the largest range and the fade margin\n"
            "                  against range; FILE ends in .pdf or .html (self-contained)\n"
            "  Key=NUMBERUNIT  a value may carry a unit, e.g. Range=25km (letters exactly\n"
            "                  as shown):\n";
    // One line per unit of the factors: the keys that share it, its units.
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const std::string_view unit = FactorTable[i].unit;
        bool first = true;
        std::string keys;
        for (std::size_t j = 0; j < FactorTable.size(); ++j) {
            if (std::string_view(FactorTable[j].unit) == unit) {
                first = first && j >= i;
                keys += (keys.empty() ? "" : ", ") + std::string(FactorTable[j].key);
            }
        }
        if (first) {
            text += "                  " + (unit == "dB" ? std::string("the keys in dB") : keys) +
                    ": " + UnitList(i) + (unit == "dBi" ? " (dBi = dBd + 2.15)" : "") + "\n";
        }
    }
    return text;
}
