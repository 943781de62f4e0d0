#include "calc_run.h"

#include "calc_budget.h"
#include "calc_propagation.h"
#include "calc_sweep.h"
#include "link_calculation.h"

#include <optional>

namespace {

bool isRangeSweep(const SweepPlan& plan) {
    return FactorTable[plan.factor].field == &LinkFactors::Range;
}

// The CSV goes out as the points are computed; the plot and the range report
// only need what they collect on the way.
int runSweepJob(CalcJob& job, BufferedOutput& out, const MessageSink& message,
                const PlotRenderer& renderPlot) {
    const SweepPlan& plan = *job.options.sweep;
    const bool plotting = job.options.plotPath.has_value();
    ZeroCrossings crossings;
    LargestClosing largest;
    std::optional<PlotSampler> sampler;
    if (plotting) {
        sampler.emplace(plan, job.sweepCount);
    }
    SweepCsvWriter csv(out);
    csv.header(plan);
    bool rainBelowModel = false;
    SweepAdjust adjust;
    if (job.options.propagation.any()) {
        adjust = [&](LinkFactors& factors) {
            const PropagationResult propagation =
                EvaluatePropagation(job.options.propagation, factors);
            rainBelowModel = rainBelowModel || propagation.rainBelowModel;
            ApplyPropagation(propagation, factors);
        };
    }
    RunSweep(
        job.factors, plan, job.sweepCount,
        [&](const SweepSample& sample) {
            csv.row(sample);
            largest.add(sample.x, sample.results.FadeMargin);
            if (sampler) {
                crossings.add(sample.x, sample.results.FadeMargin);
                sampler->add(sample);
            }
        },
        adjust);
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
    if (plotting) {
        std::string error;
        const PlotData data = sampler->finish(crossings);
        if (!renderPlot || !renderPlot(data, job.plot.scratchPath(), job.plot.format(), error) ||
            !job.plot.commit(error)) {
            job.plot.discard();
            message("cannot write plot file '" + job.plot.path() + "': " + error);
            status = kExitOutputFailed;
        }
    }
    return status;
}

} // namespace

int PrepareCalc(const std::vector<std::string>& args, CalcJob& job, std::string& error) {
    if (!ParseCalcArguments(args, job.options, error)) {
        return kExitBadArguments;
    }
    if (job.options.help) {
        return kExitDone;
    }
    if (!BuildFactors(job.options, job.factors, error)) {
        return kExitBadArguments;
    }
    if (job.options.sweep && !SweepPointCount(*job.options.sweep, job.sweepCount, error)) {
        return kExitBadArguments;
    }
    if (job.options.plotPath && !job.plot.prepare(*job.options.plotPath, error)) {
        return kExitBadArguments;
    }
    return PrepareDesign(job.options, job.factors, job.design, error);
}

int ExecuteCalc(CalcJob& job, const BufferedOutput::Sink& out, const MessageSink& message,
                const PlotRenderer& renderPlot, const ReportRenderer& renderReport) {
    BufferedOutput buffer(out);
    if (job.options.help) {
        buffer.put(CalcHelpText());
    } else if (job.options.sweep) {
        return runSweepJob(job, buffer, message, renderPlot);
    } else {
        const PropagationOptions& extra = job.options.propagation;
        const PropagationResult propagation = EvaluatePropagation(extra, job.factors);
        LinkFactors factors = job.factors;
        ApplyPropagation(propagation, factors);
        LinkResults results{};
        CalculateLink(factors, results);
        if (job.options.json) {
            std::vector<JsonMember> members = PropagationJsonMembers(extra, propagation);
            AddDesignJson(job.options, job.design, factors, results, members);
            WriteBudgetJson(factors, results, buffer, members);
        } else {
            const std::optional<FactorNotes> notes = DesignNotes(job.options, factors);
            WriteDesignHead(job.options, job.design, buffer);
            WriteBudgetText(factors, results, buffer, notes ? &*notes : nullptr);
            WritePropagationText(extra, propagation, buffer);
            WriteDesignTail(job.design, results, buffer);
        }
        if (propagation.rainBelowModel) {
            message(RainBelowModelNote(false));
        }
    }
    if (!buffer.flush()) {
        message("cannot write the output");
        return kExitOutputFailed;
    }
    std::string error;
    if (job.design.report &&
        !WriteDesignReport(job.options, job.design, job.factors, renderReport, error)) {
        message(error);
        return kExitOutputFailed;
    }
    return kExitDone;
}
