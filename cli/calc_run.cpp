#include "calc_run.h"

#include "calc_budget.h"
#include "calc_sweep.h"
#include "link_calculation.h"

#include <optional>

namespace {

bool IsRangeSweep(const SweepPlan& plan) {
    return FactorTable[plan.factor].field == &LinkFactors::Range;
}

// The CSV goes out as the points are computed; the plot and the range report
// only need what they collect on the way.
int RunSweepJob(CalcJob& job, BufferedOutput& out, const MessageSink& message,
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
    RunSweep(job.factors, plan, job.sweepCount, [&](const SweepSample& sample) {
        csv.row(sample);
        largest.add(sample.x, sample.results.FadeMargin);
        if (sampler) {
            crossings.add(sample.x, sample.results.FadeMargin);
            sampler->add(sample);
        }
    });
    int status = kExitDone;
    if (!out.flush()) {
        message("cannot write the output");
        status = kExitOutputFailed;
    }
    if (IsRangeSweep(plan)) {
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
    return kExitDone;
}

int ExecuteCalc(CalcJob& job, const BufferedOutput::Sink& out, const MessageSink& message,
                const PlotRenderer& renderPlot) {
    BufferedOutput buffer(out);
    if (job.options.help) {
        buffer.put(CalcHelpText());
    } else if (job.options.sweep) {
        return RunSweepJob(job, buffer, message, renderPlot);
    } else {
        LinkResults results{};
        CalculateLink(job.factors, results);
        if (job.options.json) {
            WriteBudgetJson(job.factors, results, buffer);
        } else {
            WriteBudgetText(job.factors, results, buffer);
        }
    }
    if (!buffer.flush()) {
        message("cannot write the output");
        return kExitOutputFailed;
    }
    return kExitDone;
}
