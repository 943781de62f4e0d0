#pragma once
// Sound cues on the PC speaker, through the hardware driver's port access:
// the speaker programs interval timer channel 2 (ports 0x43 and 0x42) and the
// speaker gate (port 0x61).
#include <array>
#include <cstdint>
#include <memory>

class LogClock;
namespace platform {
struct DriverCard;
}

// A driver connection that has claimed a list of I/O ports, each one byte
// wide, reached by their index in that list.
class PortAccess {
  public:
    static constexpr int kMaxPorts = 64;

    PortAccess();
    ~PortAccess(); // releases the ports
    PortAccess(const PortAccess&) = delete;
    PortAccess& operator=(const PortAccess&) = delete;

    bool IsOpen() const { return m_card != nullptr; }
    int Count() const { return m_count; }
    // False when the access is closed, the index is outside the list or the
    // driver refused the transfer; `value` is then unchanged.
    bool ReadPort(int index, uint8_t& value);
    bool WritePort(int index, uint8_t value);

  private:
    friend bool OpenPorts(PortAccess& access, int count, const uint32_t* ports);
    friend void ClosePorts(PortAccess& access);
    bool Transfer(int index, uint32_t operation, uint8_t& value);

    intptr_t m_device = -1;                       // the driver device handle
    std::unique_ptr<platform::DriverCard> m_card; // none while closed
    int m_count = 0;
    std::array<uint32_t, kMaxPorts> m_ports{};
};

// Claims `count` ports (1 to 64) through the driver, which must report version
// 603 or later. Sets DriverErrorText: cleared on success, "Gen I/O open failed
// for \n" on failure (untouched when the count is out of range).
bool OpenPorts(PortAccess& access, int count, const uint32_t* ports);
// Releases the claim and closes the device, if open.
void ClosePorts(PortAccess& access);

class Speaker {
  public:
    Speaker();  // opens the ports {0x43, 0x42, 0x61}, then silences the speaker
    ~Speaker(); // silences the speaker, then releases the ports
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    bool IsOpen() const { return m_open; }
    void ToneOn(int16_t frequency); // Hz; the divisor keeps its low 16 bits; 0 silences
    void ToneOff();                 // leaves bits 2-7 of the gate port as they were
    void Wait(int milliseconds);    // runs whether or not the ports are open
    void Beep(int16_t frequency, int milliseconds);

  private:
    std::unique_ptr<PortAccess> m_ports;
    bool m_open = false;
    std::unique_ptr<LogClock> m_clock;
};

// Each creates the context's Speaker when there is none, then plays.
void SpeakerClick(); // 1 ms at frequency value 1
void SpeakerChirp(); // 800 Hz 50 ms, 700 Hz 50 ms
void SpeakerAlarm(); // about 420 ms
