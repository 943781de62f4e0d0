#include "driver_check.h"

#include "app_context.h"
#include "driver_device.h"
#include "driver_installer.h"
#include "files.h"
#include "os_version.h"
#include "process.h"
#include "process_spawn.h"
#include "program_log.h"

#include <cstdlib>

namespace {

constexpr size_t kMaxDriverErrorText = 1023; // characters kept
constexpr uint32_t kAutomaticStart = 2;      // the service starts with the system
constexpr const char* kDriverName = "WinDriver";
constexpr const char* kDriverFileName = "WINDRVR6";
constexpr const char* kDefaultInterpreter = "/bin/sh";

constexpr const char* kNoInstallerText =
    "WINDRVR6 Init failed.  No driver installer for this operating system.\n";
constexpr const char* kInitFailedText = "WINDRVR6 Init failed.  Try rebooting machine.\n";
constexpr const char* kNotRegisteredText =
    "WINDRVR6 FAILED TO REGISTER AFTER INSTALLATION, TRY REBOOTING";
constexpr const char* kInstallFailedLine =
    "ATTEMPT TO INSTALL HARDWARE DRIVER FAILED.  CANNOT NOT TALK TO HARDWARE!!!!!!!!!!!!!!";

struct ScriptChoice {
    uint32_t platformId;
    uint32_t major;
    const char* name;
};

constexpr ScriptChoice kScripts[] = {
    {platform::kPlatformWindowsNt, 4, "Nt_WindriverLoad.bat"},
    {platform::kPlatformWindowsNt, 5, "WindriverLoad.bat"},
    {platform::kPlatformWindowsNt, 6, "WindriverLoad.bat"},
};
constexpr const char* kOtherPlatformScript = "98_WindriverLoad.bat";

// The interpreter that runs batch scripts: COMSPEC, or the shell.
std::string Interpreter() {
    const char* comspec = std::getenv("COMSPEC");
    return comspec != nullptr && *comspec != '\0' ? comspec : kDefaultInterpreter;
}

std::string ScriptNameForHost() {
    platform::OsVersion version;
    const bool known = platform::GetOsVersion(version);
    return DriverLoadScriptName(known, version.platformId, version.major);
}

} // namespace

void SetDriverErrorText(const std::string& text) {
    AppContext().DriverErrorText = text.substr(0, kMaxDriverErrorText);
}

int32_t DriverRequest(uint32_t code, intptr_t deviceHandle, void* buffer, uint32_t size) {
    if (deviceHandle == platform::kInvalidDriverHandle)
        return -1;
    uint32_t output = 0xFFFFFFFFu; // left as it is when the driver refuses
    platform::DriverIoControl(deviceHandle, code, buffer, size, output);
    return static_cast<int32_t>(output);
}

std::string DriverLoadScriptName(bool versionKnown, uint32_t platformId, uint32_t major) {
    if (versionKnown)
        for (const ScriptChoice& choice : kScripts)
            if (choice.platformId == platformId && choice.major == major)
                return choice.name;
    return kOtherPlatformScript;
}

bool ProbeHardwareDriver() {
    const platform::DriverHandle device = platform::OpenDriverDevice();
    if (device == platform::kInvalidDriverHandle)
        return false;
    DriverVersionRecord& version = AppContext().DriverVersion;
    version = {};
    DriverRequest(platform::kDriverVersionRequest, device, &version, sizeof version);
    platform::CloseDriverDevice(device);
    return true;
}

bool EnsureHardwareDriver() {
    if (ProbeHardwareDriver())
        return true;
    if (!InstallDriverService())
        return false;
    if (ProbeHardwareDriver())
        return true;
    SetDriverErrorText(kNotRegisteredText);
    return false;
}

bool InstallDriverService() {
    std::unique_ptr<DriverInstaller> installer = MakeDriverInstaller();
    if (!installer) {
        SetDriverErrorText(kNoInstallerText);
        return false;
    }
    if (!installer->Prepare(kDriverName, kDriverFileName, kAutomaticStart)) {
        SetDriverErrorText(kInitFailedText);
        return false;
    }
    installer->Create(); // a service that exists already is no failure
    installer->Start();
    return true;
}

void RunDriverLoadScript() {
    LogMessage("Attempting to install HARDWARE DRIVER..........", kLogNotice);
    const std::string base = AppContext().BaseDirectory;
    const std::string scriptPath = base + "/DriverTools/" + ScriptNameForHost();
    if (!FileIsPresent(scriptPath)) {
        LogMessage("    .... Tried to run " + scriptPath +
                       "  and it does not exist.  Located on your Install CD and put it here.",
                   kLogNotice);
        LogMessage(kInstallFailedLine, kLogNotice);
        return;
    }
    if (!MayRunFile(scriptPath)) {
        LogMessage(kInstallFailedLine, kLogNotice);
        return;
    }
    ChangeDirectory(base + "/DriverTools");
    const std::string interpreter = Interpreter();
    if (!platform::SpawnDetached(interpreter, {interpreter, scriptPath})) {
        LogMessage("    .... Tried to run " + scriptPath + "  and it failed", kLogNotice);
        LogMessage(kInstallFailedLine, kLogNotice);
    } else if (!EnsureHardwareDriver()) {
        LogMessage(AppContext().DriverErrorText, kLogNotice);
        LogMessage(kInstallFailedLine, kLogNotice);
    }
    ChangeDirectory(base);
}
