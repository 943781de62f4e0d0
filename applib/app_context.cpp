#include "app_context.h"

#include "error_log.h"
#include "speaker.h"

// Out of line: the members own an ErrorLog and a Speaker, complete only here.
AppContextData::AppContextData() = default;
AppContextData::~AppContextData() = default;

AppContextData& AppContext() {
    static AppContextData context;
    return context;
}

void ResetAppContext() {
    AppContextData& context = AppContext();
    if (context.ProgramLog)
        context.ProgramLog->CloseFile();
    context.ProgramLog.reset();
    context.Speaker.reset();
    context.BaseDirectory.clear();
    context.ShuttingDown = 0;
    context.DriverVersion = DriverVersionRecord{};
    context.DriverErrorText.clear();
    context.SpeakerPorts = {0x43, 0x42, 0x61};
}
