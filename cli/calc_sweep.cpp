#include "calc_sweep.h"

#include "calc_inputs.h"
#include "calc_text.h"
#include "link_calculation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// (stop - start) / step in steps, without overflowing on the difference.
double spanInSteps(const SweepPlan& plan) {
    const double difference = plan.stop - plan.start;
    if (std::isfinite(difference)) {
        return difference / plan.step;
    }
    return plan.stop / plan.step - plan.start / plan.step;
}

constexpr int kMaxGridDecimals = 15;
constexpr double kMaxFixed = 1e15;

// The fewest decimals that write x to twelve significant digits or better
// (0 and 7 need none, 0.1 needs 1, 0.001 needs 3, 1/3 needs 12), or -1 when
// it needs more than kMaxGridDecimals.
int decimalsOf(double x) {
    double scaled = x;
    for (int d = 0; d <= kMaxGridDecimals; ++d, scaled *= 10.0) {
        if (std::fabs(scaled - std::nearbyint(scaled)) <= 1e-12 * std::fabs(scaled)) {
            return d;
        }
    }
    return -1;
}

} // namespace

bool ParseSweepOption(std::string_view plan, SweepOptions& options, std::string& error) {
    const std::size_t eq = plan.find('=');
    if (eq == std::string_view::npos) {
        error = Quoted(plan) + " is not Key=start:stop:step";
        return false;
    }
    const std::string_view key = TrimBlanks(plan.substr(0, eq));
    std::string_view range = plan.substr(eq + 1);
    const std::optional<std::size_t> factor = FindFactor(key);
    if (!factor) {
        error = UnknownKeyMessage(key);
        return false;
    }
    static constexpr std::array<const char*, 3> kParts{"start", "stop", "step"};
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        const std::size_t colon = i + 1 < kParts.size() ? range.find(':') : range.size();
        if (colon == std::string_view::npos) {
            error = Quoted(plan) + " is not Key=start:stop:step";
            return false;
        }
        const std::string_view part = range.substr(0, colon);
        if (!ParsePlainNumber(part, values[i])) {
            error = std::string(kParts[i]) + " " + Quoted(part) + " is not a number";
            return false;
        }
        range.remove_prefix(std::min(range.size(), colon + 1));
    }
    options.plan = SweepPlan{*factor, values[0], values[1], values[2]};
    return true;
}

bool ParsePlotOption(std::string_view value, SweepOptions& options, std::string& error) {
    if (value.empty()) {
        error = "no file name given";
        return false;
    }
    options.plotPath = std::string(value);
    return true;
}

bool SweepPointCount(const SweepPlan& plan, std::uint64_t& count, std::string& error) {
    if (plan.step == 0.0) {
        error = "the step must not be 0";
        return false;
    }
    const double span = spanInSteps(plan);
    if (span < 0.0) {
        error = "the step " + ShortestText(plan.step) + " leads away from stop " +
                ShortestText(plan.stop) + " (start " + ShortestText(plan.start) + ")";
        return false;
    }
    const double points = std::floor(span + kGridTolerance) + 1.0;
    if (!(points <= static_cast<double>(kMaxSweepPoints))) { // also catches an infinite span
        error = ShortestText(points) + " points, more than the limit of " +
                std::to_string(kMaxSweepPoints);
        return false;
    }
    count = static_cast<std::uint64_t>(points);
    return true;
}

double SweepPointValue(const SweepPlan& plan, std::uint64_t i, std::uint64_t count) {
    const double value = plan.start + static_cast<double>(i) * plan.step;
    if (i + 1 == count && std::fabs(value - plan.stop) <= kGridTolerance * std::fabs(plan.step)) {
        return plan.stop;
    }
    return value;
}

void RunSweep(const BudgetModel& model, const DesignPoint& base, const SweepPlan& plan,
              std::uint64_t count, const std::function<void(const SweepSample&)>& visit) {
    SweepDesign(
        model, base, ParamOfFactor(plan.factor), count,
        [&plan, count](std::uint64_t i) { return SweepPointValue(plan, i, count); }, visit);
}

std::string GridText(const SweepPlan& plan, double value) {
    const int start = decimalsOf(plan.start);
    const int step = decimalsOf(plan.step);
    // Beyond 1e15 fixed notation only adds digits that mean nothing.
    if (start < 0 || step < 0 || !(std::fabs(value) < kMaxFixed)) {
        return ShortestText(value);
    }
    char text[48]; // 16 integer digits, sign, point, fifteen decimals
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                         std::max(start, step));
    return ec == std::errc() ? std::string(text, end) : ShortestText(value);
}

std::string LargestRangeMessage(const SweepPlan& plan, std::uint64_t count,
                                const std::optional<double>& largest) {
    const FactorRow& row = FactorTable[plan.factor];
    const std::string key = row.key;
    if (!largest) {
        return "no " + key + " from " + GridText(plan, plan.start) + " to " +
               GridText(plan, SweepPointValue(plan, count - 1, count)) + " " + row.unit +
               " has a fade margin >= 0 dB";
    }
    std::string message = "largest " + key +
                          " with a fade margin >= 0 dB: " + GridText(plan, *largest) + " " +
                          row.unit;
    const double end = std::max(plan.start, SweepPointValue(plan, count - 1, count));
    if (*largest >= end) {
        message += " (the sweep's largest value: a larger " + key + " may still close)";
    }
    return message;
}
