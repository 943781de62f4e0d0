#include "base_dir_test.h"
#include "file_calls.h"
#include "file_replace.h"
#include "table_test.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::ReadAll;
using testing_support::WriteAll;
using Calls = testing_support::ScriptedFileCalls;

namespace {

using testing_support::PrintTo;

const std::string kOld = "old contents\r\n";
const std::string kNew = std::string(5000, 'n');

class FileReplace : public testing_support::BaseDirTest {
  protected:
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Dir()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    Calls m_calls;
};

TEST_F(FileReplace, OneReplaceSyncsFileAndDirectoryAndRenamesOnce) {
    const mode_t previousMask = ::umask(022);
    const bool created = platform::ReplaceFile(Path("new.txt"), kNew);
    ::umask(previousMask);
    ASSERT_TRUE(created);
    EXPECT_EQ(ReadAll(Path("new.txt")), kNew);
    EXPECT_EQ(m_calls.Count(Calls::Fsync), 2);
    EXPECT_EQ(m_calls.Count(Calls::Rename), 1);
    EXPECT_EQ(m_calls.Count(Calls::Open), m_calls.Count(Calls::Close)); // nothing left open
    struct stat info {};
    ASSERT_EQ(::stat(Path("new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(entries(), std::vector<std::string>{"new.txt"});
}

struct FailCase {
    const char* name;
    Calls::Call call;
    int error;
};

const FailCase kFailCases[] = {
    {"TemporaryNotCreated", Calls::Open, EACCES},
    {"PermissionsNotKept", Calls::Fchmod, EPERM},
    {"DiskFull", Calls::Write, ENOSPC},
    {"SyncFails", Calls::Fsync, EIO},
    {"CloseReportsLateError", Calls::Close, EDQUOT},
    {"RenameRefused", Calls::Rename, EXDEV},
};

class FileReplaceFails : public FileReplace, public ::testing::WithParamInterface<FailCase> {};

TEST_P(FileReplaceFails, LeavesTargetAndNoTemporary) {
    const FailCase& c = GetParam();
    WriteAll(Path("t.txt"), kOld);
    m_calls.Fail(c.call, c.error);
    int error = 0;
    EXPECT_FALSE(platform::ReplaceFile(Path("t.txt"), kNew, &error));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(ReadAll(Path("t.txt")), kOld);
    EXPECT_EQ(entries(), std::vector<std::string>{"t.txt"});
}

INSTANTIATE_TEST_SUITE_P(Steps, FileReplaceFails, ::testing::ValuesIn(kFailCases),
                         testing_support::RowName());

// The process killed in the middle of a replace, in a child: the target
// still holds the old contents, and the next replace works.
class FileReplaceKilled
    : public FileReplace,
      public ::testing::WithParamInterface<std::pair<const char*, Calls::Call>> {};

TEST_P(FileReplaceKilled, OldContentsSurvive) {
    WriteAll(Path("t.txt"), kOld);
    m_calls.Fail(GetParam().second, 0, 1, true);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::ReplaceFile(Path("t.txt"), kNew);
        ::_exit(0); // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(ReadAll(Path("t.txt")), kOld);
    m_calls.Reset();
    ASSERT_TRUE(platform::ReplaceFile(Path("t.txt"), "after"));
    EXPECT_EQ(ReadAll(Path("t.txt")), "after");
}

INSTANTIATE_TEST_SUITE_P(During, FileReplaceKilled,
                         ::testing::Values(std::pair{"Write", Calls::Write},
                                           std::pair{"Fsync", Calls::Fsync},
                                           std::pair{"Rename", Calls::Rename}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_F(FileReplace, TakenTemporaryNameIsPassedOver) {
    WriteAll(Path("t.txt"), kOld);
    m_calls.Fail(Calls::Open, EEXIST);
    EXPECT_TRUE(platform::ReplaceFile(Path("t.txt"), kNew));
    EXPECT_EQ(ReadAll(Path("t.txt")), kNew);
    EXPECT_EQ(entries(), std::vector<std::string>{"t.txt"});
}

} // namespace
