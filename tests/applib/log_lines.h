#pragma once
// The program log read back line by line, as the run and driver tests check it.
#include "test_base.h"

#include <ostream>
#include <string>
#include <vector>

namespace applib_test {

// One line of the program log: its code field and its text ("" and "" for
// the empty line that a text ending in a line end leaves).
struct LogLine {
    std::string code;
    std::string text;
    bool operator==(const LogLine&) const = default;
};

using Log = std::vector<LogLine>;

// The lines of an attempt to install the hardware driver.
inline const std::string kAttempting = "Attempting to install HARDWARE DRIVER..........";
inline const std::string kAttemptFailed =
    "ATTEMPT TO INSTALL HARDWARE DRIVER FAILED.  CANNOT NOT TALK TO HARDWARE!!!!!!!!!!!!!!";
inline const std::string kNoInstaller =
    "WINDRVR6 Init failed.  No driver installer for this operating system.";

inline std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << '[' << line.code << "] \"" << line.text << '"';
}

constexpr size_t kStampLength = 19; // ddd:hh:mm:ss.ssssss

inline std::vector<LogLine> readLog(const std::string& path) {
    std::vector<LogLine> log;
    for (const std::string& raw : testing_support::Lines(testing_support::ReadAll(path))) {
        const size_t codeEnd = raw.find("  ");
        if (raw.empty() || codeEnd == std::string::npos) {
            log.push_back({"", raw});
            continue;
        }
        const size_t textStart = codeEnd + 2 + kStampLength + 2;
        log.push_back(
            {raw.substr(0, codeEnd), textStart <= raw.size() ? raw.substr(textStart) : "?"});
    }
    return log;
}

} // namespace applib_test
