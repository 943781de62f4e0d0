// Starting and stopping real child processes: a tiny script in the test's
// base directory stands in for the log viewer.
#include "base_dir_test.h"
#include "process.h"
#include "process_spawn.h"
#include "table_test.h"

#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <regex>

using testing_support::HardwareTest;

namespace {

// The state letter of /proc/<pid>/stat ('Z' for a zombie), or 0.
char processState(pid_t pid) {
    const std::string stat = testing_support::ReadAll("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() ? 0 : stat[close + 2];
}

// Running: present and not a zombie waiting for its parent.
bool alive(pid_t pid) {
    const char state = processState(pid);
    return state != 0 && state != 'Z';
}

bool reaped(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == -1 && errno == ECHILD;
}

class ProcessTest : public HardwareTest {
  protected:
    void TearDown() override {
        StopProgram(m_record);
        HardwareTest::TearDown();
    }
    // Writes its argument, directory and a variable of the environment, then
    // lingers until stopped.
    std::string viewer() {
        const std::string path = Path("viewer.sh");
        testing_support::WriteScript(
            path, "printf '%s\\n%s\\n%s\\n' \"$1\" \"$(pwd)\" \"$QUILLSTONE_MARK\" "
                  "> out.tmp && mv out.tmp out.txt\nexec sleep 60\n");
        return path;
    }
    std::vector<std::string> output() {
        return testing_support::Lines(testing_support::ReadAll(Path("out.txt")));
    }
    ProcessRecord m_record;
};

TEST_F(ProcessTest, RunsWithItsCommandLineOurEnvironmentAndDirectory) {
    ::setenv("QUILLSTONE_MARK", "inherited", 1);
    ASSERT_TRUE(RunProgram(viewer(), "/logs/Quillstone Log.Log", 0, m_record));
    ::unsetenv("QUILLSTONE_MARK");
    ASSERT_GT(m_record.process, 0);
    ASSERT_TRUE(testing_support::WaitFor([&] { return output().size() == 3; }));
    EXPECT_EQ(output(), (std::vector<std::string>{"/logs/Quillstone Log.Log", Dir(), "inherited"}));
    EXPECT_TRUE(alive(m_record.process)); // not waited for
}

TEST_F(ProcessTest, StopEndsAndReapsTheChildAndASecondStopDoesNothing) {
    ASSERT_TRUE(RunProgram(viewer(), "x", 0, m_record));
    const pid_t pid = m_record.process;
    StopProgram(m_record);
    EXPECT_EQ(m_record.process, 0);
    EXPECT_FALSE(alive(pid));
    EXPECT_TRUE(reaped(pid));
    StopProgram(m_record);
    EXPECT_EQ(m_record.process, 0);
}

TEST_F(ProcessTest, ChildThatEndedIsReapedAndForgotten) {
    const std::string quick = Path("quick.sh");
    testing_support::WriteScript(quick, "exit 3\n");
    ASSERT_TRUE(RunProgram(quick, "", 0, m_record));
    const pid_t pid = m_record.process;
    ASSERT_TRUE(testing_support::WaitFor([&] { return processState(pid) == 'Z'; }));
    StopProgram(m_record);
    EXPECT_EQ(m_record.process, 0);
    EXPECT_TRUE(reaped(pid));
}

TEST_F(ProcessTest, ProcessThatIsNotOurChildIsLeftAlone) {
    // A grandchild, adopted by another process: its pid must never be killed
    // through a record, since it may belong to anyone.
    const std::string detached = Path("detached.sh");
    testing_support::WriteScript(detached,
                                 "echo $$ > pid.tmp && mv pid.tmp pid.txt\nexec sleep 60\n");
    ASSERT_TRUE(platform::SpawnDetached(detached, {detached}));
    ASSERT_TRUE(testing_support::WaitFor(
        [&] { return !testing_support::ReadAll(Path("pid.txt")).empty(); }));
    const pid_t stranger = std::stoi(testing_support::ReadAll(Path("pid.txt")));
    ProcessRecord record{stranger};
    StopProgram(record);
    EXPECT_EQ(record.process, 0);
    EXPECT_TRUE(alive(stranger));
    ::kill(stranger, SIGKILL);
}

struct PriorityCase {
    uint8_t lowPriority;
    bool idle;
};

class PriorityTable : public ProcessTest, public ::testing::WithParamInterface<PriorityCase> {};

TEST_P(PriorityTable, LowPriorityRunsInTheIdleClass) {
    ASSERT_TRUE(RunProgram(viewer(), "", GetParam().lowPriority, m_record));
    const pid_t pid = m_record.process;
    const int policy = ::sched_getscheduler(pid);
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(pid));
    const bool idle = policy == SCHED_IDLE || nice == 19;
    EXPECT_EQ(idle, GetParam().idle) << "policy " << policy << ", nice " << nice;
    if (policy == SCHED_IDLE) {
        // The same as the kernel shows it: policy 5 in /proc/<pid>/sched.
        const std::string sched =
            testing_support::ReadAll("/proc/" + std::to_string(pid) + "/sched");
        EXPECT_TRUE(std::regex_search(sched, std::regex(R"(policy\s*:\s*5\b)"))) << sched;
    }
}

INSTANTIATE_TEST_SUITE_P(Priorities, PriorityTable,
                         ::testing::Values(PriorityCase{0, false}, PriorityCase{1, true},
                                           PriorityCase{255, true}),
                         [](const auto& info) {
                             return "lowPriority" + std::to_string(info.param.lowPriority);
                         });

struct FailureCase {
    const char* name;
    const char* file; // created under the base directory, "" for none
    const char* contents;
    unsigned mode;
};

class StartFailure : public ProcessTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartFailure, ReturnsFalseAndKeepsTheEarlierRecord) {
    ASSERT_TRUE(RunProgram(viewer(), "", 0, m_record));
    const pid_t earlier = m_record.process;
    const FailureCase& c = GetParam();
    std::string name = Path(c.file);
    if (std::string(c.name) == "directory") {
        std::filesystem::create_directories(name);
    } else if (*c.contents != '\0') {
        testing_support::WriteAll(name, c.contents);
        ::chmod(name.c_str(), c.mode);
    } else if (*c.file == '\0') {
        name.clear();
    }
    EXPECT_FALSE(RunProgram(name, "arg", 0, m_record));
    EXPECT_FALSE(RunProgram(name, "arg", 1, m_record));
    EXPECT_EQ(m_record.process, earlier);
    EXPECT_TRUE(alive(earlier));
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), 0); // no failed child left behind
}

INSTANTIATE_TEST_SUITE_P(
    Names, StartFailure,
    ::testing::Values(FailureCase{"missing", "Wexalor.exe", "", 0},
                      FailureCase{"emptyName", "", "", 0},
                      FailureCase{"notExecutable", "plain.txt", "#!/bin/sh\nexit 0\n", 0644},
                      FailureCase{"directory", "folder", "", 0},
                      FailureCase{"missingInterpreter", "broken.sh", "#!/no/such/shell\n", 0755},
                      FailureCase{"notAProgram", "garbage.bin", "\x01\x02\x03 not an executable",
                                  0755}),
    testing_support::RowName{});

} // namespace
