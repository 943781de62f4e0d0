#pragma once
// The program log: where the run's ErrorLog lies, and the one entry point
// through which every part writes to it.
#include <cstdint>
#include <string>

class QString;

// Codes of the log lines.
constexpr int32_t kLogBanner = 0;
constexpr int32_t kLogNotice = 1;
constexpr int32_t kLogAbnormalEnd = 5000;

// Whether the run wants a program log, and its path: BaseDirectory + "/" +
// logSubdirectory + logName + ".Log" when that subdirectory exists, else the
// relative fallbackLogName + ".Log". nullptr means absent.
bool ResolveLogPath(const char* logName, const char* logSubdirectory, const char* fallbackLogName,
                    std::string& path);

// Makes BaseDirectory current again, then adds the line to the program log
// (dropped when there is none).
void LogMessage(const char* text, int32_t code);
void LogMessage(const std::string& text, int32_t code);
void LogMessage(const QString& text, int32_t code);
