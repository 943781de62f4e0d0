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

// 100,000 points of an Earth-space path with every part of its atmosphere
// (gases with V_t, clouds, rain, scintillation) worked out anew at each
// frequency. The budget is 1.5 s for the whole process.
void BM_EarthSpaceSweep100kPoints(benchmark::State& state) {
    for (auto _ : state) {
        CalcJob job;
        std::string error;
        if (PrepareCalc(
                {"--path",           "earth-space", "--elevation",    "30",
                 "--latitude",       "45",          "--rain-rate",    "30",
                 "--rain-height",    "3.5",         "--cloud-liquid", "0.5",
                 "--vapour-content", "20",          "--rx-dish",      "1.2",
                 "--availability",   "99.9",        "--sweep",        "Freq=10000:50000:0.4"},
                job, error) != kExitDone ||
            job.sweepCount != 100'001) {
            state.SkipWithError("the sweep was not accepted");
            return;
        }
        const int status = ExecuteCalc(
            job, [](std::string_view) { return true; }, [](const std::string&) {}, nullptr);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * 100'001);
}
BENCHMARK(BM_EarthSpaceSweep100kPoints)->Unit(benchmark::kMillisecond);

} // namespace
