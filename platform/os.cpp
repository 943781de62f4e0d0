#include "os.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace platform {

std::string GetCurrentDirectory() {
    // glibc allocates a buffer of the needed size, so long paths are read whole.
    char* text = ::getcwd(nullptr, 0);
    if (text == nullptr)
        return {};
    std::string result(text);
    std::free(text);
    return result;
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

bool CanEnterDirectory(const std::string& path) {
    if (path.empty())
        return false;
    // A handle on the current directory brings it back whatever its length,
    // even when its path can no longer be read.
    const int saved = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (saved < 0)
        return false;
    const bool entered = ::chdir(path.c_str()) == 0;
    // When the way back fails there is nothing better to make current; the
    // answer about `path` is right either way.
    const bool restored = !entered || ::fchdir(saved) == 0;
    static_cast<void>(restored);
    ::close(saved);
    return entered;
}

bool DeleteFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

namespace {

class RealClock final : public SystemClock {
  public:
    int64_t CounterFrequency() override { return 1'000'000'000; } // ns ticks

    int64_t Counter() override {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
    }

    LocalTime Now() override {
        timespec ts{};
        ::clock_gettime(CLOCK_REALTIME, &ts);
        std::tm parts{};
        const time_t seconds = ts.tv_sec;
        if (::localtime_r(&seconds, &parts) == nullptr)
            return LocalTime{1970, 1, 1, 0, 0, 0, 0};
        return LocalTime{parts.tm_year + 1900,
                         parts.tm_mon + 1,
                         parts.tm_mday,
                         parts.tm_hour,
                         parts.tm_min,
                         parts.tm_sec,
                         static_cast<int>(ts.tv_nsec / 1'000'000)};
    }
};

RealClock& realClock() {
    static RealClock clock;
    return clock;
}

std::unique_ptr<SystemClock>& installedClock() {
    static std::unique_ptr<SystemClock> clock;
    return clock;
}

} // namespace

SystemClock& Clock() {
    auto& installed = installedClock();
    if (installed)
        return *installed;
    return realClock();
}

void SetClock(std::unique_ptr<SystemClock> clock) {
    installedClock() = std::move(clock);
}

void Sleep(uint32_t milliseconds) {
    if (milliseconds == 0) {
        ::sched_yield();
        return;
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1'000'000};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
        // A signal cut the sleep short: sleep for what is left.
    }
}

// The scheduler's timer on Linux is already fine-grained; nothing to raise.
void TimeBeginPeriod(uint32_t) {}
void TimeEndPeriod(uint32_t) {}

} // namespace platform
