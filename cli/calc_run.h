#pragma once
// The calculator from arguments to exit status, in two steps: everything
// that can be wrong with the arguments is found first, before any output.
#include "buffered_output.h"
#include "calc_design.h"
#include "calc_options.h"
#include "link_factors.h"
#include "plot_data.h"
#include "plot_target.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int kExitDone = 0;
constexpr int kExitOutputFailed = 1; // stdout or the plot file could not be written
constexpr int kExitBadArguments = 2;

struct CalcJob {
    CalcOptions options;
    LinkFactors factors{};
    std::uint64_t sweepCount = 0;
    PlotTarget plot;  // prepared when --plot was given
    DesignJob design; // --solve, --modulation, --report
};

// Reads the arguments (without the program name), the settings file and the
// sweep, and makes sure the plot file can be created. kExitDone when the job
// can run (or only help was asked for), kExitBadArguments with a one-line
// message otherwise, kExitNoSolution when --solve finds no value; nothing has
// been written then.
int PrepareCalc(const std::vector<std::string>& args, CalcJob& job, std::string& error);

// Draws the plot into the given file; false with a message.
using PlotRenderer = std::function<bool(const PlotData& data, const std::string& file,
                                        PlotFormat format, std::string& error)>;

// Where the messages for standard error go, one line each, without newline.
using MessageSink = std::function<void(const std::string& line)>;

// Runs a prepared job: help, the budget as text or JSON, or the sweep as CSV
// with its plot and its range report. kExitDone or kExitOutputFailed.
int ExecuteCalc(CalcJob& job, const BufferedOutput::Sink& out, const MessageSink& message,
                const PlotRenderer& renderPlot, const ReportRenderer& renderReport = {});
