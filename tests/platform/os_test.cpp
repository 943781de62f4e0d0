#include "base_dir_test.h"

#include <ctime>
#include <sys/stat.h>

using testing_support::Exists;
using testing_support::WriteAll;

namespace {

class Os : public testing_support::BaseDirTest {};

TEST(RealClock, CounterRunsForwardInNanoseconds) {
    platform::SystemClock& clock = platform::Clock();
    EXPECT_EQ(clock.CounterFrequency(), 1'000'000'000);
    const int64_t before = clock.Counter();
    platform::Sleep(20);
    const int64_t after = clock.Counter();
    EXPECT_GE(after - before, 20'000'000); // the sleep lasted at least 20 ms
    platform::Sleep(0);
    EXPECT_GE(clock.Counter(), after);
}

TEST(RealClock, LocalTimeAgreesWithCLibrary) {
    const time_t before = std::time(nullptr);
    const platform::LocalTime now = platform::Clock().Now();
    const time_t after = std::time(nullptr);
    std::tm parts{};
    parts.tm_year = now.year - 1900;
    parts.tm_mon = now.month - 1;
    parts.tm_mday = now.day;
    parts.tm_hour = now.hour;
    parts.tm_min = now.minute;
    parts.tm_sec = now.second;
    parts.tm_isdst = -1;
    const time_t seen = std::mktime(&parts);
    EXPECT_GE(seen, before - 1);
    EXPECT_LE(seen, after + 1);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
}

TEST(ClockSeam, InstalledClockIsUsedUntilRemoved) {
    platform::SystemClock* real = &platform::Clock();
    {
        testing_support::ScopedFakeClock fake;
        fake->counter = 42;
        EXPECT_NE(&platform::Clock(), real);
        EXPECT_EQ(platform::Clock().Counter(), 42);
    }
    EXPECT_EQ(&platform::Clock(), real);
}

TEST_F(Os, DeleteFileRemovesFilesOnly) {
    WriteAll(Path("f"), "x");
    ASSERT_EQ(::mkdir(Path("d").c_str(), 0755), 0);
    const struct {
        std::string path;
        bool removed;
    } cases[] = {{Path("f"), true}, {Path("f"), false}, {Path("d"), false}, {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::DeleteFile(c.path), c.removed) << c.path;
    EXPECT_FALSE(Exists(Path("f")));
    EXPECT_TRUE(Exists(Path("d")));
}

TEST_F(Os, CurrentDirectoryFollowsSuccessfulChangesOnly) {
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
    EXPECT_TRUE(platform::SetCurrentDirectory("sub"));
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("sub"));
    EXPECT_FALSE(platform::SetCurrentDirectory(""));
    EXPECT_FALSE(platform::SetCurrentDirectory(Path("none")));
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("sub"));
}

} // namespace
