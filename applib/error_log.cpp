#include "error_log.h"

#include "os.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kSmallestReading = 0.000001; // s; anything less means the clock failed
constexpr double kLongestInterval = 86400.0;  // s
constexpr const char* kDefaultPath = "ErrorLog.Log";
constexpr const char* kReinitWarning = "  >>>> HAD TO REINIT ErrorLog TIMER";
constexpr const char* kCpuTimeWarning = "  >>>> HAD TO USE THE CPU TIME";

// Days before each month, February not counted (it is added separately).
constexpr int kDaysBeforeMonth[12] = {0, 31, 31, 62, 92, 123, 153, 184, 215, 245, 276, 306};
constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool inYearRange(double seconds) {
    return std::isfinite(seconds) && seconds >= 0.0 && seconds <= kSecondsOfLeapYearPlusOne;
}

// "%0<width>d" without the C library's locale.
std::string zeroFilled(long long number, int width) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    static_cast<void>(error); // 24 characters hold every long long
    std::string text(digits, end);
    const bool negative = number < 0;
    const std::size_t wanted = static_cast<std::size_t>(width);
    if (text.size() < wanted)
        text.insert(negative ? 1 : 0, wanted - text.size(), '0');
    return text;
}

// "%09.6f" with a full stop whatever the locale.
std::string secondsText(double seconds) {
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, seconds, std::chars_format::fixed, 6);
    if (error != std::errc())
        return "00.000000";
    std::string text(digits, end);
    if (text.size() < 9)
        text.insert(0, 9 - text.size(), '0');
    return text;
}

std::string timeStamp(double reading) {
    const TimeSplit split = SplitTime(reading);
    return zeroFilled(split.days, 3) + ":" + zeroFilled(split.hours, 2) + ":" +
           zeroFilled(split.minutes, 2) + ":" + secondsText(split.seconds);
}

} // namespace

double SecondsOfYear() {
    const platform::LocalTime now = platform::Clock().Now();
    const double seconds = DayOfYear(now.year, now.month, now.day) * kSecondsPerDay +
                           now.hour * 3600.0 + now.minute * 60.0 + now.second +
                           now.millisecond * 0.001;
    return inYearRange(seconds) ? seconds : 0.0;
}

int DayOfYear(int year, int month, int day) {
    const int february = (year % 4 == 0) ? 29 : 28;
    if (month < 1 || month > 12)
        month = 1; // below 1 would index outside the tables
    const int length = month == 2 ? february : kDaysInMonth[month - 1];
    if (day > length)
        day = 1;
    return kDaysBeforeMonth[month - 1] + (month > 2 ? february : 0) + day;
}

TimeSplit SplitTime(double secondsOfYear) {
    TimeSplit split;
    if (!inYearRange(secondsOfYear))
        return split;
    split.days = static_cast<int>(secondsOfYear / kSecondsPerDay);
    double rest = secondsOfYear - split.days * kSecondsPerDay;
    split.hours = static_cast<int>(rest / 3600.0);
    rest -= split.hours * 3600.0;
    split.minutes = static_cast<int>(rest / 60.0);
    split.seconds = rest - split.minutes * 60.0;
    return split;
}

LogClock::LogClock() {
    platform::TimeBeginPeriod(1);
    Synchronise();
}

LogClock::~LogClock() {
    platform::TimeEndPeriod(1);
}

void LogClock::Synchronise() {
    platform::SystemClock& clock = platform::Clock();
    m_counterPeriod = 1.0 / static_cast<double>(clock.CounterFrequency());
    m_counterAtSync = static_cast<double>(clock.Counter());
    m_secondsAtSync = SecondsOfYear();
}

double LogClock::Read() {
    double elapsed = 1.0; // s, when the counter cannot be read
    try {
        const double counter = static_cast<double>(platform::Clock().Counter());
        elapsed = std::fabs(counter - m_counterAtSync) * m_counterPeriod;
    } catch (...) {
        elapsed = 1.0;
    }
    return m_secondsAtSync + elapsed;
}

void LogClock::StartInterval(double seconds) {
    m_interval = std::isfinite(seconds) ? std::clamp(seconds, 0.0, kLongestInterval) : 0.0;
    const double reading = Read();
    m_now = inYearRange(reading) ? reading : 0.0;
    m_startMark = m_now;
    m_deadline = m_startMark + m_interval;
}

bool LogClock::IntervalDone() {
    const double reading = Read();
    m_now = inYearRange(reading) ? reading : 0.0;
    return m_now >= m_deadline;
}

ErrorLog::ErrorLog(const char* path, LineListener listener)
    : m_clock(std::make_unique<LogClock>()), m_listener(std::move(listener)),
      m_path(path != nullptr ? path : kDefaultPath) {
    // Creates the file, or empties the one of an earlier run.
    if (std::FILE* file = std::fopen(m_path.c_str(), "w"))
        std::fclose(file);
}

ErrorLog::~ErrorLog() {
    CloseFile();
}

void ErrorLog::Add(const std::string& text, int32_t code) {
    if (m_busy)
        return; // a listener that logs again
    m_busy = true;
    // Cleared on every way out, also when the listener throws.
    struct BusyGuard {
        bool& busy;
        ~BusyGuard() { busy = false; }
    } guard{m_busy};
    std::string warnings;
    double reading = m_clock->Read();
    if (reading > kSecondsOfLeapYearPlusOne) {
        m_clock->Synchronise();
        reading = m_clock->Read();
        warnings += kReinitWarning;
    }
    if (!(reading >= kSmallestReading)) {
        m_clock.reset();
        m_clock = std::make_unique<LogClock>();
        reading = m_clock->Read();
        warnings += kCpuTimeWarning;
    }
    const std::string line =
        zeroFilled(code, 6) + "  " + timeStamp(reading) + "  " + text + warnings + "\n";
    m_file = std::fopen(m_path.c_str(), "a+");
    if (m_file == nullptr)
        return; // this line is lost; the next one tries the file again
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
    CloseFile();
    if (m_listener)
        m_listener(line);
}

void ErrorLog::CloseFile() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
