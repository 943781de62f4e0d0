// The interface benchmarks: slider move and hardcopy of the main window.
// Offscreen unless QT_QPA_PLATFORM names another platform. Ends with a
// failure when a benchmark found it was not measuring what it names.
#include "blocking_meter.h"
#include "quillstone_application.h"
#include "ui_world.h"

#include <benchmark/benchmark.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuillstoneApplication application(argc, argv);
    QuillstoneApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!BlockingMeterWorks()) {
        std::fprintf(stderr, "the blocking-call meter does not see the waits and file calls\n");
        return 1;
    }
    {
        UiWorld world;
        SetWorld(&world);
        benchmark::RunSpecifiedBenchmarks();
        SetWorld(nullptr);
    }
    benchmark::Shutdown();
    return BenchmarkFaultReported() ? 1 : 0;
}
