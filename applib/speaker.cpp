#include "speaker.h"

#include "app_context.h"
#include "driver_check.h"
#include "driver_device.h"
#include "error_log.h"
#include "os.h"

#include <cstring>

namespace {

constexpr uint32_t kMinimumDriverVersion = 603; // 6.3
constexpr int32_t kTimerClockHz = 1193180;      // the interval timer's input clock

// Indexes into the speaker's port list {0x43, 0x42, 0x61}.
constexpr int kTimerCommand = 0;
constexpr int kTimerChannel2 = 1;
constexpr int kSpeakerGate = 2;

// Channel 2, low byte then high byte, square wave, binary counting.
constexpr uint8_t kChannel2SquareWave = 0xB6;
constexpr uint8_t kGateAndSpeakerOn = 0x03;

constexpr int kSleepsPerYield = 10;
constexpr double kSecondsPerMillisecond = 0.001;

// Gives back what a failed open has taken: the claim, then the device.
void abandon(platform::DriverHandle device, platform::DriverCard& card) {
    if (card.cardHandle != 0)
        DriverRequest(platform::kDriverReleaseCardRequest, device, &card, sizeof card);
    if (device != platform::kInvalidDriverHandle)
        platform::CloseDriverDevice(device);
}

// Opens the device, checks its version and claims the ports. On failure the
// error text says which step failed; `device` is whatever was opened.
bool claimPorts(platform::DriverHandle& device, platform::DriverCard& card, int count,
                const uint32_t* ports) {
    device = platform::OpenDriverDevice();
    if (device == platform::kInvalidDriverHandle) {
        SetDriverErrorText("Failed opening WinDriver device\n");
        return false;
    }
    DriverVersionRecord& version = AppContext().DriverVersion;
    version = {};
    DriverRequest(platform::kDriverVersionRequest, device, &version, sizeof version);
    if (version.dwVer < kMinimumDriverVersion) {
        SetDriverErrorText("Incorrect WinDriver version\n");
        return false;
    }
    card.rangeCount = static_cast<uint32_t>(count);
    for (int i = 0; i < count; ++i)
        card.ranges[i] = {ports[i], 1, 0};
    card.cardHandle = 0;
    DriverRequest(platform::kDriverClaimCardRequest, device, &card, sizeof card);
    if (card.cardHandle == 0) {
        SetDriverErrorText("Failed locking device.\n");
        return false;
    }
    return true;
}

Speaker& contextSpeaker() {
    auto& speaker = AppContext().Speaker;
    if (!speaker)
        speaker = std::make_unique<Speaker>();
    return *speaker;
}

} // namespace

PortAccess::PortAccess() = default;

PortAccess::~PortAccess() {
    ClosePorts(*this);
}

bool PortAccess::Transfer(int index, uint32_t operation, uint8_t& value) {
    if (!IsOpen() || index < 0 || index >= m_count)
        return false;
    platform::DriverTransfer transfer{};
    transfer.port = m_card->ranges[index].port; // the claimed range, offset 0
    transfer.operation = operation;
    transfer.value = value;
    if (DriverRequest(platform::kDriverTransferRequest, m_device, &transfer, sizeof transfer) != 0)
        return false;
    value = transfer.value;
    return true;
}

bool PortAccess::ReadPort(int index, uint8_t& value) {
    uint8_t read = 0;
    if (!Transfer(index, platform::kTransferReadByte, read))
        return false;
    value = read;
    return true;
}

bool PortAccess::WritePort(int index, uint8_t value) {
    return Transfer(index, platform::kTransferWriteByte, value);
}

bool OpenPorts(PortAccess& access, int count, const uint32_t* ports) {
    if (count <= 0 || count > PortAccess::kMaxPorts || ports == nullptr)
        return false;
    ClosePorts(access);
    SetDriverErrorText("");
    auto card = std::make_unique<platform::DriverCard>();
    platform::DriverHandle device = platform::kInvalidDriverHandle;
    if (!claimPorts(device, *card, count, ports)) {
        abandon(device, *card);
        SetDriverErrorText("Gen I/O open failed for \n");
        return false;
    }
    access.m_device = device;
    access.m_card = std::move(card);
    access.m_count = count;
    std::memcpy(access.m_ports.data(), ports, sizeof(uint32_t) * static_cast<size_t>(count));
    return true;
}

void ClosePorts(PortAccess& access) {
    if (!access.IsOpen())
        return;
    DriverRequest(platform::kDriverReleaseCardRequest, access.m_device, access.m_card.get(),
                  sizeof *access.m_card);
    platform::CloseDriverDevice(access.m_device);
    access.m_device = platform::kInvalidDriverHandle;
    access.m_card.reset();
    access.m_count = 0;
}

Speaker::Speaker()
    : m_ports(std::make_unique<PortAccess>()), m_clock(std::make_unique<LogClock>()) {
    const auto& ports = AppContext().SpeakerPorts;
    m_open = OpenPorts(*m_ports, static_cast<int>(ports.size()), ports.data());
    m_clock->Synchronise();
    ToneOff();
}

Speaker::~Speaker() {
    ToneOff();
    ClosePorts(*m_ports);
}

void Speaker::ToneOn(int16_t frequency) {
    if (!m_open)
        return;
    if (frequency == 0) { // no divisor gives 0 Hz: silence rather than divide by zero
        ToneOff();
        return;
    }
    const auto divisor = static_cast<uint16_t>(kTimerClockHz / frequency); // low 16 bits
    m_ports->WritePort(kTimerCommand, kChannel2SquareWave);
    m_ports->WritePort(kTimerChannel2, static_cast<uint8_t>(divisor & 0xFF));
    m_ports->WritePort(kTimerChannel2, static_cast<uint8_t>(divisor >> 8));
    uint8_t gate = 0;
    if (m_ports->ReadPort(kSpeakerGate, gate)) // never write a gate byte that was not read
        m_ports->WritePort(kSpeakerGate, gate | kGateAndSpeakerOn);
}

void Speaker::ToneOff() {
    uint8_t gate = 0;
    if (m_open && m_ports->ReadPort(kSpeakerGate, gate))
        m_ports->WritePort(kSpeakerGate, gate & static_cast<uint8_t>(~kGateAndSpeakerOn));
}

// Ends when the clock has reached the deadline or after one 1 ms sleep per
// millisecond, whichever comes first.
void Speaker::Wait(int milliseconds) {
    if (milliseconds <= 0)
        return;
    m_clock->StartInterval(milliseconds * kSecondsPerMillisecond);
    for (int sleeps = 1; sleeps <= milliseconds; ++sleeps) {
        platform::Sleep(1);
        if (sleeps % kSleepsPerYield == 0)
            platform::Sleep(0);
        if (m_clock->IntervalDone())
            return;
    }
}

void Speaker::Beep(int16_t frequency, int milliseconds) {
    ToneOn(frequency);
    Wait(milliseconds);
    ToneOff();
}

void SpeakerClick() {
    contextSpeaker().Beep(1, 1);
}

void SpeakerChirp() {
    Speaker& speaker = contextSpeaker();
    speaker.ToneOn(800);
    speaker.Wait(50);
    speaker.ToneOn(700); // follows the first tone without a gap
    speaker.Wait(50);
    speaker.ToneOff();
}

void SpeakerAlarm() {
    Speaker& speaker = contextSpeaker();
    for (int pair = 0; pair < 2; ++pair) {
        if (pair > 0)
            speaker.Wait(100);
        speaker.ToneOn(100);
        speaker.Wait(150);
        speaker.ToneOn(250);
        speaker.Wait(10);
        speaker.ToneOff();
    }
}
