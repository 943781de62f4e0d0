#include "program_log.h"

#include "app_context.h"
#include "error_log.h"
#include "files.h"

#include <QString>

namespace {

constexpr const char* kDefaultFallbackName = "LogFile";
constexpr const char* kLogExtension = ".Log";

} // namespace

bool ResolveLogPath(const char* logName, const char* logSubdirectory, const char* fallbackLogName,
                    std::string& path) {
    path.clear();
    if (logName == nullptr && logSubdirectory == nullptr && fallbackLogName == nullptr)
        return false; // the run keeps no program log
    const std::string name = logName != nullptr ? logName : "";
    const std::string subdirectory = logSubdirectory != nullptr ? logSubdirectory : "";
    const std::string fallback =
        fallbackLogName != nullptr ? fallbackLogName : kDefaultFallbackName;
    if (!subdirectory.empty()) {
        // The subdirectory text begins and ends with "/": the doubled slash
        // after the base directory reads as one.
        const std::string candidate = AppContext().BaseDirectory + "/" + subdirectory;
        if (DirectoryIsPresent(candidate)) {
            path = candidate + name + kLogExtension;
            return true;
        }
    }
    // Relative: every message first makes the base directory current.
    path = fallback + kLogExtension;
    return true;
}

void LogMessage(const char* text, int32_t code) {
    LogMessage(std::string(text != nullptr ? text : ""), code);
}

void LogMessage(const std::string& text, int32_t code) {
    AppContextData& context = AppContext();
    ChangeDirectory(context.BaseDirectory);
    if (context.ProgramLog)
        context.ProgramLog->Add(text, code);
}

void LogMessage(const QString& text, int32_t code) {
    LogMessage(text.toLocal8Bit().toStdString(), code);
}
