#include "sleep_meter.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <dlfcn.h>
#include <time.h>

namespace {

std::atomic<int64_t> sleptNs{0};

int64_t monotonicNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

using NanosleepFunction = int (*)(const timespec*, timespec*);

NanosleepFunction realNanosleep()
{
    static const auto function = reinterpret_cast<NanosleepFunction>(::dlsym(RTLD_NEXT, "nanosleep"));
    return function;
}

} // namespace

// Found before the C library's by the dynamic linker, for the program's
// libraries as for the C++ library's this_thread::sleep_for.
extern "C" int nanosleep(const timespec* requested, timespec* remaining)
{
    const int64_t start = monotonicNs();
    const int result = realNanosleep()(requested, remaining);
    sleptNs.fetch_add(monotonicNs() - start, std::memory_order_relaxed);
    return result;
}

int64_t SleptNanoseconds()
{
    return sleptNs.load(std::memory_order_relaxed);
}

bool SleepMeterWorks()
{
    const int64_t before = SleptNanoseconds();
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    return SleptNanoseconds() > before;
}
