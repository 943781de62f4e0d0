#pragma once
// The library's log file: one time-stamped line per call, the file opened and
// closed for every line so that it is complete even if the process dies.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

constexpr double kSecondsOfLeapYearPlusOne = 31708800.0; // 367 days

// Seconds since the start of the local year, from the platform clock's local
// time; 0 when out of range.
double SecondsOfYear();

// 1 January = 1; February has 29 days in years divisible by 4. A month above
// 12 counts as 1; a day beyond its month counts as 1.
int DayOfYear(int year, int month, int day);

struct TimeSplit {
    int days = 0, hours = 0, minutes = 0;
    double seconds = 0.0;
};
// Days, hours, minutes and seconds of a reading; all zero when it is not
// finite or outside 0 ... 31708800.
TimeSplit SplitTime(double secondsOfYear);

// Seconds of the year with microsecond resolution from the performance
// counter. Also times the speaker's waits (the interval fields).
class LogClock {
  public:
    LogClock();  // raises the timer resolution to 1 ms, then synchronises
    ~LogClock(); // restores it
    LogClock(const LogClock&) = delete;
    LogClock& operator=(const LogClock&) = delete;

    void Synchronise();
    double Read(); // seconds of the year

    // Interval timing for waits: start now, done once the deadline is reached.
    void StartInterval(double seconds); // at most 86400; negative counts as 0
    bool IntervalDone();                // reads the clock

  private:
    double m_counterPeriod = 0.0; // s per tick
    double m_counterAtSync = 0.0; // ticks
    double m_secondsAtSync = 0.0; // s of the year
    double m_now = 0.0;           // s, clamped to 0 ... 31708800
    double m_startMark = 0.0;     // s
    double m_interval = 0.0;      // s
    double m_deadline = 0.0;      // s
};

class ErrorLog {
  public:
    using LineListener = std::function<void(const std::string& line)>;

    // path nullptr: "ErrorLog.Log". Creates or empties the file.
    explicit ErrorLog(const char* path = nullptr, LineListener listener = {});
    ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    // Appends "%06d  ddd:hh:mm:ss.ssssss  text[warnings]\n".
    void Add(const std::string& text, int32_t code);
    void CloseFile();
    const std::string& Path() const { return m_path; }

  private:
    bool m_busy = false;
    std::unique_ptr<LogClock> m_clock;
    LineListener m_listener;
    std::FILE* m_file = nullptr;
    std::string m_path; // at most 255 characters
};
