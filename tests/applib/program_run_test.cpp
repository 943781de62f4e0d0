// ProgramStart and ProgramEnd: the program log each run leaves, with the
// driver absent, present, refused by the speaker or installed by a fake
// installer.
#include "base_dir_test.h"
#include "driver_check.h"
#include "log_lines.h"
#include "program_log.h"
#include "program_run.h"
#include "speaker.h"
#include "table_test.h"

using namespace platform;
using namespace applib_test;
using testing_support::HardwareTest;

namespace {

const std::string kStart = "------------------PROGRAM START--------------------";
const std::string kEnd = "------------------PROGRAM END--------------------";
const std::string kSeparator(55, '>');
const std::string kNotLoaded =
    "HARDWARE DRIVER NOT LOADED.  CANNOT NOT TALK TO HARDWARE!!!!!!!!!!!!!!";
const LogLine kEmpty{"", ""};

// A driver installer whose manager and service the test controls.
struct FakeService {
    bool managerOpens = true;
    bool startLoadsDriver = false;
    std::shared_ptr<SimulatedDriver> driver; // made present when the service starts
    int made = 0, created = 0, started = 0;
    std::string preparedName, preparedFile;
    uint32_t preparedStart = 0;
};

class FakeInstaller : public DriverInstaller {
  public:
    explicit FakeInstaller(FakeService& service) : m_service(service) { ++service.made; }
    bool Prepare(const std::string& driverName, const std::string& fileName,
                 uint32_t startType) override {
        const bool prepared = DriverInstaller::Prepare(driverName, fileName, startType);
        m_service.preparedName = DriverName();
        m_service.preparedFile = FileName();
        m_service.preparedStart = StartType();
        return prepared;
    }
    bool Create() override { return ++m_service.created > 0; }
    bool Start() override {
        ++m_service.started;
        if (m_service.startLoadsDriver && m_service.driver)
            m_service.driver->SetMode(SimulatedDriver::Mode::Present);
        return true;
    }
    bool Remove() override { return true; }
    bool Stop() override { return true; }
    bool OpenManager() override { return m_hasManager = m_service.managerOpens; }
    void CloseManager() override { m_hasManager = false; }

  private:
    FakeService& m_service;
};

class ProgramRunTest : public HardwareTest {
  protected:
    void start() { ProgramStart(0, "2.01", "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone"); }
    Log readLog() { return applib_test::readLog(Path("Quillstone.Log")); }
    std::string scriptPath() { return Dir() + "/DriverTools/98_WindriverLoad.bat"; }
    void installFakeService(FakeService& service) {
        service.driver = m_sharedDriver;
        SetDriverInstallerFactory([&service] { return std::make_unique<FakeInstaller>(service); });
    }
    void present(uint32_t version) {
        Driver().SetMode(SimulatedDriver::Mode::Present);
        Driver().SetVersion(version);
    }
    void SetUp() override {
        HardwareTest::SetUp();
        m_sharedDriver = std::make_shared<SimulatedDriver>(Driver()); // same state
    }

  private:
    std::shared_ptr<SimulatedDriver> m_sharedDriver;
};

TEST_F(ProgramRunTest, DriverAbsentAndNotInstallable) {
    start();
    const std::string missing =
        "    .... Tried to run " + scriptPath() +
        "  and it does not exist.  Located on your Install CD and put it here.";
    EXPECT_EQ(readLog(), (Log{{"000000", kStart},
                              {"000000", "Program Version 2.01"},
                              {"000001", kNoInstaller},
                              kEmpty,
                              {"000001", kNotLoaded},
                              {"000001", kAttempting},
                              {"000001", missing},
                              {"000001", kAttemptFailed},
                              {"000001", kSeparator},
                              {"000000", "WINDRIVER Version 0.0"},
                              {"000001", kSeparator}}));
    EXPECT_EQ(AppContext().BaseDirectory, Dir());
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_FALSE(AppContext().Speaker->IsOpen());
    EXPECT_EQ(AppContext().ShuttingDown, 0);
}

struct PresentCase {
    uint32_t version;
    const char* code;
    const char* line;
    bool speakerOpen;
};

class DriverPresent : public ProgramRunTest, public ::testing::WithParamInterface<PresentCase> {};

TEST_P(DriverPresent, LogShowsNoDriverLinesAndTheVersion) {
    present(GetParam().version);
    start();
    EXPECT_EQ(readLog(), (Log{{"000000", kStart},
                              {"000000", "Program Version 2.01"},
                              {"000001", kSeparator},
                              {GetParam().code, GetParam().line},
                              {"000001", kSeparator}}));
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_EQ(AppContext().Speaker->IsOpen(), GetParam().speakerOpen);
    EXPECT_EQ(Driver().ActiveClaims(), GetParam().speakerOpen ? 1 : 0);
    EXPECT_EQ(AppContext().DriverVersion.dwVer, GetParam().version);
    // The speaker's refusal is kept, not logged.
    EXPECT_EQ(AppContext().DriverErrorText,
              GetParam().speakerOpen ? "" : "Gen I/O open failed for \n");
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DriverPresent,
    ::testing::Values(PresentCase{602, "000602", "WINDRIVER Version 6.2", false},
                      PresentCase{603, "000603", "WINDRIVER Version 6.3", true},
                      PresentCase{1105, "001105", "WINDRIVER Version 11.5", true},
                      PresentCase{1000, "001000", "WINDRIVER Version 10.0", true}),
    [](const auto& info) { return "version" + std::to_string(info.param.version); });

TEST_F(ProgramRunTest, NormalCloseEndsWithTheEndBanner) {
    present(1000);
    start();
    ProgramEnd(0);
    const Log log = readLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log.back(), (LogLine{"000000", kEnd}));
    EXPECT_EQ(AppContext().ProgramLog, nullptr);
    EXPECT_EQ(AppContext().Speaker, nullptr);
    EXPECT_EQ(Driver().ActiveClaims(), 0);
    EXPECT_EQ(Driver().OpenDevices(), 0);
    // Later lines, and a second end with its banner, are dropped.
    const std::string closed = testing_support::ReadAll(Path("Quillstone.Log"));
    LogMessage("too late", kLogNotice);
    ProgramEnd(0);
    EXPECT_EQ(testing_support::ReadAll(Path("Quillstone.Log")), closed);
}

TEST_F(ProgramRunTest, SecondRunEmptiesTheLog) {
    start();
    LogMessage("first run only", kLogNotice);
    ProgramEnd(0);
    ResetAppContext();
    present(700);
    start();
    const Log log = readLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log.front(), (LogLine{"000000", kStart}));
    for (const LogLine& line : log)
        EXPECT_NE(line.text, "first run only");
}

TEST_F(ProgramRunTest, LibraryModeSpeaksOfADll) {
    present(1000);
    ProgramStart(1, "3.5", "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone");
    ProgramEnd(1);
    const Log log = readLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], (LogLine{"000000", "--------------------DLL START----------------------"}));
    EXPECT_EQ(log[1], (LogLine{"000000", "DLL Version 3.5"}));
    EXPECT_EQ(log[5], (LogLine{"000000", "--------------------DLL END----------------------"}));
}

TEST_F(ProgramRunTest, StartsInTheWorkingDirectoryNotTheProgramFolder) {
    std::filesystem::create_directories(Path("elsewhere"));
    ASSERT_TRUE(platform::SetCurrentDirectory(Path("elsewhere")));
    start();
    EXPECT_EQ(AppContext().BaseDirectory, Path("elsewhere"));
    EXPECT_TRUE(std::filesystem::exists(Path("elsewhere/Quillstone.Log")));
    EXPECT_FALSE(std::filesystem::exists(Path("Quillstone.Log")));
}

TEST_F(ProgramRunTest, CueBeforeStartIsReplacedByTheRunsSpeaker) {
    present(1000);
    SpeakerClick();
    EXPECT_EQ(Driver().ActiveClaims(), 1);
    start();
    // The earlier speaker let go of the ports before the run's one claimed them.
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_TRUE(AppContext().Speaker->IsOpen());
    EXPECT_EQ(Driver().ActiveClaims(), 1);
    EXPECT_EQ(Driver().OpenDevices(), 1);
}

// --- installation attempts through a fake installer ------------------------

TEST_F(ProgramRunTest, ManagerThatCannotOpenGivesInitFailedWithItsEmptyLine) {
    FakeService service;
    service.managerOpens = false;
    installFakeService(service);
    start();
    const Log log = readLog();
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[2], (LogLine{"000001", "WINDRVR6 Init failed.  Try rebooting machine."}));
    EXPECT_EQ(log[3], kEmpty);
    EXPECT_EQ(log[4], (LogLine{"000001", kNotLoaded}));
    EXPECT_EQ(log[5], (LogLine{"000001", kAttempting}));
    EXPECT_EQ(service.created, 0);
    EXPECT_EQ(service.started, 0);
    EXPECT_EQ(service.made, 1); // the script is missing: no second check
}

struct EnsureCase {
    const char* name;
    bool driverPresent;
    bool installer;
    bool managerOpens;
    bool startLoadsDriver;
    bool usable;
    const char* errorText;
    int installersMade;
    int started;
};

class EnsureDriverTable : public ProgramRunTest,
                          public ::testing::WithParamInterface<EnsureCase> {};

TEST_P(EnsureDriverTable, ProbesInstallsAndProbesAgain) {
    const EnsureCase& c = GetParam();
    FakeService service;
    service.managerOpens = c.managerOpens;
    service.startLoadsDriver = c.startLoadsDriver;
    if (c.installer)
        installFakeService(service);
    Driver().SetVersion(900);
    if (c.driverPresent)
        Driver().SetMode(SimulatedDriver::Mode::Present);
    AppContext().DriverErrorText = "before";
    EXPECT_EQ(EnsureHardwareDriver(), c.usable);
    EXPECT_EQ(AppContext().DriverErrorText, c.errorText);
    EXPECT_EQ(AppContext().DriverVersion.dwVer, c.usable ? 900u : 0u);
    EXPECT_EQ(service.made, c.installersMade);
    EXPECT_EQ(service.started, c.started);
    EXPECT_EQ(Driver().OpenDevices(), 0); // the probe closes what it opened
    if (c.started > 0) {
        EXPECT_EQ(service.preparedName, "WinDriver");
        EXPECT_EQ(service.preparedFile, "WINDRVR6");
        EXPECT_EQ(service.preparedStart, 2u);
        EXPECT_EQ(service.created, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, EnsureDriverTable,
    ::testing::Values(
        EnsureCase{"present", true, true, true, false, true, "before", 0, 0},
        EnsureCase{"noInstaller", false, false, true, false, false,
                   "WINDRVR6 Init failed.  No driver installer for this operating system.\n", 0, 0},
        EnsureCase{"noManager", false, true, false, false, false,
                   "WINDRVR6 Init failed.  Try rebooting machine.\n", 1, 0},
        EnsureCase{"installedButMissing", false, true, true, false, false,
                   "WINDRVR6 FAILED TO REGISTER AFTER INSTALLATION, TRY REBOOTING", 1, 1},
        EnsureCase{"installedAndLoaded", false, true, true, true, true, "before", 1, 1}),
    testing_support::RowName{});

TEST_F(ProgramRunTest, InstalledDriverThatStillFailsIsLoggedWithoutEmptyLine) {
    FakeService service;
    installFakeService(service);
    start();
    const Log log = readLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[2],
              (LogLine{"000001", "WINDRVR6 FAILED TO REGISTER AFTER INSTALLATION, TRY REBOOTING"}));
    EXPECT_EQ(log[3], (LogLine{"000001", kNotLoaded}));
}

TEST_F(ProgramRunTest, DriverLoadedByTheInstallerIsReportedAndUsed) {
    FakeService service;
    service.startLoadsDriver = true;
    Driver().SetVersion(1105);
    installFakeService(service);
    start();
    EXPECT_EQ(readLog(), (Log{{"000000", kStart},
                              {"000000", "Program Version 2.01"},
                              {"000001", kSeparator},
                              {"001105", "WINDRIVER Version 11.5"},
                              {"000001", kSeparator}}));
    EXPECT_TRUE(AppContext().Speaker->IsOpen());
}

} // namespace
