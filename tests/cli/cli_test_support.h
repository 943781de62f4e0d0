#pragma once
// The calculator's tests: output captured in a string, a prepared job run in
// this process, and JSON output parsed.
#include "buffered_output.h"
#include "calc_run.h"
#include "calc_sweep.h"
#include "sheet_render.h"
#include "sweep_csv.h"
#include "test_base.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using testing_support::Lines;
using testing_support::ReadAll;
using testing_support::TempDir;

// What a job run in this process gave: status, output and the messages
// (the preparation's error among them).
struct JobRun {
    int status = -1;
    std::string out;
    std::vector<std::string> messages;
};

inline JobRun RunJob(const std::vector<std::string>& args, const PlotRenderer& renderer = {}) {
    JobRun run;
    CalcJob job;
    std::string error;
    run.status = PrepareCalc(args, job, error);
    if (run.status != kExitDone) {
        run.messages.push_back(error);
        return run;
    }
    run.status = ExecuteCalc(
        job, StringSink(run.out), [&](const std::string& line) { run.messages.push_back(line); },
        renderer);
    return run;
}

// A design of just these factors.
inline DesignPoint PointOf(const LinkFactors& factors) {
    Design design;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        design.setFactor(i, factors.*FactorTable[i].field);
    }
    return design.point();
}

// The budget of these factors as --json or the text output writes it.
inline std::string RenderSheet(const LinkFactors& factors, bool json) {
    const DesignPoint point = PointOf(factors);
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    std::string text;
    BufferedOutput out(StringSink(text));
    const SheetView view{sheet, model.sections(point, sheet), std::nullopt, false};
    json ? WriteSheetJson(view, out) : WriteSheetText(view, out);
    out.flush();
    return text;
}

// The sweep of a design of these factors.
inline void SweepOver(const LinkFactors& base, const SweepPlan& plan, std::uint64_t count,
                      const std::function<void(const SweepSample&)>& visit) {
    const DesignPoint point = PointOf(base);
    RunSweep(BudgetModel(point), point, plan, count, visit);
}

// The text parsed as JSON; a parse error fails the test.
inline QJsonDocument ParseJson(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return doc;
}
