#pragma once
// The driver backend that sounds the PC speaker on Linux. Programs that expect
// to reach the interval timer (ports 0x43, 0x42) and the speaker gate (0x61)
// directly get an emulation of those ports instead; the resulting tone goes to
// the kernel's "PC Speaker" input device as EV_SND/SND_TONE events.
#include "driver_device.h"

#include <string>

namespace platform {

constexpr uint32_t kPitClockHz = 1193180;          // the interval timer's input clock
constexpr uint32_t kPcSpeakerBridgeVersion = 1000; // version x 100
constexpr uint64_t kTimerCommandPort = 0x43;
constexpr uint64_t kTimerChannel2Port = 0x42;
constexpr uint64_t kSpeakerGatePort = 0x61;

// Timer channel 2 and the speaker gate, as far as a tone needs them.
class SpeakerPortEmulator {
  public:
    static bool HandlesPort(uint64_t port);

    void Write(uint64_t port, uint8_t value);
    // The gate port gives back its byte; the others read as 0xFF.
    uint8_t Read(uint64_t port) const;
    // Hz; 0 unless both gate bits are set and a divisor was loaded.
    uint32_t ToneHz() const;

  private:
    void WriteCommand(uint8_t command);
    void WriteDivisorByte(uint8_t value);

    uint8_t m_gate = 0;        // the byte at 0x61
    uint8_t m_access = 0;      // 1 low byte only, 2 high byte only, 3 low then high
    bool m_expectHigh = false; // the next channel 2 byte is the high one
    uint16_t m_divisor = 0;    // 0 counts as 65536, as on the real timer
    uint8_t m_pendingLow = 0;  // low byte waiting for its high byte
    bool m_divisorLoaded = false;
};

// The event device of the input device named "PC Speaker": the by-path link
// when it exists, otherwise found by name under sysClassInput. "" when none.
std::string FindPcSpeakerDevice(const std::string& devInput = "/dev/input",
                                const std::string& sysClassInput = "/sys/class/input");

class PcSpeakerBackend : public DriverBackend {
  public:
    PcSpeakerBackend() = default;                      // looks for the device at every Open
    explicit PcSpeakerBackend(std::string devicePath); // uses this path
    // nullptr when the device cannot be opened for writing.
    std::unique_ptr<DriverDevice> Open() override;

  private:
    std::string m_devicePath;
};

} // namespace platform
