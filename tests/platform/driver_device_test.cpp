// The driver device layer: handles, request decoding, the simulated device,
// the PC-speaker port emulation and the search for the speaker's event device.
#include "base_dir_test.h"
#include "driver_check.h"
#include "pcspeaker_driver.h"
#include "table_test.h"

#include <cstring>

using namespace platform;
using testing_support::HardwareTest;

namespace {

class DriverDeviceTest : public HardwareTest {};

// A claim for the given port ranges ({port, bytes} each).
DriverCard cardFor(std::initializer_list<DriverPortRange> ranges) {
    DriverCard card{};
    for (const DriverPortRange& range : ranges)
        card.ranges[card.rangeCount++] = range;
    return card;
}

DriverTransfer transfer(uint64_t port, uint32_t operation, uint8_t value = 0) {
    DriverTransfer t{};
    t.port = port;
    t.operation = operation;
    t.value = value;
    return t;
}

TEST_F(DriverDeviceTest, AbsentDriverGivesNoHandle) {
    EXPECT_EQ(OpenDriverDevice(), kInvalidDriverHandle);
    EXPECT_EQ(Driver().Opens(), 0);
}

TEST_F(DriverDeviceTest, RequestOnInvalidOrClosedHandleNeverReachesTheDriver) {
    Driver().SetMode(SimulatedDriver::Mode::Present);
    Driver().SetVersion(1100);
    DriverVersionRecord data{};
    EXPECT_EQ(DriverRequest(kDriverVersionRequest, kInvalidDriverHandle, &data, sizeof data), -1);

    const DriverHandle handle = OpenDriverDevice();
    ASSERT_NE(handle, kInvalidDriverHandle);
    ASSERT_TRUE(CloseDriverDevice(handle));
    EXPECT_FALSE(CloseDriverDevice(handle));
    EXPECT_EQ(DriverRequest(kDriverVersionRequest, handle, &data, sizeof data), -1);
    EXPECT_EQ(Driver().Requests(), 0);
    EXPECT_EQ(data.dwVer, 0u);
}

struct RequestCase {
    const char* name;
    uint32_t code;
    uint32_t size;
    int32_t output;
    uint32_t version; // what the buffer's first word holds afterwards
};

class DriverRequestTable : public DriverDeviceTest,
                           public ::testing::WithParamInterface<RequestCase> {};

TEST_P(DriverRequestTable, AnswersOrRefuses) {
    const RequestCase& c = GetParam();
    Driver().SetMode(SimulatedDriver::Mode::Present);
    Driver().SetVersion(602);
    const DriverHandle handle = OpenDriverDevice();
    ASSERT_NE(handle, kInvalidDriverHandle);
    DriverVersionRecord data{};
    data.dwVer = 77; // a refused request leaves it
    EXPECT_EQ(DriverRequest(c.code, handle, &data, c.size), c.output);
    EXPECT_EQ(data.dwVer, c.version);
    CloseDriverDevice(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DriverRequestTable,
    ::testing::Values(RequestCase{"version", kDriverVersionRequest, 132, 0, 602},
                      RequestCase{"versionShortBuffer", kDriverVersionRequest, 131, -1, 77},
                      RequestCase{"unknownCode", 0x12345678, 132, -1, 77},
                      RequestCase{"releaseUnknownCard", kDriverReleaseCardRequest, 132, -1, 77}),
    testing_support::RowName());

TEST_F(DriverDeviceTest, SimulatedDeviceRecordsClaimedTransfersOnly) {
    Driver().SetMode(SimulatedDriver::Mode::Present);
    Driver().SetPortByte(0x61, 0x5A);
    const DriverHandle handle = OpenDriverDevice();
    ASSERT_NE(handle, kInvalidDriverHandle);

    DriverCard card = cardFor({{0x61, 1, 0}});
    ASSERT_EQ(DriverRequest(kDriverClaimCardRequest, handle, &card, sizeof card), 0);
    ASSERT_NE(card.cardHandle, 0u);

    DriverTransfer read = transfer(0x61, kTransferReadByte);
    EXPECT_EQ(DriverRequest(kDriverTransferRequest, handle, &read, sizeof read), 0);
    EXPECT_EQ(read.value, 0x5A);

    DriverTransfer stray = transfer(0x60, kTransferWriteByte); // not claimed
    EXPECT_EQ(DriverRequest(kDriverTransferRequest, handle, &stray, sizeof stray), -1);
    EXPECT_EQ(Driver().RefusedTransfers(), 1);

    EXPECT_EQ(DriverRequest(kDriverReleaseCardRequest, handle, &card, sizeof card), 0);
    EXPECT_EQ(Driver().ActiveClaims(), 0);
    EXPECT_EQ(DriverRequest(kDriverTransferRequest, handle, &read, sizeof read), -1);
    CloseDriverDevice(handle);
    EXPECT_EQ(Driver().Transfers(), (std::vector<SimulatedTransfer>{{0x61, false, 0x5A}}));
    EXPECT_EQ(Driver().OpenDevices(), 0);
}

TEST_F(DriverDeviceTest, SimulatedPortBelongsToOneCardAtATime) {
    Driver().SetMode(SimulatedDriver::Mode::Present);
    const DriverHandle handle = OpenDriverDevice();
    ASSERT_NE(handle, kInvalidDriverHandle);
    DriverCard first = cardFor({{0x42, 2, 0}, {0x61, 1, 0}}); // 0x42, 0x43 and 0x61
    DriverRequest(kDriverClaimCardRequest, handle, &first, sizeof first);
    ASSERT_NE(first.cardHandle, 0u);
    DriverCard second = cardFor({{0x43, 1, 0}});
    DriverRequest(kDriverClaimCardRequest, handle, &second, sizeof second);
    EXPECT_EQ(second.cardHandle, 0u);
    DriverRequest(kDriverReleaseCardRequest, handle, &first, sizeof first);
    DriverRequest(kDriverClaimCardRequest, handle, &second, sizeof second);
    EXPECT_NE(second.cardHandle, 0u);
    CloseDriverDevice(handle);
}

TEST_F(DriverDeviceTest, RefusingDriverReturnsNoCardHandle) {
    Driver().SetMode(SimulatedDriver::Mode::RefusesPorts);
    const DriverHandle handle = OpenDriverDevice();
    ASSERT_NE(handle, kInvalidDriverHandle);
    DriverCard card = cardFor({{0x61, 1, 0}});
    card.cardHandle = 99; // the driver clears it when it refuses
    DriverRequest(kDriverClaimCardRequest, handle, &card, sizeof card);
    EXPECT_EQ(card.cardHandle, 0u);
    EXPECT_EQ(Driver().ActiveClaims(), 0);
    CloseDriverDevice(handle);
}

// --- the PC-speaker port emulation -------------------------------------

struct PortWrite {
    uint64_t port;
    uint8_t value;
};

struct EmulationCase {
    const char* name;
    std::vector<PortWrite> writes;
    uint32_t toneHz;
    uint8_t gateRead;
};

class SpeakerEmulation : public ::testing::TestWithParam<EmulationCase> {};

TEST_P(SpeakerEmulation, ToneFollowsDivisorAndGate) {
    SpeakerPortEmulator ports;
    for (const PortWrite& w : GetParam().writes)
        ports.Write(w.port, w.value);
    EXPECT_EQ(ports.ToneHz(), GetParam().toneHz);
    EXPECT_EQ(ports.Read(kSpeakerGatePort), GetParam().gateRead);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SpeakerEmulation,
    ::testing::Values(
        EmulationCase{
            "tone800", {{0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0x03}}, 800, 0x03},
        EmulationCase{"gateBeforeDivisor",
                      {{0x61, 0x4F}, {0x43, 0xB6}, {0x42, 0xDC}, {0x42, 0x34}},
                      88,
                      0x4F},
        EmulationCase{
            "onlyGateBit0", {{0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0x01}}, 0, 0x01},
        EmulationCase{
            "onlySpeakerBit1", {{0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0xFE}}, 0, 0xFE},
        EmulationCase{"gateOff",
                      {{0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0x03}, {0x61, 0x00}},
                      0,
                      0x00},
        EmulationCase{"noDivisorYet", {{0x61, 0x03}}, 0, 0x03},
        EmulationCase{
            "halfDivisorKeepsOldTone",
            {{0x43, 0xB6}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0x03}, {0x43, 0xB6}, {0x42, 0xA8}},
            800,
            0x03},
        EmulationCase{"secondDivisor",
                      {{0x43, 0xB6},
                       {0x42, 0xD3},
                       {0x42, 0x05},
                       {0x61, 0x03},
                       {0x43, 0xB6},
                       {0x42, 0xA8},
                       {0x42, 0x06}},
                      700,
                      0x03},
        EmulationCase{"zeroDivisorIs65536",
                      {{0x43, 0xB6}, {0x42, 0x00}, {0x42, 0x00}, {0x61, 0x03}},
                      18,
                      0x03},
        EmulationCase{"lowByteOnlyMode", {{0x43, 0x96}, {0x42, 0xC8}, {0x61, 0x03}}, 5965, 0x03},
        EmulationCase{"highByteOnlyMode", {{0x43, 0xA6}, {0x42, 0x10}, {0x61, 0x03}}, 291, 0x03},
        EmulationCase{"channel0CommandIgnored",
                      {{0x43, 0x36}, {0x42, 0xD3}, {0x42, 0x05}, {0x61, 0x03}},
                      0,
                      0x03}),
    testing_support::RowName());

// --- the PC-speaker backend, writing its events to a plain file ------------

class PcSpeakerBackendTest : public HardwareTest {
  protected:
    // A device on a plain file standing in for the event device.
    std::unique_ptr<DriverDevice> openOnFile() {
        testing_support::WriteAll(Path("event-sink"), "");
        return PcSpeakerBackend(Path("event-sink")).Open();
    }
    uint32_t output = 0;
};

TEST_F(PcSpeakerBackendTest, MissingDeviceMeansAbsentDriver) {
    EXPECT_EQ(PcSpeakerBackend(Path("no-such-device")).Open(), nullptr);
}

TEST_F(PcSpeakerBackendTest, AnswersVersionAndSoundsTonesAsEvents) {
    std::unique_ptr<DriverDevice> device = openOnFile();
    ASSERT_NE(device, nullptr);
    DriverVersionRecord version{};
    ASSERT_TRUE(device->Request(kDriverVersionRequest, &version, sizeof version, output));
    EXPECT_GE(version.dwVer, 603u);
    EXPECT_GT(std::strlen(version.cVer), 0u);

    DriverCard card = cardFor({{0x43, 1, 0}, {0x42, 1, 0}, {0x61, 1, 0}});
    ASSERT_TRUE(device->Request(kDriverClaimCardRequest, &card, sizeof card, output));
    ASSERT_NE(card.cardHandle, 0u);

    auto write = [&](uint64_t port, uint8_t value) {
        DriverTransfer t = transfer(port, kTransferWriteByte, value);
        return device->Request(kDriverTransferRequest, &t, sizeof t, output);
    };
    EXPECT_TRUE(write(0x43, 0xB6));
    EXPECT_TRUE(write(0x42, 0xD3));
    EXPECT_TRUE(write(0x42, 0x05));
    EXPECT_TRUE(write(0x61, 0xA7)); // 800 Hz
    EXPECT_TRUE(write(0x61, 0xA4)); // silence

    DriverTransfer read = transfer(0x61, kTransferReadByte);
    ASSERT_TRUE(device->Request(kDriverTransferRequest, &read, sizeof read, output));
    EXPECT_EQ(read.value, 0xA4);
    EXPECT_TRUE(write(0x61, 0x03)); // 800 Hz again
    device.reset();                 // closing silences it

    EXPECT_EQ(testing_support::ToneEvents(Path("event-sink")),
              (std::vector<int32_t>{800, 0, 800, 0}));
}

TEST_F(PcSpeakerBackendTest, RefusesPortsItDoesNotEmulate) {
    std::unique_ptr<DriverDevice> device = openOnFile();
    ASSERT_NE(device, nullptr);
    DriverCard card = cardFor({{0x61, 1, 0}, {0x378, 1, 0}});
    ASSERT_TRUE(device->Request(kDriverClaimCardRequest, &card, sizeof card, output));
    EXPECT_EQ(card.cardHandle, 0u);
    DriverTransfer t = transfer(0x61, kTransferWriteByte);
    EXPECT_FALSE(device->Request(kDriverTransferRequest, &t, sizeof t, output));
}

// --- finding the speaker's event device ---------------------------------

class FindSpeakerDevice : public HardwareTest {
  protected:
    void addInputDevice(const std::string& event, const std::string& name, bool withNode) {
        std::filesystem::create_directories(Path("sys/" + event + "/device"));
        testing_support::WriteAll(Path("sys/" + event + "/device/name"), name + "\n");
        std::filesystem::create_directories(Path("dev"));
        if (withNode)
            testing_support::WriteAll(Path("dev/" + event), "");
    }
    std::string find() { return FindPcSpeakerDevice(Path("dev"), Path("sys")); }
};

TEST_F(FindSpeakerDevice, ByNameAmongOtherDevices) {
    addInputDevice("event0", "AT Translated Set 2 keyboard", true);
    addInputDevice("event4", "PC Speaker", true);
    addInputDevice("mouse0", "PC Speaker", true); // not an event device
    EXPECT_EQ(find(), Path("dev/event4"));
}

TEST_F(FindSpeakerDevice, ByPathLinkComesFirst) {
    addInputDevice("event4", "PC Speaker", true);
    std::filesystem::create_directories(Path("dev/by-path"));
    testing_support::WriteAll(Path("dev/by-path/platform-pcspkr-event-spkr"), "");
    EXPECT_EQ(find(), Path("dev/by-path/platform-pcspkr-event-spkr"));
}

TEST_F(FindSpeakerDevice, NoneWithoutNodeOrName) {
    EXPECT_EQ(find(), "");
    addInputDevice("event2", "PC Speaker", false);
    addInputDevice("event3", "PC Speaker Deluxe", true);
    EXPECT_EQ(find(), "");
}

// --- the load script chosen for a platform ------------------------------

struct ScriptCase {
    bool known;
    uint32_t platformId, major;
    const char* script;
};

class LoadScriptName : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(LoadScriptName, FollowsFamilyAndVersion) {
    const ScriptCase& c = GetParam();
    EXPECT_EQ(DriverLoadScriptName(c.known, c.platformId, c.major), c.script);
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, LoadScriptName,
    ::testing::Values(ScriptCase{true, kPlatformWindowsNt, 4, "Nt_WindriverLoad.bat"},
                      ScriptCase{true, kPlatformWindowsNt, 5, "WindriverLoad.bat"},
                      ScriptCase{true, kPlatformWindowsNt, 6, "WindriverLoad.bat"},
                      ScriptCase{true, kPlatformWindowsNt, 10, "98_WindriverLoad.bat"},
                      ScriptCase{true, kPlatformWindowsNt, 3, "98_WindriverLoad.bat"},
                      ScriptCase{true, kPlatformWindows9x, 4, "98_WindriverLoad.bat"},
                      ScriptCase{true, kPlatformLinux, 6, "98_WindriverLoad.bat"},
                      ScriptCase{false, kPlatformWindowsNt, 5, "98_WindriverLoad.bat"}),
    [](const auto& info) {
        return std::string(info.param.known ? "platform" : "unknown") +
               std::to_string(info.param.platformId) + "major" + std::to_string(info.param.major);
    });

TEST(OsVersion, HostIsNoWindowsFamily) {
    OsVersion version;
    ASSERT_TRUE(GetOsVersion(version));
    EXPECT_NE(version.platformId, kPlatformWindowsNt);
    EXPECT_NE(version.platformId, kPlatformWindows9x);
    EXPECT_GE(version.major, 2u); // any kernel this runs on
}

} // namespace
