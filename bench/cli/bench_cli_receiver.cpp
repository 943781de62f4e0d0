// The receiver options as the program runs them in-process, from the
// arguments to the printed budget (bytes dropped): --explain with a chain of
// stages and an antenna temperature (budget 20 µs), and --waveform
// dvbs2:auto choosing its MODCOD at a symbol rate (budget 50 µs).
#include "calc_run.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_RunInProcess(benchmark::State& state, std::vector<std::string> args) {
    const BufferedOutput::Sink drop = [](std::string_view) { return true; };
    for (auto _ : state) {
        CalcJob job;
        std::string error;
        if (PrepareCalc(args, job, error) != kExitDone) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(ExecuteCalc(
            job, drop, [](const std::string&) {}, nullptr));
    }
}
BENCHMARK_CAPTURE(BM_RunInProcess, Explain,
                  std::vector<std::string>{"--explain", "--stage", "LNA,35K,30", "--stage",
                                           "mixer,10,15", "--stage", "IF,15,0",
                                           "--antenna-temperature", "50", "--bandwidth", "2MHz"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RunInProcess, Dvbs2Auto,
                  std::vector<std::string>{"--waveform", "dvbs2:auto", "--symbol-rate", "30MBd",
                                           "--margin", "1", "--antenna-temperature", "60",
                                           "Range=24000", "Freq=12000", "TxPower=100",
                                           "TxAntGain=45", "RxAntGain=40"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
