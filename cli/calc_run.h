#pragma once
// The calculator from arguments to exit status, in two steps: everything
// that can be wrong with the arguments is found first, before any output.
#include "buffered_output.h"
#include "calc_options.h"
#include "calc_text.h"
#include "output_file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CalcJob {
    CalcOptions options;
    Design design;
    DesignPoint point;                  // the design's numbers, the solved value set
    std::unique_ptr<BudgetModel> model; // the features that apply
    std::uint64_t sweepCount = 0;
    std::optional<SolvedFactor> solved;
    std::vector<std::pair<const OptionRow*, OutputFile>> outputs; // the files to write
};

// Reads the arguments (without the program name), the files they name and
// the sweep, makes sure every output file can be created, and solves.
// kExitDone when the job can run (or only help was asked for),
// kExitBadArguments with a one-line message otherwise, kExitNoSolution when
// --solve finds no value; nothing has been written then.
int PrepareCalc(const std::vector<std::string>& args, CalcJob& job, std::string& error);

// Where the messages for standard error go, one line each, without newline.
using MessageSink = std::function<void(const std::string& line)>;

// Runs a prepared job: help, the budget as text or JSON, or the sweep as CSV,
// and the files asked for. kExitDone or kExitOutputFailed.
int ExecuteCalc(CalcJob& job, const BufferedOutput::Sink& out, const MessageSink& message,
                const PlotRenderer& renderPlot, const ReportRenderer& renderReport = {});
