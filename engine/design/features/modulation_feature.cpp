// A modulation and a target bit error rate in place of MinEbNoDesired (see
// modulation.h): the Eb/No the modulation needs for the target, less the
// coding gain, and the bit error rate the link achieves.
#include "budget_features.h"

#include "modulation.h"
#include "number_text.h"

namespace {

const ModulationRow& modulationOf(const DesignPoint& point) {
    return ModulationTable[static_cast<std::size_t>(point[ParamId::Modulation])];
}

// The required Eb/No of the last modulation and target asked for: a sweep
// asks for the same at every point.
std::optional<double> requiredEbNo(const DesignPoint& point) {
    thread_local double modulation = -1.0;
    thread_local double target = 0.0;
    thread_local std::optional<double> required;
    if (point[ParamId::Modulation] != modulation || point[ParamId::TargetBer] != target) {
        modulation = point[ParamId::Modulation];
        target = point[ParamId::TargetBer];
        required = RequiredEbNo(modulationOf(point), target);
    }
    return required;
}

bool check(const DesignPoint& point, DesignFault& fault) {
    if (requiredEbNo(point)) {
        return true;
    }
    fault = {ParamId::TargetBer, std::string(modulationOf(point).caption) +
                                     " does not reach a bit error rate of " +
                                     ShortestText(point[ParamId::TargetBer]) + " at any Eb/No"};
    return false;
}

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    sheet.requiredEbNo = requiredEbNo(point);
    if (sheet.requiredEbNo) {
        sheet.effective.MinEbNoDesired = *sheet.requiredEbNo - point[ParamId::CodingGain];
    }
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    const ModulationRow& modulation = modulationOf(point);
    const double target = point[ParamId::TargetBer];
    const double codingGain = point[ParamId::CodingGain];
    const double required = sheet.requiredEbNo.value_or(0.0);
    // The coding gain counts as Eb/No added at the demodulator.
    const double achieved = BitErrorProbability(modulation, sheet.results.RxEbNo + codingGain);
    auto& out = section.lines;
    out.push_back({"Modulation", "Modulation", point[ParamId::Modulation], modulation.caption, ""});
    out.push_back({"TargetBer", "Target BER", target, FormatExponent(2, 1, target), ""});
    out.push_back(FixedLine("RequiredEbNo", "Required Eb/No", required, 3, "dB"));
    if (codingGain != 0.0) {
        out.push_back(FixedLine("CodingGain", "Coding Gain", codingGain, 1, "dB"));
    }
    out.push_back({"AchievedBer", "Achieved BER", achieved, FormatExponent(2, 1, achieved), ""});
    section.fields = {
        {"name", 0.0, modulation.name}, {"caption", 0.0, modulation.caption},
        {"targetBer", target, {}},      {"codingGain", codingGain, {}},
        {"requiredEbNo", required, {}}, {"achievedBer", achieved, {}},
    };
}

} // namespace

const FeatureRow kModulationFeature{.section = "modulation",
                                    .title = "Modulation",
                                    .followsSolve = true,
                                    .trigger = ParamId::Modulation,
                                    .check = check,
                                    .adjust = adjust,
                                    .lines = lines};
