// The link design options as the program runs them: a --solve in-process
// (parsing, solving, the budget at the answer; budget 50 µs per solve) and a
// PDF report with its chart as a whole process (budget 200 ms); a site's
// climate from ITU-R's maps as a whole process, the map cache warm (30 ms).
#include "calc_run.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// --solve KEY from the arguments to the printed budget, bytes dropped.
void BM_SolveInProcess(benchmark::State& state, const char* key) {
    const BufferedOutput::Sink drop = [](std::string_view) { return true; };
    for (auto _ : state) {
        CalcJob job;
        std::string error;
        if (PrepareCalc({"--solve", key, "--margin", "3"}, job, error) != kExitDone) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(ExecuteCalc(
            job, drop, [](const std::string&) {}, nullptr));
    }
}
BENCHMARK_CAPTURE(BM_SolveInProcess, ClosedFormRange, "Range")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SolveInProcess, SearchRxNoiseFigure, "RxNoiseFigure")
    ->Unit(benchmark::kMicrosecond);

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + 1e-6 * static_cast<double>(time.tv_usec);
}

// quillstone-calc --report FILE.pdf, from fork to exit, wall clock.
void BM_PdfReportProcess(benchmark::State& state) {
    char directory[] = "/tmp/quillstone-bench-XXXXXX";
    if (::mkdtemp(directory) == nullptr) {
        state.SkipWithError("no scratch directory");
        return;
    }
    const std::string report = std::string(directory) + "/budget.pdf";
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::execl(QUILLSTONE_CALC_PATH, QUILLSTONE_CALC_PATH, "--report", report.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the report was not written");
            break;
        }
        state.SetIterationTime(elapsed.count());
        cpuSeconds += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }
    // The child's own processor time: on a busy machine the wall clock also
    // counts the time it waited for a core.
    state.counters["child_cpu_ms"] =
        benchmark::Counter(1000.0 * cpuSeconds / static_cast<double>(state.iterations()));
    ::unlink(report.c_str());
    ::rmdir(directory);
}
BENCHMARK(BM_PdfReportProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A site with every climate input from ITU-R's maps (../shared/itu/maps beside
// the repository, or $QUILLSTONE_ITU_MAPS; skipped when absent), as a whole
// process with the map cache warm (one run before to fill it): budget 30 ms.
void BM_SiteClimateProcess(benchmark::State& state) {
    const char* env = std::getenv("QUILLSTONE_ITU_MAPS");
    const std::string maps = env != nullptr && *env != '\0' ? env : QUILLSTONE_SHARED_MAPS;
    if (::access(maps.c_str(), R_OK) != 0) {
        state.SkipWithError("no ITU-R maps (set QUILLSTONE_ITU_MAPS)");
        return;
    }
    const auto run = [&maps] {
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::execl(QUILLSTONE_CALC_PATH, QUILLSTONE_CALC_PATH, "--path", "earth-space",
                    "--station", "45.07,7.69", "--satellite-longitude", "13", "Freq=20GHz",
                    "--availability", "99.9", "--rx-dish", "1.2", "--itu-maps", maps.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0
                   ? Seconds(usage.ru_utime) + Seconds(usage.ru_stime)
                   : -1.0;
    };
    if (run() < 0.0) {
        state.SkipWithError("the site's budget was not printed");
        return;
    }
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = run();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (cpu < 0.0) {
            state.SkipWithError("the site's budget was not printed");
            break;
        }
        state.SetIterationTime(elapsed.count());
        cpuSeconds += cpu;
    }
    state.counters["child_cpu_ms"] =
        benchmark::Counter(1000.0 * cpuSeconds / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SiteClimateProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
