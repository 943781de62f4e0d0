// The speaker: claiming its ports through the driver, the exact port
// transfers of its tones, and the cues with and without a driver.
#include "base_dir_test.h"
#include "pcspeaker_driver.h"
#include "program_run.h"
#include "speaker.h"
#include "table_test.h"

#include <chrono>

using namespace platform;
using testing_support::HardwareTest;

namespace {

constexpr const char* kOpenFailed = "Gen I/O open failed for \n";

using Transfers = std::vector<SimulatedTransfer>;

SimulatedTransfer wr(uint64_t port, uint8_t value) {
    return {port, true, value};
}
SimulatedTransfer rd(uint64_t port, uint8_t value) {
    return {port, false, value};
}

// The transfers at one port, in order, written or read.
std::vector<uint8_t> portValues(const Transfers& transfers, uint64_t port, bool written) {
    std::vector<uint8_t> values;
    for (const SimulatedTransfer& t : transfers)
        if (t.port == port && t.write == written)
            values.push_back(t.value);
    return values;
}

class SpeakerTest : public HardwareTest {
  protected:
    void present(uint32_t version = 1000) {
        Driver().SetMode(SimulatedDriver::Mode::Present);
        Driver().SetVersion(version);
    }
};

// --- OpenPorts ----------------------------------------------------------

struct OpenCase {
    const char* name;
    SimulatedDriver::Mode mode;
    uint32_t version;
    int count;
    bool opens;
    const char* errorText; // DriverErrorText afterwards
    uint32_t versionAfter; // DriverVersion afterwards
};

class OpenPortsTable : public SpeakerTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenPortsTable, OpensOnlyAtVersion603WithPortsGranted) {
    const OpenCase& c = GetParam();
    Driver().SetMode(c.mode);
    Driver().SetVersion(c.version);
    AppContext().DriverErrorText = "earlier text";
    AppContext().DriverVersion.dwVer = 1;
    const uint32_t ports[] = {0x43, 0x42, 0x61};
    std::vector<uint32_t> many(65, 0x61);
    {
        PortAccess access;
        const uint32_t* list = c.count > 3 ? many.data() : ports;
        EXPECT_EQ(OpenPorts(access, c.count, list), c.opens);
        EXPECT_EQ(access.IsOpen(), c.opens);
        EXPECT_EQ(AppContext().DriverErrorText, c.errorText);
        EXPECT_EQ(AppContext().DriverVersion.dwVer, c.versionAfter);
        EXPECT_EQ(Driver().ActiveClaims(), c.opens ? 1 : 0);
        EXPECT_EQ(Driver().OpenDevices(), c.opens ? 1 : 0); // a failed open closes the device
    }
    EXPECT_EQ(Driver().ActiveClaims(), 0); // released on destruction
    EXPECT_EQ(Driver().OpenDevices(), 0);
    if (c.count != 3)
        return;
    // The speaker claims its three ports the same way; a mute one touches no
    // port and keeps no device.
    Driver().ClearTransfers();
    Speaker speaker;
    EXPECT_EQ(speaker.IsOpen(), c.opens);
    EXPECT_EQ(AppContext().DriverErrorText, c.errorText);
    if (!c.opens) {
        speaker.Beep(800, 1);
        speaker.ToneOn(100);
        speaker.ToneOff();
        EXPECT_TRUE(Driver().Transfers().empty());
        EXPECT_EQ(Driver().OpenDevices(), 0);
        EXPECT_EQ(Driver().ActiveClaims(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, OpenPortsTable,
    ::testing::Values(
        OpenCase{"absent", SimulatedDriver::Mode::Absent, 0, 3, false, kOpenFailed, 1},
        OpenCase{"version602", SimulatedDriver::Mode::Present, 602, 3, false, kOpenFailed, 602},
        OpenCase{"version603", SimulatedDriver::Mode::Present, 603, 3, true, "", 603},
        OpenCase{"version1105", SimulatedDriver::Mode::Present, 1105, 3, true, "", 1105},
        OpenCase{"refusesPorts", SimulatedDriver::Mode::RefusesPorts, 1000, 3, false, kOpenFailed,
                 1000},
        OpenCase{"noPorts", SimulatedDriver::Mode::Present, 1000, 0, false, "earlier text", 1},
        OpenCase{"negativeCount", SimulatedDriver::Mode::Present, 1000, -3, false, "earlier text",
                 1},
        OpenCase{"tooManyPorts", SimulatedDriver::Mode::Present, 1000, 65, false, "earlier text",
                 1}),
    testing_support::RowName{});

TEST_F(SpeakerTest, PortAccessReachesClaimedRangesByIndex) {
    present();
    Driver().SetPortByte(0x61, 0x33);
    PortAccess access;
    const uint32_t ports[] = {0x61, 0x43};
    ASSERT_TRUE(OpenPorts(access, 2, ports));
    uint8_t value = 0;
    EXPECT_TRUE(access.ReadPort(0, value));
    EXPECT_EQ(value, 0x33);
    EXPECT_TRUE(access.WritePort(1, 0xB6));
    value = 0x77;
    EXPECT_FALSE(access.ReadPort(2, value)); // outside the list
    EXPECT_FALSE(access.ReadPort(-1, value));
    EXPECT_EQ(value, 0x77);
    ClosePorts(access);
    EXPECT_FALSE(access.WritePort(1, 0xB6));
    ClosePorts(access); // closing twice is harmless
    EXPECT_EQ(Driver().Transfers(), (Transfers{rd(0x61, 0x33), wr(0x43, 0xB6)}));
    EXPECT_EQ(Driver().ActiveClaims(), 0);
}

// --- tones --------------------------------------------------------------

struct ToneCase {
    int16_t frequency;
    uint8_t low, high; // the divisor's bytes
};

class ToneOnTable : public SpeakerTest, public ::testing::WithParamInterface<ToneCase> {};

TEST_P(ToneOnTable, ProgramsChannel2ThenOpensTheGate) {
    present();
    Driver().SetPortByte(0x61, 0xB0);
    Speaker speaker;
    ASSERT_TRUE(speaker.IsOpen());
    Driver().ClearTransfers();
    speaker.ToneOn(GetParam().frequency);
    EXPECT_EQ(Driver().Transfers(),
              (Transfers{wr(0x43, 0xB6), wr(0x42, GetParam().low), wr(0x42, GetParam().high),
                         rd(0x61, 0xB0), wr(0x61, 0xB3)}));
}

INSTANTIATE_TEST_SUITE_P(Frequencies, ToneOnTable,
                         ::testing::Values(ToneCase{1, 0xDC, 0x34},   // 1193180 keeps 13532
                                           ToneCase{100, 0x9B, 0x2E}, // 11931
                                           ToneCase{250, 0xA4, 0x12}, // 4772
                                           ToneCase{700, 0xA8, 0x06}, // 1704
                                           ToneCase{800, 0xD3, 0x05}, // 1491
                                           ToneCase{18, 0xEF, 0x02},  // 66287 keeps 751
                                           ToneCase{-100, 0x65, 0xD1}),
                         [](const auto& info) {
                             const int f = info.param.frequency;
                             return (f < 0 ? "minus" : "hz") + std::to_string(f < 0 ? -f : f);
                         });

class ToneOffTable : public SpeakerTest, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(ToneOffTable, ClearsOnlyTheTwoGateBits) {
    present();
    Speaker speaker;
    Driver().SetPortByte(0x61, GetParam());
    Driver().ClearTransfers();
    speaker.ToneOff();
    EXPECT_EQ(Driver().Transfers(),
              (Transfers{rd(0x61, GetParam()), wr(0x61, static_cast<uint8_t>(GetParam() & 0xFC))}));
}

INSTANTIATE_TEST_SUITE_P(GateBytes, ToneOffTable,
                         ::testing::Values(0x00, 0x03, 0xFF, 0xB7, 0x4C, 0x81),
                         [](const auto& info) { return "gate" + std::to_string(info.param); });

TEST_F(SpeakerTest, FrequencyZeroSilencesInsteadOfDividingByZero) {
    present();
    Speaker speaker;
    speaker.ToneOn(800);
    Driver().ClearTransfers();
    speaker.ToneOn(0);
    EXPECT_EQ(portValues(Driver().Transfers(), 0x42, true), std::vector<uint8_t>{});
    EXPECT_EQ(Driver().PortByte(0x61) & 0x03, 0);
}

TEST_F(SpeakerTest, CreationSilencesAndDestructionSilencesAndReleases) {
    present();
    Driver().SetPortByte(0x61, 0x4B); // left sounding by someone else
    {
        Speaker speaker;
        EXPECT_EQ(Driver().PortByte(0x61), 0x48);
        speaker.ToneOn(800);
        EXPECT_EQ(Driver().PortByte(0x61), 0x4B);
    }
    EXPECT_EQ(Driver().PortByte(0x61), 0x48);
    EXPECT_EQ(Driver().ActiveClaims(), 0);
    EXPECT_EQ(Driver().OpenDevices(), 0);
}

// --- cues ---------------------------------------------------------------

struct CueCase {
    const char* name;
    void (*cue)();
    std::vector<uint8_t> divisorBytes; // written to 0x42, in order
    size_t commands;                   // 0xB6 written to 0x43
};

class CueTable : public SpeakerTest, public ::testing::WithParamInterface<CueCase> {};

TEST_P(CueTable, PlaysItsTonesAndEndsSilent) {
    present();
    Driver().SetPortByte(0x61, 0x20);
    ASSERT_EQ(AppContext().Speaker, nullptr);
    GetParam().cue();
    ASSERT_NE(AppContext().Speaker, nullptr); // made on first use
    EXPECT_TRUE(AppContext().Speaker->IsOpen());
    const Transfers& done = Driver().Transfers();
    EXPECT_EQ(portValues(done, 0x42, true), GetParam().divisorBytes);
    EXPECT_EQ(portValues(done, 0x43, true), std::vector<uint8_t>(GetParam().commands, 0xB6));
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.back(), wr(0x61, 0x20));
}

INSTANTIATE_TEST_SUITE_P(
    Cues, CueTable,
    ::testing::Values(
        CueCase{"click", SpeakerClick, {0xDC, 0x34}, 1},
        CueCase{"chirp", SpeakerChirp, {0xD3, 0x05, 0xA8, 0x06}, 2},
        CueCase{"alarm", SpeakerAlarm, {0x9B, 0x2E, 0xA4, 0x12, 0x9B, 0x2E, 0xA4, 0x12}, 4}),
    testing_support::RowName{});

TEST_F(SpeakerTest, ChirpSecondToneFollowsWithoutGapAndBothTakeTheirTime) {
    present();
    const auto start = std::chrono::steady_clock::now();
    SpeakerChirp();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(95));
    // Gate writes: silence at creation, 800 Hz on, 700 Hz on, off at the end.
    EXPECT_EQ(portValues(Driver().Transfers(), 0x61, true),
              (std::vector<uint8_t>{0x00, 0x03, 0x03, 0x00}));
}

TEST_F(SpeakerTest, ChirpThroughTheSpeakerBridgeSoundsBothTonesThenSilence) {
    const std::string sink = Path("event-sink");
    testing_support::WriteAll(sink, "");
    SetDriverBackend(std::make_shared<PcSpeakerBackend>(sink));
    SpeakerChirp();
    ASSERT_TRUE(AppContext().Speaker->IsOpen());
    AppContext().Speaker.reset();
    EXPECT_EQ(testing_support::ToneEvents(sink), (std::vector<int32_t>{800, 700, 0}));
}

TEST_F(SpeakerTest, AlarmWithoutDriverIsSilentButTakesItsTime) {
    const auto start = std::chrono::steady_clock::now();
    SpeakerAlarm();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(400));
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_FALSE(AppContext().Speaker->IsOpen());
    EXPECT_TRUE(Driver().Transfers().empty());
}

TEST_F(SpeakerTest, CueAfterProgramEndOpensANewSpeaker) {
    present();
    ProgramStart(0, "2.01", "Quillstone", "/SYSTEM/ERLOGS/", "Quillstone");
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_EQ(Driver().Claims(), 1);
    ProgramEnd(0);
    EXPECT_EQ(AppContext().Speaker, nullptr);
    EXPECT_EQ(Driver().ActiveClaims(), 0);
    EXPECT_EQ(Driver().OpenDevices(), 0);

    SpeakerClick();
    ASSERT_NE(AppContext().Speaker, nullptr);
    EXPECT_TRUE(AppContext().Speaker->IsOpen());
    EXPECT_EQ(Driver().Claims(), 2);
    EXPECT_EQ(Driver().ActiveClaims(), 1);
    SpeakerChirp(); // uses the same speaker
    EXPECT_EQ(Driver().Claims(), 2);
}

} // namespace
