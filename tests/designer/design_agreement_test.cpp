// The design window and the calculator on one model: random designs over
// the whole registry, evaluated by the window's evaluation and by
// `quillstone-calc --design FILE --json` (run in this process), are refused
// alike or agree number for number; and a solve of either gives the same
// answer.
#include "cli_test_support.h"
#include "design_document.h"
#include "design_json.h"
#include "design_rules.h"
#include "design_solve.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <random>

namespace {

constexpr int kDesigns = 300;
constexpr double kSetChance = 0.15; // of each parameter, in a design

// A value in the row's domain: a factor within its prompt's bounds, any other
// number within its bounds (or a span around its default where they are open).
double randomValue(const ParamRow& row, std::mt19937& random) {
    double low = row.low;
    double high = row.high;
    if (const FactorRow* factor = FactorOfParam(row)) {
        low = std::max(low, factor->promptLow);
        high = std::min(high, factor->promptHigh);
    }
    if (!std::isfinite(low)) {
        low = ParamDefault(row) - 100.0;
    }
    if (!std::isfinite(high)) {
        high = std::max(low, ParamDefault(row)) * 10.0 + 100.0;
    }
    std::uniform_real_distribution<double> pick(low, high);
    double value = pick(random);
    if ((row.lowOpen && value <= row.low) || (row.highOpen && value >= row.high)) {
        value = (low + high) / 2.0;
    }
    return row.family == UnitFamily::Count ? std::round(value) : value;
}

void setRandom(const ParamRow& row, Design& design, std::mt19937& random) {
    if (row.family == UnitFamily::List) {
        ParamSetting stages;
        std::string error;
        EXPECT_TRUE(ListSetting(row, {"LNA,0.8,30", "RX,6,10"}, stages, error)) << error;
        design.set(row.id, stages);
    } else if (row.choices != nullptr) {
        std::uniform_int_distribution<std::size_t> pick(0, row.choices().size() - 1);
        const auto index = static_cast<double>(pick(random));
        design.set(row.id, ParamSetting{index, index, {}});
    } else {
        // Given as a bare number: in the row's default unit.
        const double value = randomValue(row, random);
        const double given = FromBaseUnit(row.family, row.defaultUnit, value, "").value_or(value);
        design.set(row.id, ParamSetting{value, given, {}});
    }
}

std::string keyOf(ParamId id) {
    return ParamKey(ParamRowOf(id));
}

// A few parameters at random, then mended towards a design that can be
// evaluated: a parameter the check names is cleared when set and set when
// not (an Earth-space path's elevation, rain's latitude); what stays refused
// is compared as a refusal.
Design randomDesign(std::mt19937& random) {
    std::bernoulli_distribution set(kSetChance);
    Design design;
    for (const ParamRow& row : ParamTable) {
        if (set(random)) {
            setRandom(row, design, random);
        }
    }
    for (int mend = 0; mend < 8; ++mend) {
        const std::optional<DesignFault> fault = CheckDesign(design, design.point(), keyOf);
        if (!fault || fault->param == ParamId::Count) {
            break;
        }
        if (design.has(fault->param)) {
            design.clear(fault->param);
        } else {
            setRandom(ParamRowOf(fault->param), design, random);
        }
    }
    return design;
}

// The calculator's answer for a design file, with more arguments.
JobRun runCalc(const TempDir& dir, const Design& design, std::vector<std::string> args) {
    dir.write("d.json", DesignToJson(design));
    args.insert(args.begin(), {"--design", dir.file("d.json"), "--json"});
    return RunJob(args);
}

bool sameNumber(double a, double b) {
    return a == b || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

TEST(WindowAndCalculator, AgreeOnEveryRandomDesign) {
    std::mt19937 random(20261207);
    TempDir dir;
    int evaluated = 0;
    int solved = 0;
    for (int n = 0; n < kDesigns; ++n) {
        Design design;
        design = randomDesign(random);
        const std::string file = DesignToJson(design);
        const Evaluation window = Evaluate(design);
        const JobRun calc = runCalc(dir, design, {});
        if (!window.ok()) {
            EXPECT_EQ(calc.status, kExitBadArguments) << file << window.error;
            continue;
        }
        ASSERT_EQ(calc.status, kExitDone)
            << file << (calc.messages.empty() ? "" : calc.messages[0]);
        ++evaluated;
        const QJsonArray results = ParseJson(calc.out).object()["results"].toArray();
        ASSERT_EQ(results.size(), static_cast<int>(kResultCount));
        for (std::size_t i = 0; i < kResultCount; ++i) {
            const double shown = results[static_cast<int>(i)].toObject()["value"].toDouble();
            const ResultRow& row = ResultTable[i];
            const double value = window.sheet.results.*row.field * row.displayScale;
            EXPECT_TRUE(sameNumber(value, shown))
                << file << row.caption << ": " << value << " and " << shown;
        }
        // One factor solved by both, at the margin the design asks.
        std::uniform_int_distribution<std::size_t> pickFactor(0, kFactorCount - 1);
        const std::size_t factor = pickFactor(random);
        const double margin = window.point[ParamId::Margin];
        const SolveAnswer answer = SolveDesign(*window.model, window.point, factor, margin);
        const JobRun calcSolve = runCalc(dir, design, {"--solve", FactorTable[factor].key});
        if (!answer.solved) {
            EXPECT_NE(calcSolve.status, kExitDone) << file << FactorTable[factor].key;
            continue;
        }
        ASSERT_EQ(calcSolve.status, kExitDone)
            << file << FactorTable[factor].key << ": "
            << (calcSolve.messages.empty() ? "" : calcSolve.messages[0]);
        const double calcValue = ParseJson(calcSolve.out)
                                     .object()["solve"]
                                     .toObject()["factor"]
                                     .toObject()["value"]
                                     .toDouble();
        EXPECT_TRUE(sameNumber(answer.value, calcValue))
            << file << FactorTable[factor].key << ": " << answer.value << " and " << calcValue;
        ++solved;
    }
    // Enough of the random designs are evaluated and solved for the agreement
    // to mean something.
    EXPECT_GE(evaluated, kDesigns / 5);
    EXPECT_GE(solved, kDesigns / 10);
}

} // namespace
