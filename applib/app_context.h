#pragma once
// The process-wide application context: base directory, shutting-down flag,
// program log, speaker, and what the hardware driver reported. One object,
// filled by ProgramStart and cleared by ProgramEnd; tests reset it.
#include "driver_version_record.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class ErrorLog;
class Speaker;

struct AppContextData {
    AppContextData();
    ~AppContextData();
    AppContextData(const AppContextData&) = delete;
    AppContextData& operator=(const AppContextData&) = delete;

    std::string BaseDirectory;            // at most 259 characters; "" before ProgramStart
    std::unique_ptr<ErrorLog> ProgramLog; // none before ProgramStart and after ProgramEnd
    uint8_t ShuttingDown = 0;             // 1 from the moment the main window closes
    std::unique_ptr<::Speaker> Speaker;   // the sound cues' tone generator
    DriverVersionRecord DriverVersion{};  // all zero until the driver answered
    std::string DriverErrorText;          // at most 1023 characters
    std::array<uint32_t, 3> SpeakerPorts{0x43, 0x42, 0x61}; // timer command, channel 2, gate
};

AppContextData& AppContext();

// Back to the state before ProgramStart (the log and speaker are destroyed).
void ResetAppContext();
