#include "calc_report.h"

#include "calc_design.h"
#include "calc_sweep.h"

#include <algorithm>

bool ParseReportOption(std::string_view value, ReportOptions& options, std::string& error) {
    if (value.empty()) {
        error = "no file name given";
        return false;
    }
    options.path = std::string(value);
    return true;
}

ReportSource CalcReportSource(const FileOptions& files, const SweepOptions& sweep) {
    ReportSource source{files.designPath.value_or(std::string()), std::nullopt};
    std::uint64_t count = 0;
    std::string error;
    if (const std::optional<SweepPlan>& plan = sweep.plan;
        plan && SweepPointCount(*plan, count, error)) {
        const double last = SweepPointValue(*plan, count - 1, count);
        source.axis = ReportAxis{ParamOfFactor(plan->factor), std::min(plan->start, last),
                                 std::max(plan->start, last)};
    }
    return source;
}
