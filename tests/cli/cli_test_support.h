#pragma once
// The calculator's tests: output captured in a string, a prepared job run in
// this process, and JSON output parsed.
#include "buffered_output.h"
#include "calc_run.h"
#include "test_base.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using testing_support::Lines;
using testing_support::ReadAll;
using testing_support::TempDir;

inline BufferedOutput::Sink StringSink(std::string& target) {
    return [&target](std::string_view block) {
        target.append(block);
        return true;
    };
}

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

// The text parsed as JSON; a parse error fails the test.
inline QJsonDocument ParseJson(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return doc;
}
