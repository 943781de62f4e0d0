#include "calc_run.h"

#include "calc_help.h"
#include "calc_sweep.h"
#include "design_rules.h"
#include "quillstone_version.h"
#include "sheet_render.h"
#include "site_climate.h"
#include "sweep_csv.h"

#include <algorithm>

namespace {

bool isRangeSweep(const SweepPlan& plan) {
    return FactorTable[plan.factor].field == &LinkFactors::Range;
}

bool prepareOutputs(CalcJob& job, bool checkedFirst, std::string& error) {
    for (const OptionRow& row : OptionTable()) {
        if (row.output == nullptr || row.output->checkedFirst != checkedFirst) {
            continue;
        }
        const std::optional<std::string>& path = row.output->path(job.options);
        if (!path) {
            continue;
        }
        OutputFile file(row.output->kind, row.output->formats);
        if (!file.prepare(*path, error)) {
            return false;
        }
        job.outputs.emplace_back(&row, std::move(file));
    }
    return true;
}

// Writes the files of one phase; false when one could not be written (the
// message says which).
bool writeOutputs(const CalcJob& job, const OutputContext& context, bool beforeRun,
                  const MessageSink& message) {
    bool written = true;
    for (const auto& [row, file] : job.outputs) {
        if (row->output->beforeRun != beforeRun) {
            continue;
        }
        std::string bytes;
        std::string error;
        if (!row->output->render(context, file.format(), bytes, error)) {
            message(file.failure(error.empty() ? "the " + std::string(row->output->kind) +
                                                     " could not be drawn"
                                               : error));
            written = false;
        } else if (!file.write(bytes, error)) {
            message(error);
            written = false;
        }
    }
    return written;
}

// What the budget's outputs show; --explain adds the receiver's figures of
// merit where no receiver option did, and the budget's explanation.
SheetView sheetView(const CalcJob& job, const BudgetSheet& sheet) {
    SheetView plain{sheet, job.model->sections(job.point, sheet), job.solved,
                    job.options.inputs.metric};
    SheetView view = job.options.explain ? ExplainedView(std::move(plain), *job.model, job.point)
                                         : std::move(plain);
    if (job.options.availabilityCurve) {
        view.availability = EvaluateAvailabilityCurve(*job.model, job.point);
    }
    return view;
}

// The CSV goes out as the points are computed; the plot and the range report
// only need what they collect on the way.
int runSweep(CalcJob& job, BufferedOutput& out, const MessageSink& message,
             const PlotRenderer& renderPlot, const ReportRenderer& renderReport) {
    const SweepPlan& plan = *job.options.sweep.plan;
    const bool plotting = job.options.sweep.plotPath.has_value();
    ZeroCrossings crossings;
    LargestClosing largest;
    std::optional<PlotSampler> sampler;
    if (plotting) {
        sampler.emplace(FactorAxis(plan.factor), job.sweepCount);
    }
    SweepCsvWriter csv(out);
    csv.header(FactorTable[plan.factor].key);
    bool rainBelowModel = false;
    RunSweep(*job.model, job.point, plan, job.sweepCount, [&](const SweepSample& sample) {
        csv.row(sample);
        largest.add(sample.x, sample.results.FadeMargin);
        rainBelowModel = rainBelowModel || sample.sheet.rainBelowModel;
        if (sampler) {
            crossings.add(sample.x, sample.results.FadeMargin);
            sampler->add(sample);
        }
    });
    if (rainBelowModel) {
        message(RainBelowModelNote(true));
    }
    int status = kExitDone;
    if (!out.flush()) {
        message("cannot write the output");
        status = kExitOutputFailed;
    }
    if (isRangeSweep(plan)) {
        message(LargestRangeMessage(plan, job.sweepCount, largest.value()));
    }
    const std::optional<PlotData> plot =
        sampler ? std::optional<PlotData>(sampler->finish(crossings)) : std::nullopt;
    // A report shows the design itself, its chart over the swept factor.
    const BudgetSheet sheet =
        job.options.report.path ? job.model->evaluate(job.point) : BudgetSheet{};
    std::optional<SheetView> view;
    if (job.options.report.path) {
        view.emplace(sheetView(job, sheet));
    }
    const OutputContext context{job.options,
                                job.design,
                                *job.model,
                                job.point,
                                view ? &*view : nullptr,
                                plot ? &*plot : nullptr,
                                renderPlot,
                                renderReport};
    if (!writeOutputs(job, context, false, message)) {
        status = kExitOutputFailed;
    }
    return status;
}

// The design can be evaluated at the points the run evaluates: its own, or a
// sweep's first and last (a domain and what a feature takes are intervals of
// a factor: a frequency range). A sweep names the point where the design
// itself would do.
bool checkEvaluatedPoints(const CalcJob& job, std::string& error) {
    const auto fault = [&job](const DesignPoint& point) {
        return CheckDesign(job.design, point, OptionNameOf);
    };
    const std::optional<DesignFault> atDesign = fault(job.point);
    if (!job.options.sweep.plan) {
        error = atDesign ? atDesign->message : std::string();
        return !atDesign;
    }
    const SweepPlan& plan = *job.options.sweep.plan;
    for (const std::uint64_t i : {std::uint64_t{0}, job.sweepCount - 1}) {
        DesignPoint point = job.point;
        const double x = SweepPointValue(plan, i, job.sweepCount);
        point.values[IndexOf(ParamOfFactor(plan.factor))] = x;
        if (const std::optional<DesignFault> atPoint = fault(point)) {
            error = atPoint->message;
            if (!atDesign || atDesign->message != error) {
                error = std::string(SweepOptionName()) + ": at " + FactorTable[plan.factor].key +
                        "=" + GridText(plan, x) + ": " + error;
            }
            return false;
        }
    }
    return true;
}

} // namespace

int PrepareCalc(const std::vector<std::string>& args, CalcJob& job, std::string& error) {
    if (!ParseCalcArguments(args, job.options, error)) {
        return kExitBadArguments;
    }
    if (job.options.help || job.options.version || job.options.mapsStatus) {
        return kExitDone;
    }
    if (!BuildDesign(job.options.files, job.options.inputs, job.design, error)) {
        return kExitBadArguments;
    }
    job.point = job.design.point();
    if (!CheckDesignRules(job.options, job.design, job.point, error)) {
        return kExitBadArguments;
    }
    job.model = std::make_unique<BudgetModel>(job.point);
    const std::optional<SweepPlan>& sweep = job.options.sweep.plan;
    if (sweep && !SweepPointCount(*sweep, job.sweepCount, error)) {
        error = std::string(SweepOptionName()) + ": " + error;
        return kExitBadArguments;
    }
    if (!prepareOutputs(job, true, error) || !checkEvaluatedPoints(job, error) ||
        !prepareOutputs(job, false, error)) {
        return kExitBadArguments;
    }
    if (job.options.solve.factor) {
        const std::size_t factor = *job.options.solve.factor;
        const double margin = job.point[ParamId::Margin];
        const SolveAnswer answer = SolveDesign(*job.model, job.point, factor, margin);
        if (!answer.solved) {
            error =
                std::string(SolveOptionName()) + " " + FactorTable[factor].key + ": " + answer.why;
            return kExitNoSolution;
        }
        job.point.values[IndexOf(ParamOfFactor(factor))] = answer.value;
        job.solved = SolvedFactor{factor, margin, answer.value};
    }
    return kExitDone;
}

int ExecuteCalc(CalcJob& job, const BufferedOutput::Sink& out, const MessageSink& message,
                const PlotRenderer& renderPlot, const ReportRenderer& renderReport) {
    BufferedOutput buffer(out);
    if (job.options.help || job.options.version) {
        buffer.put(job.options.help ? CalcHelpText()
                                    : std::string("quillstone-calc ") + kQuillstoneVersion + "\n");
        if (!buffer.flush()) {
            message("cannot write the output");
            return kExitOutputFailed;
        }
        return kExitDone;
    }
    if (job.options.mapsStatus) {
        for (const std::string& line : ItuMapsStatus()) {
            buffer.put(line);
            buffer.put('\n');
        }
        if (!buffer.flush()) {
            message("cannot write the output");
            return kExitOutputFailed;
        }
        return kExitDone;
    }
    const BudgetSheet sheet = job.model->evaluate(job.point);
    const SheetView view = sheetView(job, sheet);
    const OutputContext context{job.options, job.design, *job.model, job.point,
                                &view,       nullptr,    renderPlot, renderReport};
    if (!writeOutputs(job, context, true, message)) {
        return kExitOutputFailed;
    }
    if (job.options.sweep.plan) {
        return runSweep(job, buffer, message, renderPlot, renderReport);
    }
    if (job.options.json) {
        WriteSheetJson(view, buffer);
    } else {
        WriteSheetText(view, buffer);
    }
    if (sheet.rainBelowModel) {
        message(RainBelowModelNote(false));
    }
    if (!buffer.flush()) {
        message("cannot write the output");
        return kExitOutputFailed;
    }
    return writeOutputs(job, context, false, message) ? kExitDone : kExitOutputFailed;
}
