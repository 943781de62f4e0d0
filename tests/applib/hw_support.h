#pragma once
// Fixtures for the driver, speaker, process and run tests: each test runs in
// its own temporary base directory made current, with the simulated driver
// installed; afterwards the directory, the context and every seam are
// restored.
#include "app_context.h"
#include "driver_device.h"
#include "driver_installer.h"
#include "os.h"
#include "os_version.h"
#include "simulated_driver.h"

#include <gtest/gtest.h>

#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace hw_support {

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

inline void WriteScript(const std::string& path, const std::string& body) {
    WriteAll(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Polls until `ready` holds, for at most `limit`; a bound against hanging,
// never a measure of speed.
template <typename Ready>
bool WaitFor(Ready ready, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The tones (Hz, 0 for silence) in a file of input events, as the PC-speaker
// bridge writes them to its device.
inline std::vector<int32_t> ToneEvents(const std::string& path) {
    const std::string bytes = ReadAll(path);
    std::vector<int32_t> tones;
    for (size_t at = 0; at + sizeof(input_event) <= bytes.size(); at += sizeof(input_event)) {
        input_event event;
        std::memcpy(&event, bytes.data() + at, sizeof event);
        if (event.type == EV_SND && event.code == SND_TONE)
            tones.push_back(event.value);
    }
    return tones;
}

// One line of the program log: its code field and its text ("" and "" for
// the empty line that a text ending in a line end leaves).
struct LogLine {
    std::string code;
    std::string text;
    bool operator==(const LogLine&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << '[' << line.code << "] \"" << line.text << '"';
}

constexpr size_t kStampLength = 19; // ddd:hh:mm:ss.ssssss

inline std::vector<LogLine> ReadLog(const std::string& path) {
    std::vector<LogLine> log;
    for (const std::string& raw : Lines(ReadAll(path))) {
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

class HardwareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previous = platform::GetCurrentDirectory();
        char pattern[] = "/tmp/quillstone-hw-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        ASSERT_TRUE(platform::SetCurrentDirectory(m_dir));
        m_dir = platform::GetCurrentDirectory(); // as the run will see it
        if (const char* comspec = std::getenv("COMSPEC"))
            m_comspec = comspec;
        ::unsetenv("COMSPEC");
        platform::SetDriverBackend(m_driver);
    }

    void TearDown() override {
        ResetAppContext();
        platform::SetDriverBackend(nullptr);
        SetDriverInstallerFactory({});
        platform::SetOsVersionSource({});
        if (m_comspec)
            ::setenv("COMSPEC", m_comspec->c_str(), 1);
        else
            ::unsetenv("COMSPEC");
        platform::SetCurrentDirectory(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    const std::string& Dir() const { return m_dir; }
    platform::SimulatedDriver& Driver() { return *m_driver; }

  private:
    std::shared_ptr<platform::SimulatedDriver> m_driver =
        std::make_shared<platform::SimulatedDriver>();
    std::string m_previous;
    std::string m_dir;
    std::optional<std::string> m_comspec;
};

} // namespace hw_support
