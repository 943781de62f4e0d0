#include "app_context.h"
#include "base_dir_test.h"
#include "error_log.h"
#include "program_log.h"
#include "table_test.h"

#include <QString>
#include <sys/stat.h>

using testing_support::Exists;
using testing_support::ReadAll;
using testing_support::ScopedFakeClock;

namespace {

using testing_support::PrintTo;

class ProgramLogTest : public testing_support::BaseDirTest {
  protected:
    ProgramLogTest() : BaseDirTest(testing_support::TestBase::ContextBase::Set) {}
    void makeLogDirectory() const {
        ASSERT_EQ(::mkdir(Path("SYSTEM").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(Path("SYSTEM/ERLOGS").c_str(), 0755), 0);
    }

    ScopedFakeClock clock;
};

struct ResolveCase {
    const char* name;
    bool withSubdirectory; // SYSTEM/ERLOGS exists below the base directory
    const char* logName;
    const char* logSubdirectory;
    const char* fallbackLogName;
    bool wanted;
    const char* path; // "@" stands for the base directory
};

const ResolveCase kResolve[] = {
    {"NothingGiven", true, nullptr, nullptr, nullptr, false, ""},
    {"InSubdirectory", true, "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone", true,
     "@//SYSTEM/ERLOGS/Quillstone.Log"},
    {"SubdirectoryMissing", false, "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone", true,
     "Quillstone.Log"},
    {"NoLogNameInSubdirectory", true, nullptr, "/SYSTEM/ERLOGS/", nullptr, true,
     "@//SYSTEM/ERLOGS/.Log"},
    {"DefaultFallback", true, "Quillstone", nullptr, nullptr, true, "LogFile.Log"},
    {"EmptySubdirectory", true, "Quillstone", "", "Fallback", true, "Fallback.Log"},
    {"OnlyFallback", true, nullptr, nullptr, "Only", true, "Only.Log"},
};

class Resolve : public ProgramLogTest, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(Resolve, ChoosesPath) {
    const ResolveCase& c = GetParam();
    if (c.withSubdirectory)
        makeLogDirectory();
    ASSERT_TRUE(platform::SetCurrentDirectory("/"));
    std::string path = "stale";
    EXPECT_EQ(ResolveLogPath(c.logName, c.logSubdirectory, c.fallbackLogName, path), c.wanted);
    std::string expected = c.path;
    if (!expected.empty() && expected[0] == '@')
        expected = Dir() + expected.substr(1);
    EXPECT_EQ(path, expected);
    EXPECT_EQ(platform::GetCurrentDirectory(), "/");
    EXPECT_EQ(Exists(Path("SYSTEM")), c.withSubdirectory);
}

INSTANTIATE_TEST_SUITE_P(Cases, Resolve, ::testing::ValuesIn(kResolve), testing_support::RowName{});

TEST_F(ProgramLogTest, LogLandsInSubdirectoryWhenPresent) {
    makeLogDirectory();
    std::string path;
    ASSERT_TRUE(ResolveLogPath("Quillstone", "/SYSTEM/ERLOGS/", "Quillstone", path));
    AppContext().ProgramLog = std::make_unique<ErrorLog>(path.c_str());
    LogMessage("hello", kLogNotice);
    EXPECT_EQ(ReadAll(Path("SYSTEM/ERLOGS/Quillstone.Log")),
              "000001  340:14:05:07.250000  hello\n");
    EXPECT_FALSE(Exists(Path("Quillstone.Log")));
}

TEST_F(ProgramLogTest, FallbackLogFollowsBaseDirectoryWhereverCurrentIs) {
    std::string path;
    ASSERT_TRUE(ResolveLogPath("Quillstone", "/SYSTEM/ERLOGS/", "Quillstone", path));
    AppContext().ProgramLog = std::make_unique<ErrorLog>(path.c_str());
    ASSERT_EQ(::mkdir(Path("elsewhere").c_str(), 0755), 0);
    ASSERT_TRUE(platform::SetCurrentDirectory(Path("elsewhere")));
    LogMessage("moved", kLogNotice);
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    EXPECT_EQ(ReadAll(Path("Quillstone.Log")), "000001  340:14:05:07.250000  moved\n");
    EXPECT_FALSE(Exists(Path("elsewhere/Quillstone.Log")));
}

TEST_F(ProgramLogTest, EveryMessageResetsCurrentDirectoryEvenWithoutLog) {
    ASSERT_FALSE(AppContext().ProgramLog);
    ASSERT_TRUE(platform::SetCurrentDirectory("/"));
    LogMessage("dropped", kLogNotice);
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    EXPECT_FALSE(Exists(Path("Quillstone.Log")));
}

TEST_F(ProgramLogTest, EmptyBaseDirectoryLeavesCurrentDirectory) {
    AppContext().BaseDirectory.clear();
    ASSERT_TRUE(platform::SetCurrentDirectory("/"));
    LogMessage("before start", kLogNotice);
    EXPECT_EQ(platform::GetCurrentDirectory(), "/");
}

TEST_F(ProgramLogTest, ThreeFormsWriteAlike) {
    AppContext().ProgramLog = std::make_unique<ErrorLog>("Quillstone.Log");
    LogMessage("chars", kLogBanner);
    LogMessage(std::string("standard"), kLogNotice);
    LogMessage(QString::fromUtf8("qt \xC3\xA9"), kLogAbnormalEnd);
    LogMessage(static_cast<const char*>(nullptr), kLogNotice);
    EXPECT_EQ(ReadAll(Path("Quillstone.Log")), "000000  340:14:05:07.250000  chars\n"
                                               "000001  340:14:05:07.250000  standard\n"
                                               "005000  340:14:05:07.250000  qt \xC3\xA9\n"
                                               "000001  340:14:05:07.250000  \n");
}

TEST_F(ProgramLogTest, MessageAfterLogIsGoneLeavesFile) {
    AppContext().ProgramLog = std::make_unique<ErrorLog>("Quillstone.Log");
    LogMessage("during", kLogNotice);
    const std::string during = ReadAll(Path("Quillstone.Log"));
    ASSERT_FALSE(during.empty());
    AppContext().ProgramLog->CloseFile();
    AppContext().ProgramLog.reset();
    LogMessage("after", kLogNotice);
    EXPECT_EQ(ReadAll(Path("Quillstone.Log")), during);
}

TEST_F(ProgramLogTest, ResetReturnsContextToBeforeStart) {
    AppContextData& context = AppContext();
    context.ProgramLog = std::make_unique<ErrorLog>("Quillstone.Log");
    context.ShuttingDown = 1;
    context.DriverVersion.dwVer = 602;
    context.DriverVersion.cVer[0] = 'V';
    context.DriverErrorText = "WINDRVR6 Init failed.";
    context.SpeakerPorts = {1, 2, 3};
    ResetAppContext();
    EXPECT_TRUE(context.BaseDirectory.empty());
    EXPECT_FALSE(context.ProgramLog);
    EXPECT_FALSE(context.Speaker);
    EXPECT_EQ(context.ShuttingDown, 0);
    EXPECT_EQ(context.DriverVersion.dwVer, 0u);
    EXPECT_EQ(context.DriverVersion.cVer[0], '\0');
    EXPECT_TRUE(context.DriverErrorText.empty());
    EXPECT_EQ(context.SpeakerPorts, (std::array<uint32_t, 3>{0x43, 0x42, 0x61}));
    EXPECT_EQ(&AppContext(), &context);
}

} // namespace
