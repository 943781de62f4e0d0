#include "program_run.h"

#include "app_context.h"
#include "driver_check.h"
#include "error_log.h"
#include "os.h"
#include "profile.h"
#include "program_log.h"
#include "speaker.h"

#include <string>

namespace {

constexpr const char* kSeparator = ">>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>";
constexpr const char* kNotLoadedLine =
    "HARDWARE DRIVER NOT LOADED.  CANNOT NOT TALK TO HARDWARE!!!!!!!!!!!!!!";

struct Banners {
    const char* start;
    const char* versionPrefix;
    const char* end;
};

// Index 0: a program; index 1: a library.
constexpr Banners kBanners[] = {
    {"------------------PROGRAM START--------------------", "Program Version ",
     "------------------PROGRAM END--------------------"},
    {"--------------------DLL START----------------------", "DLL Version ",
     "--------------------DLL END----------------------"},
};

const Banners& bannersFor(uint8_t libraryMode) {
    return kBanners[libraryMode != 0 ? 1 : 0];
}

// The directory the run started in. A directory that cannot be read leaves
// "." so that files are still found relative to it, never at the file
// system's root.
std::string startDirectory() {
    const std::string current = platform::GetCurrentDirectory();
    return current.empty() ? "." : current;
}

// "WINDRIVER Version 6.2" for the version number 602.
std::string driverVersionLine(uint32_t version) {
    return "WINDRIVER Version " + FormatProfileNumber(version / 100, 6, 0) + "." +
           FormatProfileNumber(version % 100, 6, 0);
}

void checkHardwareDriver() {
    if (EnsureHardwareDriver())
        return;
    LogMessage(AppContext().DriverErrorText, kLogNotice);
    LogMessage(kNotLoadedLine, kLogNotice);
    RunDriverLoadScript();
}

} // namespace

void ProgramStart(uint8_t libraryMode, const char* versionText, const char* logName,
                  const char* logSubdirectory, const char* fallbackLogName) {
    AppContextData& context = AppContext();
    context.BaseDirectory = startDirectory();

    std::string logPath;
    context.ProgramLog.reset();
    if (ResolveLogPath(logName, logSubdirectory, fallbackLogName, logPath))
        context.ProgramLog = std::make_unique<ErrorLog>(logPath.c_str());

    const Banners& banners = bannersFor(libraryMode);
    LogMessage(banners.start, kLogBanner);
    LogMessage(std::string(banners.versionPrefix) + (versionText ? versionText : ""), kLogBanner);

    checkHardwareDriver();

    const uint32_t version = context.DriverVersion.dwVer;
    LogMessage(kSeparator, kLogNotice);
    LogMessage(driverVersionLine(version), static_cast<int32_t>(version));
    LogMessage(kSeparator, kLogNotice);

    context.Speaker.reset(); // a cue before the start may have made one
    context.Speaker = std::make_unique<Speaker>();
    context.ShuttingDown = 0;
}

void ProgramEnd(uint8_t libraryMode) {
    AppContextData& context = AppContext();
    const char* endBanner = bannersFor(libraryMode).end;
    context.Speaker.reset(); // silences the speaker and releases its ports
    LogMessage(endBanner, kLogBanner);
    if (context.ProgramLog) {
        context.ProgramLog->CloseFile();
        context.ProgramLog.reset();
    }
}
