#pragma once
// Opening and closing a run: base directory, program log with banners, driver
// check, speaker.
#include <cstdint>

void ProgramStart(uint8_t libraryMode, const char* versionText, const char* logName,
                  const char* logSubdirectory, const char* fallbackLogName);
void ProgramEnd(uint8_t libraryMode);
