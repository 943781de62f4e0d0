#pragma once
// Starting another program and ending it by force.
#include <cstdint>
#include <string>
#include <sys/types.h>

struct ProcessRecord {
    pid_t process = 0; // 0: none
};

// argv = { applicationName, commandLine }; this process's environment and
// current directory; lowPriority nonzero puts it in the idle class. True when
// started; on failure the record is unchanged.
bool RunProgram(const std::string& applicationName, const std::string& commandLine,
                uint8_t lowPriority, ProcessRecord& record);

// Whether the file at `path` may be run: a regular file of this user or of
// root that its group and others cannot write to (platform/file_trust.h).
// A file there that may not be run gets one log line saying why; a missing
// one gets none. Callers treat false as if the file were missing.
bool MayRunFile(const std::string& path);

// Ends the recorded process (if any), reaps it and clears the record.
void StopProgram(ProcessRecord& record);

// The log viewer last started by the About box.
extern ProcessRecord ViewerProcess;
