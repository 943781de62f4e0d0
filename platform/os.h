#pragma once
// Linux stand-ins for the operating-system services the library expects:
// current directory, the performance counter, local time, sleeping, and the
// timer-resolution calls. The clock sits behind a seam so that tests can
// supply the counter and the local time.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The process's current directory ("" when it cannot be read).
std::string GetCurrentDirectory();
// True when `path` could be made the current directory.
bool SetCurrentDirectory(const std::string& path);
// True when `path` could be made the current directory; the current directory
// is left as it was found, however long its path.
bool CanEnterDirectory(const std::string& path);
// True when the file was removed.
bool DeleteFile(const std::string& path);

struct LocalTime {
    int year, month, day; // month 1-12, day 1-31
    int hour, minute, second, millisecond;
};

class SystemClock {
  public:
    virtual ~SystemClock() = default;
    virtual int64_t CounterFrequency() = 0; // ticks per second
    virtual int64_t Counter() = 0;          // monotonic ticks
    virtual LocalTime Now() = 0;            // local wall-clock time
};

// The clock every LogClock reads; the real one unless a test installed its own.
SystemClock& Clock();
// Installs a clock (tests); nullptr restores the real one.
void SetClock(std::unique_ptr<SystemClock> clock);

void Sleep(uint32_t milliseconds);           // Sleep(0) only yields
void TimeBeginPeriod(uint32_t milliseconds); // nothing to do on Linux
void TimeEndPeriod(uint32_t milliseconds);

} // namespace platform
