// A sweep of 1,000,000 points to CSV, as `quillstone-calc --sweep` runs it:
// every point evaluated, every row formatted at full precision and handed to
// a buffered sink. The budget is one second for the whole sweep.
#include "calc_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void runMillionPointSweep(benchmark::State& state, const BufferedOutput::Sink& sink) {
    for (auto _ : state) {
        CalcJob job;
        std::string error;
        if (PrepareCalc({"--sweep", "Range=0.001:1000:0.001"}, job, error) != kExitDone ||
            job.sweepCount != 1'000'000) {
            state.SkipWithError("the sweep was not accepted");
            return;
        }
        const int status = ExecuteCalc(
            job, sink, [](const std::string&) {}, nullptr);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}

// Formatting and buffering only: the bytes are counted and dropped.
void BM_SweepMillionPointsToCsv(benchmark::State& state) {
    std::size_t bytes = 0;
    runMillionPointSweep(state, [&bytes](std::string_view block) {
        bytes += block.size();
        return true;
    });
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_SweepMillionPointsToCsv)->Unit(benchmark::kMillisecond);

// The same through a real stream, as the program writes its standard output.
void BM_SweepMillionPointsToDevNull(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink == nullptr) {
        state.SkipWithError("no /dev/null");
        return;
    }
    runMillionPointSweep(state, FileSink(sink));
    std::fclose(sink);
}
BENCHMARK(BM_SweepMillionPointsToDevNull)->Unit(benchmark::kMillisecond);

} // namespace
