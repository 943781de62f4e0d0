#include "pcspeaker_driver.h"

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace platform {

namespace {

constexpr uint8_t kGateBits = 0x03; // bit 0 gates channel 2, bit 1 connects the speaker
constexpr const char* kPcSpeakerName = "PC Speaker";
constexpr const char* kPcSpeakerByPath = "/by-path/platform-pcspkr-event-spkr";
constexpr const char* kBridgeVersionText = "PC speaker bridge over the Linux input device";

bool isWritableDevice(const std::string& path) {
    return !path.empty() && ::access(path.c_str(), W_OK) == 0;
}

std::string firstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

class PcSpeakerDevice : public PortDriverDevice {
  public:
    explicit PcSpeakerDevice(int fd) : m_fd(fd) {}
    ~PcSpeakerDevice() override {
        Sound(0); // never leave the speaker ringing
        ::close(m_fd);
    }
    PcSpeakerDevice(const PcSpeakerDevice&) = delete;
    PcSpeakerDevice& operator=(const PcSpeakerDevice&) = delete;

  protected:
    void Version(DriverVersionRecord& data) override {
        data = {};
        data.dwVer = kPcSpeakerBridgeVersion;
        std::snprintf(data.cVer, sizeof data.cVer, "%s", kBridgeVersionText);
    }

    void Claim(DriverCard& card) override {
        for (uint32_t i = 0; i < card.rangeCount; ++i) {
            const DriverPortRange& range = card.ranges[i];
            if (range.bytes != 1 || !SpeakerPortEmulator::HandlesPort(range.port))
                return; // only the timer and gate ports are emulated
        }
        card.cardHandle = m_nextCard++;
        m_cards.insert(card.cardHandle);
        for (uint32_t i = 0; i < card.rangeCount; ++i)
            m_claimedPorts.insert(card.ranges[i].port);
    }

    bool Release(const DriverCard& card) override {
        if (m_cards.erase(card.cardHandle) == 0)
            return false;
        if (m_cards.empty()) {
            m_claimedPorts.clear();
            Sound(0);
        }
        return true;
    }

    bool Transfer(DriverTransfer& transfer) override {
        if (m_claimedPorts.count(transfer.port) == 0)
            return false;
        if (transfer.operation == kTransferReadByte) {
            transfer.value = m_ports.Read(transfer.port);
            return true;
        }
        if (transfer.operation != kTransferWriteByte)
            return false;
        m_ports.Write(transfer.port, transfer.value);
        Sound(m_ports.ToneHz());
        return true;
    }

  private:
    // Sends the tone (Hz, 0 for silence) when it differs from the last one.
    void Sound(uint32_t hz) {
        if (hz == m_soundingHz)
            return;
        input_event events[2] = {};
        events[0].type = EV_SND;
        events[0].code = SND_TONE;
        events[0].value = static_cast<int32_t>(hz);
        events[1].type = EV_SYN;
        events[1].code = SYN_REPORT;
        if (::write(m_fd, events, sizeof events) == static_cast<ssize_t>(sizeof events))
            m_soundingHz = hz;
    }

    int m_fd;
    SpeakerPortEmulator m_ports;
    uint32_t m_soundingHz = 0;
    uint32_t m_nextCard = 1;
    std::set<uint32_t> m_cards;
    std::set<uint64_t> m_claimedPorts;
};

} // namespace

bool SpeakerPortEmulator::HandlesPort(uint64_t port) {
    return port == kTimerCommandPort || port == kTimerChannel2Port || port == kSpeakerGatePort;
}

void SpeakerPortEmulator::Write(uint64_t port, uint8_t value) {
    if (port == kTimerCommandPort)
        WriteCommand(value);
    else if (port == kTimerChannel2Port)
        WriteDivisorByte(value);
    else if (port == kSpeakerGatePort)
        m_gate = value;
}

uint8_t SpeakerPortEmulator::Read(uint64_t port) const {
    return port == kSpeakerGatePort ? m_gate : 0xFF;
}

uint32_t SpeakerPortEmulator::ToneHz() const {
    if ((m_gate & kGateBits) != kGateBits || !m_divisorLoaded)
        return 0;
    const uint32_t divisor = m_divisor == 0 ? 65536u : m_divisor;
    return kPitClockHz / divisor;
}

void SpeakerPortEmulator::WriteCommand(uint8_t command) {
    const uint8_t counter = command >> 6;         // 2: channel 2
    const uint8_t access = (command >> 4) & 0x03; // 0: latch, which changes no count
    if (counter == 2 && access != 0) {
        m_access = access;
        m_expectHigh = access == 2;
    }
}

// The new count takes effect once it is complete; until then the old tone
// keeps sounding.
void SpeakerPortEmulator::WriteDivisorByte(uint8_t value) {
    switch (m_access) {
    case 1:
        m_divisor = value;
        m_divisorLoaded = true;
        break;
    case 2:
        m_divisor = static_cast<uint16_t>(value << 8);
        m_divisorLoaded = true;
        break;
    case 3:
        if (!m_expectHigh) {
            m_pendingLow = value;
            m_expectHigh = true;
        } else {
            m_divisor = static_cast<uint16_t>(m_pendingLow | (value << 8));
            m_divisorLoaded = true;
            m_expectHigh = false;
        }
        break;
    default:
        break; // no command for channel 2 yet
    }
}

std::string FindPcSpeakerDevice(const std::string& devInput, const std::string& sysClassInput) {
    const std::string byPath = devInput + kPcSpeakerByPath;
    if (isWritableDevice(byPath))
        return byPath;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysClassInput, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("event", 0) != 0)
            continue;
        if (firstLine(entry.path() / "device" / "name") != kPcSpeakerName)
            continue;
        const std::string device = devInput + "/" + name;
        if (isWritableDevice(device))
            return device;
    }
    return {};
}

PcSpeakerBackend::PcSpeakerBackend(std::string devicePath) : m_devicePath(std::move(devicePath)) {}

std::unique_ptr<DriverDevice> PcSpeakerBackend::Open() {
    const std::string path = m_devicePath.empty() ? FindPcSpeakerDevice() : m_devicePath;
    if (path.empty())
        return nullptr;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    return std::make_unique<PcSpeakerDevice>(fd);
}

} // namespace platform
