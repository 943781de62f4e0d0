#include "process.h"

#include "file_trust.h"
#include "process_spawn.h"
#include "program_log.h"

ProcessRecord ViewerProcess;

bool RunProgram(const std::string& applicationName, const std::string& commandLine,
                uint8_t lowPriority, ProcessRecord& record) {
    const pid_t pid =
        platform::SpawnProgram(applicationName, {applicationName, commandLine}, lowPriority != 0);
    if (pid <= 0)
        return false;
    record.process = pid;
    return true;
}

void StopProgram(ProcessRecord& record) {
    if (record.process == 0)
        return;
    platform::KillAndReap(record.process);
    record.process = 0;
}

bool MayRunFile(const std::string& path) {
    const platform::RunCheck check = platform::CheckRunnableFile(path);
    if (check == platform::RunCheck::Runnable)
        return true;
    if (check != platform::RunCheck::Missing)
        LogMessage("    .... Will not run " + path + "  because " +
                       platform::RunCheckReason(check) + ".",
                   kLogNotice);
    return false;
}
