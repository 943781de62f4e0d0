#include "base_dir_test.h"
#include "error_log.h"
#include "table_test.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <sys/stat.h>

using testing_support::ReadAll;
using testing_support::ScopedFakeClock;
using testing_support::WriteAll;

namespace {

using testing_support::PrintTo;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct DayCase {
    int year, month, day, expected;
};

void PrintTo(const DayCase& c, std::ostream* os) {
    *os << c.year << "-" << c.month << "-" << c.day;
}

const DayCase kDays[] = {
    {2023, 1, 1, 1},     {2023, 1, 5, 5},     {2023, 3, 1, 60},  {2024, 3, 1, 61},
    {2023, 12, 31, 365}, {2024, 12, 31, 366}, {2100, 3, 1, 61},  {2023, 12, 6, 340},
    {2024, 2, 29, 60},   {2023, 2, 29, 32},   {2024, 2, 30, 32}, {2023, 4, 31, 91},
    {2023, 4, 30, 120},  {2023, 5, 31, 151},  {2023, 13, 5, 5},  {2023, 0, 5, 5},
};

class DayOfYearTest : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayOfYearTest, Counts) {
    const DayCase& c = GetParam();
    EXPECT_EQ(DayOfYear(c.year, c.month, c.day), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Dates, DayOfYearTest, ::testing::ValuesIn(kDays));

struct SplitCase {
    double reading;
    TimeSplit expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.reading;
}

const SplitCase kSplits[] = {
    {0.0, {0, 0, 0, 0.0}},
    {86400.0, {1, 0, 0, 0.0}},
    {340 * 86400.0 + 14 * 3600 + 5 * 60 + 7.25, {340, 14, 5, 7.25}},
    {86399.5, {0, 23, 59, 59.5}},
    {kSecondsOfLeapYearPlusOne, {367, 0, 0, 0.0}},
    {kSecondsOfLeapYearPlusOne + 0.5, {0, 0, 0, 0.0}},
    {-1.0, {0, 0, 0, 0.0}},
    {kNaN, {0, 0, 0, 0.0}},
    {kInf, {0, 0, 0, 0.0}},
};

class SplitTimeTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTimeTest, Splits) {
    const SplitCase& c = GetParam();
    const TimeSplit split = SplitTime(c.reading);
    EXPECT_EQ(split.days, c.expected.days);
    EXPECT_EQ(split.hours, c.expected.hours);
    EXPECT_EQ(split.minutes, c.expected.minutes);
    EXPECT_DOUBLE_EQ(split.seconds, c.expected.seconds);
}

INSTANTIATE_TEST_SUITE_P(Readings, SplitTimeTest, ::testing::ValuesIn(kSplits));

TEST(SecondsOfYearTest, FromLocalTime) {
    ScopedFakeClock clock;
    const struct {
        platform::LocalTime now;
        double expected;
    } cases[] = {
        {{2023, 12, 6, 14, 5, 7, 250}, 340 * 86400.0 + 50707.25},
        {{2023, 1, 1, 0, 0, 0, 0}, 86400.0},
        {{2024, 12, 31, 23, 59, 59, 999}, 366 * 86400.0 + 86399.999},
        {{2024, 12, 31, 25, 0, 0, 0}, 0.0}, // beyond 367 days
        {{2023, 1, 1, -48, 0, 0, 0}, 0.0},  // below zero
    };
    for (const auto& c : cases) {
        clock->now = c.now;
        EXPECT_DOUBLE_EQ(SecondsOfYear(), c.expected) << c.now.hour;
    }
}

class ErrorLogTest : public testing_support::BaseDirTest {
  protected:
    ScopedFakeClock clock;
};

struct LineCase {
    const char* name;
    int32_t code;
    const char* text;
    const char* line;
};

const LineCase kLines[] = {
    {"Banner", 0, "------------------PROGRAM START--------------------",
     "000000  340:14:05:07.250000  ------------------PROGRAM START--------------------\n"},
    {"DriverVersionCode", 602, "WINDRIVER Version 6.2",
     "000602  340:14:05:07.250000  WINDRIVER Version 6.2\n"},
    {"AbnormalEnd", 5000, "Abnormal Program Termination",
     "005000  340:14:05:07.250000  Abnormal Program Termination\n"},
    {"WideCode", 1234567, "x", "1234567  340:14:05:07.250000  x\n"},
    {"NegativeCode", -5, "x", "-00005  340:14:05:07.250000  x\n"},
    {"EmptyText", 1, "", "000001  340:14:05:07.250000  \n"},
    {"TextEndingInLineEnd", 1, "failed.\n", "000001  340:14:05:07.250000  failed.\n\n"},
};

class LogLine : public ErrorLogTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LogLine, HasExactFormat) {
    const LineCase& c = GetParam();
    ErrorLog log(Path("t.Log").c_str());
    log.Add(c.text, c.code);
    EXPECT_EQ(ReadAll(Path("t.Log")), c.line);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogLine, ::testing::ValuesIn(kLines), testing_support::RowName{});

TEST_F(ErrorLogTest, CreationEmptiesFileAndLinesFollowInOrder) {
    WriteAll(Path("t.Log"), "old run\r\n");
    ErrorLog log(Path("t.Log").c_str());
    EXPECT_EQ(ReadAll(Path("t.Log")), "");
    log.Add("one", 0);
    clock->Advance(0.000001); // one microsecond, same millisecond
    log.Add("two", 1);
    EXPECT_EQ(ReadAll(Path("t.Log")),
              "000000  340:14:05:07.250000  one\n000001  340:14:05:07.250001  two\n");
}

TEST_F(ErrorLogTest, DefaultPathInCurrentDirectory) {
    ErrorLog log;
    EXPECT_EQ(log.Path(), "ErrorLog.Log");
    log.Add("x", 0);
    EXPECT_EQ(ReadAll(Path("ErrorLog.Log")), "000000  340:14:05:07.250000  x\n");
}

// The day field has three digits; seconds round up to 60 rather than carry.
TEST_F(ErrorLogTest, TimeFieldsAsTheyFall) {
    clock->now = {2023, 1, 5, 0, 0, 7, 250};
    ErrorLog(Path("t.Log").c_str()).Add("x", 0);
    EXPECT_EQ(ReadAll(Path("t.Log")), "000000  005:00:00:07.250000  x\n");
    clock->now = {2023, 12, 6, 14, 5, 59, 999};
    ErrorLog log(Path("t.Log").c_str());
    clock->Advance(0.0009996);
    log.Add("x", 0);
    EXPECT_EQ(ReadAll(Path("t.Log")), "000000  340:14:05:60.000000  x\n");
}

TEST_F(ErrorLogTest, PassingNewYearCountsOnThenReinitialises) {
    clock->now = {2023, 12, 31, 23, 59, 59, 0};
    ErrorLog log(Path("t.Log").c_str());
    clock->Advance(1.0);
    log.Add("a", 0);
    clock->Advance(86400.0);
    log.Add("b", 0); // exactly 367 days: still counted on
    clock->now = {2024, 1, 1, 0, 0, 0, 500};
    clock->Advance(0.5);
    log.Add("c", 0);
    clock->Advance(0.25);
    log.Add("d", 0);
    EXPECT_EQ(ReadAll(Path("t.Log")),
              "000000  366:00:00:00.000000  a\n"
              "000000  367:00:00:00.000000  b\n"
              "000000  001:00:00:00.500000  c  >>>> HAD TO REINIT ErrorLog TIMER\n"
              "000000  001:00:00:00.750000  d\n");
}

TEST_F(ErrorLogTest, ClockFailuresAreRecoveredAndMarked) {
    const platform::LocalTime good{2023, 12, 6, 14, 5, 7, 250};
    const platform::LocalTime bad{2024, 12, 31, 99, 0, 0, 0}; // beyond 367 days: 0 s
    const std::string cpu = "  >>>> HAD TO USE THE CPU TIME";
    const std::string reinit = "  >>>> HAD TO REINIT ErrorLog TIMER";
    const struct {
        const char* name;
        platform::LocalTime atCreation, atAdd;
        double advance;
        int64_t frequency;
        std::string expected;
    } cases[] = {
        {"ZeroReadingNewClockGood", bad, good, 0.0, 10'000'000,
         "000001  340:14:05:07.250000  m" + cpu + "\n"},
        {"ZeroReadingStaysZero", bad, bad, 0.0, 10'000'000,
         "000001  000:00:00:00.000000  m" + cpu + "\n"},
        {"ReinitThenCpuTime",
         {2024, 12, 31, 23, 59, 59, 0},
         bad,
         2.0,
         10'000'000,
         "000001  000:00:00:00.000000  m" + reinit + cpu + "\n"},
        {"NotANumber", good, good, 0.0, 0, "000001  000:00:00:00.000000  m" + cpu + "\n"},
    };
    for (const auto& c : cases) {
        clock->now = c.atCreation;
        clock->frequency = c.frequency;
        ErrorLog log(Path("t.Log").c_str());
        clock->now = c.atAdd;
        clock->Advance(c.advance);
        log.Add("m", 1);
        EXPECT_EQ(ReadAll(Path("t.Log")), c.expected) << c.name;
    }
}

TEST_F(ErrorLogTest, CounterTroublesStillGiveTime) {
    ErrorLog log(Path("t.Log").c_str());
    clock->counter -= 2 * clock->frequency; // runs backwards: still 2 s elapsed
    log.Add("back", 0);
    clock->counterThrows = true; // unreadable: 1 s elapsed
    log.Add("thrown", 0);
    EXPECT_EQ(ReadAll(Path("t.Log")),
              "000000  340:14:05:09.250000  back\n000000  340:14:05:08.250000  thrown\n");
}

TEST_F(ErrorLogTest, FailedOpenDoesNotSilenceLaterLines) {
    ASSERT_EQ(::mkdir(Path("logs").c_str(), 0755), 0);
    ErrorLog log(Path("logs/t.Log").c_str());
    log.Add("first", 1);
    const std::string kept = ReadAll(Path("logs/t.Log"));
    std::filesystem::rename(Path("logs"), Path("moved"));
    WriteAll(Path("logs"), "a file where the directory was");
    log.Add("lost", 1);
    ASSERT_EQ(ReadAll(Path("logs")), "a file where the directory was");
    std::filesystem::remove(Path("logs"));
    std::filesystem::rename(Path("moved"), Path("logs"));
    log.Add("again", 1);
    EXPECT_EQ(ReadAll(Path("logs/t.Log")), kept + "000001  340:14:05:07.250000  again\n");
}

TEST_F(ErrorLogTest, ListenerSeesLineAndCannotReenter) {
    std::vector<std::string> heard;
    ErrorLog* self = nullptr;
    ErrorLog log(Path("t.Log").c_str(), [&](const std::string& line) {
        heard.push_back(line);
        self->Add("from listener", 9); // dropped: the log is busy
    });
    self = &log;
    log.Add("x", 0);
    log.Add("y", 0);
    const std::string expected = "000000  340:14:05:07.250000  x\n000000  340:14:05:07.250000  y\n";
    EXPECT_EQ(ReadAll(Path("t.Log")), expected);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0] + heard[1], expected);
}

TEST_F(ErrorLogTest, ThrowingListenerDoesNotSilenceLaterLines) {
    bool fail = true;
    ErrorLog log(Path("t.Log").c_str(), [&](const std::string&) {
        if (fail)
            throw std::runtime_error("listener failed");
    });
    EXPECT_THROW(log.Add("x", 0), std::runtime_error);
    fail = false;
    log.Add("y", 0);
    EXPECT_EQ(ReadAll(Path("t.Log")),
              "000000  340:14:05:07.250000  x\n000000  340:14:05:07.250000  y\n");
}

TEST_F(ErrorLogTest, IntervalEndsAtDeadline) {
    LogClock logClock;
    const struct {
        double interval;
        double firstStep; // s before the first check
        bool doneFirst;
        double secondStep; // s more before the second check
        bool doneSecond;
    } cases[] = {
        {0.05, 0.049, false, 0.001, true},     {0.0, 0.0, true, 0.0, true},
        {-3.0, 0.0, true, 0.0, true},          {kNaN, 0.0, true, 0.0, true},
        {100000.0, 86399.0, false, 1.0, true}, // limited to one day
    };
    for (const auto& c : cases) {
        logClock.StartInterval(c.interval);
        clock->Advance(c.firstStep);
        EXPECT_EQ(logClock.IntervalDone(), c.doneFirst) << c.interval;
        clock->Advance(c.secondStep);
        EXPECT_EQ(logClock.IntervalDone(), c.doneSecond) << c.interval;
    }
}

} // namespace
