#include "calc_design.h"

#include "calc_propagation.h"
#include "calc_run.h"
#include "calc_sweep.h"
#include "calc_units.h"
#include "link_calculation.h"
#include "number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint64_t kChartPoints = 200;
constexpr double kChartReach = 2.0; // the chart runs to this many times the larger range

std::size_t rangeFactor() {
    return static_cast<std::size_t>(
        std::find_if(FactorTable.begin(), FactorTable.end(),
                     [](const FactorRow& row) { return row.field == &LinkFactors::Range; }) -
        FactorTable.begin());
}

// "Largest Range for a fade margin of 0.0 dB: 143.4 Miles"
std::string solvedNote(const CalcOptions& options, const SolvedFactor& solved) {
    const FactorRow& row = FactorTable[solved.factor];
    return SolveHeading(solved) + " " + FactorValueText(row, solved.value) + " " + row.unit +
           (options.metric ? MetricNote(solved.factor, solved.value) : "");
}

std::vector<std::string> propagationLines(const CalcOptions& options, const LinkFactors& given) {
    std::string text;
    BufferedOutput out([&text](std::string_view block) {
        text.append(block);
        return true;
    });
    WritePropagationText(options.propagation, EvaluatePropagation(options.propagation, given), out);
    out.flush();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string largestRangeText(const CalcOptions& options, const LinkFactors& given,
                             double& largest) {
    const std::size_t range = rangeFactor();
    const FactorRow& row = FactorTable[range];
    const SolveAnswer answer = SolveGiven(given, range, 0.0, EffectiveBudgetOf(options));
    largest = answer.solved ? answer.value : 0.0;
    if (!answer.solved) {
        return "No range gives a fade margin of 0 dB: " + answer.why;
    }
    return "Largest range with a fade margin of 0 dB: " + FactorValueText(row, answer.value) + " " +
           row.unit + (options.metric ? MetricNote(range, answer.value) : "");
}

// The margin against range, as --sweep Range --plot draws it.
PlotData rangeChart(const CalcOptions& options, const LinkFactors& given, double largest) {
    double reach = kChartReach * std::max(given.Range, largest);
    if (!(reach > 0.0 && std::isfinite(reach))) {
        reach = kChartReach * FactorTable[rangeFactor()].defaultValue;
    }
    const double step = reach / static_cast<double>(kChartPoints);
    const SweepPlan plan{rangeFactor(), step, reach, step};
    PlotSampler sampler(plan, kChartPoints);
    ZeroCrossings crossings;
    SweepAdjust adjust;
    if (options.propagation.any()) {
        adjust = [&options](LinkFactors& factors) {
            ApplyPropagation(EvaluatePropagation(options.propagation, factors), factors);
        };
    }
    RunSweep(
        given, plan, kChartPoints,
        [&](const SweepSample& sample) {
            crossings.add(sample.x, sample.results.FadeMargin);
            sampler.add(sample);
        },
        adjust);
    PlotData chart = sampler.finish(crossings);
    chart.title = "Fade margin against range";
    return chart;
}

} // namespace

EffectiveBudget EffectiveBudgetOf(const CalcOptions& options) {
    if (!options.propagation.any()) {
        return {};
    }
    return [&options](const LinkFactors& given) {
        return EffectiveFactors(options.propagation, given);
    };
}

int PrepareDesign(const CalcOptions& options, LinkFactors& factors, DesignJob& design,
                  std::string& error) {
    if (!PrepareModulation(options, factors, design.modulation, error)) {
        return kExitBadArguments;
    }
    if (options.reportPath) {
        design.report.emplace();
        if (!design.report->prepare(*options.reportPath, error)) {
            return kExitBadArguments;
        }
    }
    if (options.solveFactor) {
        const double margin = options.margin.value_or(0.0);
        const SolveAnswer answer =
            SolveGiven(factors, *options.solveFactor, margin, EffectiveBudgetOf(options));
        if (!answer.solved) {
            error =
                "--solve " + std::string(FactorTable[*options.solveFactor].key) + ": " + answer.why;
            return kExitNoSolution;
        }
        factors.*FactorTable[*options.solveFactor].field = answer.value;
        design.solved = SolvedFactor{*options.solveFactor, margin, answer.value};
    }
    return kExitDone;
}

void WriteDesignHead(const CalcOptions& options, const DesignJob& design, BufferedOutput& out) {
    if (design.solved) {
        WriteSolveText(*design.solved, options.metric, out);
    }
}

std::optional<FactorNotes> DesignNotes(const CalcOptions& options, const LinkFactors& factors) {
    if (!options.metric) {
        return std::nullopt;
    }
    return MetricNotes(factors);
}

void WriteDesignTail(const DesignJob& design, const LinkResults& results, BufferedOutput& out) {
    if (design.modulation) {
        WriteModulationText(*design.modulation, results.RxEbNo, out);
    }
}

void AddDesignJson(const CalcOptions& options, const DesignJob& design, const LinkFactors& factors,
                   const LinkResults& results, std::vector<JsonMember>& members) {
    if (design.solved) {
        members.push_back(SolveJson(*design.solved));
    }
    if (options.metric) {
        members.push_back(MetricJson(factors));
    }
    if (design.modulation) {
        members.push_back(ModulationJson(*design.modulation, results.RxEbNo));
    }
}

bool WriteDesignReport(const CalcOptions& options, DesignJob& design, const LinkFactors& given,
                       const ReportRenderer& render, std::string& error) {
    const EffectiveBudget effective = EffectiveBudgetOf(options);
    const LinkFactors factors = effective ? effective(given) : given;
    LinkResults results{};
    CalculateLink(factors, results);
    std::vector<std::string> notes;
    if (design.solved) {
        notes.push_back(solvedNote(options, *design.solved));
    }

    double largest = 0.0;
    std::string largestText = largestRangeText(options, given, largest);
    ReportInput input{factors,
                      results,
                      std::move(notes),
                      options.propagation.any() ? propagationLines(options, given)
                                                : std::vector<std::string>{},
                      design.modulation ? ModulationRows(*design.modulation, results.RxEbNo)
                                        : std::vector<TextRow>{},
                      std::move(largestText),
                      options.metric,
                      rangeChart(options, given, largest)};
    const ReportData data = BuildReportData(std::move(input));
    std::string bytes;
    if (!render || !render(data, design.report->format(), bytes, error)) {
        error = "cannot write report file '" + design.report->path() +
                "': " + (error.empty() ? std::string("the report could not be drawn") : error);
        return false;
    }
    return design.report->write(bytes, error);
}
