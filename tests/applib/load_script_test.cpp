// The driver load script: missing, failing to start, and started once through
// the interpreter, without waiting and without leaving a zombie.
#include "base_dir_test.h"
#include "driver_check.h"
#include "error_log.h"
#include "log_lines.h"
#include "program_log.h"
#include "program_run.h"

#include <sys/wait.h>

#include <cerrno>

using namespace platform;
using namespace applib_test;
using testing_support::HardwareTest;

namespace {

bool noChildLeft() {
    int status = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class LoadScriptTest : public HardwareTest {
  protected:
    void SetUp() override {
        HardwareTest::SetUp();
        if (HasFatalFailure())
            return;
        AppContext().BaseDirectory = Dir();
        AppContext().ProgramLog = std::make_unique<ErrorLog>(Path("Quillstone.Log").c_str());
    }
    std::string script() { return Path("DriverTools/98_WindriverLoad.bat"); }
    void makeScript(const std::string& body) {
        std::filesystem::create_directories(Path("DriverTools"));
        testing_support::WriteScript(script(), body);
    }
    Log readLog() { return applib_test::readLog(Path("Quillstone.Log")); }
    std::vector<std::string> runs() {
        return testing_support::Lines(testing_support::ReadAll(Path("DriverTools/ran.txt")));
    }
};

TEST_F(LoadScriptTest, MissingScriptIsNamedWithItsFullPath) {
    RunDriverLoadScript();
    EXPECT_EQ(readLog(), (Log{{"000001", kAttempting},
                              {"000001", "    .... Tried to run " + script() +
                                             "  and it does not exist.  Located on your Install "
                                             "CD and put it here."},
                              {"000001", kAttemptFailed}}));
}

// A script someone else could have planted is logged and treated as missing.
TEST_F(LoadScriptTest, ScriptOthersCouldHavePlantedIsNotRun) {
    const struct {
        mode_t mode;
        uid_t owner;
        const char* reason;
    } kPlanted[] = {{0775, 0, "its group or others may write to it"},
                    {0755, 65534, "it belongs to another user"}};
    for (const auto& planted : kPlanted) {
        makeScript("pwd >> ran.txt\n");
        ASSERT_EQ(::chmod(script().c_str(), planted.mode), 0);
        ASSERT_EQ(::chown(script().c_str(), planted.owner, gid_t(-1)), 0);
        std::filesystem::remove(Path("Quillstone.Log"));
        RunDriverLoadScript();
        EXPECT_EQ(readLog(), (Log{{"000001", kAttempting},
                                  {"000001", "    .... Will not run " + script() + "  because " +
                                                 planted.reason + "."},
                                  {"000001", kAttemptFailed}}));
        EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    }
}

TEST_F(LoadScriptTest, ScriptChosenByThePlatformVersion) {
    SetOsVersionSource([](OsVersion& v) {
        v = {kPlatformWindowsNt, 4, 0};
        return true;
    });
    RunDriverLoadScript();
    const Log log = readLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[1].text.find(Dir() + "/DriverTools/Nt_WindriverLoad.bat  and it does not exist"),
              std::string::npos)
        << log[1].text;
}

TEST_F(LoadScriptTest, InterpreterThatCannotStartIsReported) {
    makeScript("echo ran >> ran.txt\n");
    ::setenv("COMSPEC", Path("no-such-interpreter").c_str(), 1);
    RunDriverLoadScript();
    EXPECT_EQ(readLog(), (Log{{"000001", kAttempting},
                              {"000001", "    .... Tried to run " + script() + "  and it failed"},
                              {"000001", kAttemptFailed}}));
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    EXPECT_TRUE(noChildLeft());
}

TEST_F(LoadScriptTest, StartedOnceInDriverToolsThenTheDriverIsCheckedAgain) {
    makeScript("pwd >> ran.txt\n");
    RunDriverLoadScript();
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir()); // back in the base directory
    ASSERT_TRUE(testing_support::WaitFor([&] { return !runs().empty(); }));
    EXPECT_EQ(runs(), std::vector<std::string>{Path("DriverTools")});
    EXPECT_EQ(readLog(), (Log{{"000001", kAttempting},
                              {"000001", kNoInstaller},
                              {"", ""},
                              {"000001", kAttemptFailed}}));
    EXPECT_TRUE(noChildLeft());
}

TEST_F(LoadScriptTest, DriverPresentAfterTheScriptLogsNothingMore) {
    makeScript("pwd >> ran.txt\n");
    // The device stands in for a driver the script has just loaded.
    Driver().SetMode(SimulatedDriver::Mode::Present);
    Driver().SetVersion(650);
    RunDriverLoadScript();
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    EXPECT_EQ(readLog(), (Log{{"000001", kAttempting}}));
    EXPECT_EQ(AppContext().DriverVersion.dwVer, 650u);
    ASSERT_TRUE(testing_support::WaitFor([&] { return !runs().empty(); }));
}

TEST_F(LoadScriptTest, ComspecNamesTheInterpreterThatGetsTheScriptPath) {
    makeScript("echo script >> ran.txt\n");
    const std::string interpreter = Path("interpreter");
    testing_support::WriteScript(interpreter, "printf '%s\\n' \"$@\" > " + Path("args.txt") + "\n");
    ::setenv("COMSPEC", interpreter.c_str(), 1);
    RunDriverLoadScript();
    ASSERT_TRUE(testing_support::WaitFor([&] {
        return testing_support::ReadAll(Path("args.txt")).find('\n') != std::string::npos;
    }));
    EXPECT_EQ(testing_support::ReadAll(Path("args.txt")), script() + "\n");
    EXPECT_TRUE(runs().empty()); // the interpreter did not run the script
}

TEST_F(LoadScriptTest, ProgramStartRunsTheScriptOnceAndDoesNotWaitForIt) {
    // The script waits for a file that the test writes only after the start
    // has returned; a start that waited for the script would find it has
    // already given up waiting and run.
    makeScript("i=0\nwhile [ ! -e go ] && [ $i -lt 1500 ]; do sleep 0.01; i=$((i+1)); done\n"
               "pwd >> ran.txt\n");
    ProgramStart(0, "2.01", "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone");
    EXPECT_TRUE(runs().empty());
    testing_support::WriteAll(Path("DriverTools/go"), "");
    ASSERT_TRUE(testing_support::WaitFor([&] { return !runs().empty(); }));
    EXPECT_EQ(runs().size(), 1u);
    int attempts = 0;
    for (const LogLine& line : readLog())
        attempts += line.text == kAttempting;
    EXPECT_EQ(attempts, 1);
    EXPECT_TRUE(noChildLeft());
}

} // namespace
