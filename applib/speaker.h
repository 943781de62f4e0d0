#pragma once
// Sound cues on the PC speaker, through the hardware driver's port access.
#include <cstdint>
#include <memory>

class LogClock;
class PortAccess;

class Speaker {
public:
    Speaker();  // opens the ports {0x43, 0x42, 0x61}, then silences the speaker
    ~Speaker(); // releases the ports
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    bool IsOpen() const { return m_open; }
    void ToneOn(int16_t frequency); // Hz
    void ToneOff();
    void Wait(int milliseconds);
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
