#include "test_base.h"

#include "app_context.h"
#include "driver_device.h"
#include "driver_installer.h"
#include "number_text.h"
#include "os.h"
#include "os_version.h"
#include "simulated_driver.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!bytes.empty()) // an empty view may come without a buffer
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool WriteScript(const std::string& path, const std::string& body) {
    return WriteAll(path, "#!/bin/sh\n" + body) && ::chmod(path.c_str(), 0755) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<int> ToneDivisors(const platform::SimulatedDriver& driver) {
    std::vector<int> divisors;
    const auto& t = driver.Transfers();
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!t[i].write || t[i].port != 0x43 || t[i].value != 0xB6)
            continue;
        const bool bytes = i + 2 < t.size() && t[i + 1].write && t[i + 1].port == 0x42 &&
                           t[i + 2].write && t[i + 2].port == 0x42;
        divisors.push_back(bytes ? t[i + 1].value | (t[i + 2].value << 8) : -1);
    }
    return divisors;
}

TempDir::TempDir(Place place) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = place == Place::Memory && ::access("/dev/shm", W_OK | X_OK) == 0
                              ? "/dev/shm"
                              : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    pattern += "/quillstone-test-XXXXXX";
    char resolved[PATH_MAX];
    if (::mkdtemp(pattern.data()) != nullptr)
        m_dir = ::realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (valid())
        std::filesystem::remove_all(m_dir, ignored);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    return WriteAll(file(name), bytes) ? file(name) : std::string();
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void resetSeams() {
    ResetAppContext(); // while the test's driver is still there to silence
    platform::SetClock(nullptr);
    platform::SetDriverBackend(nullptr);
    SetDriverInstallerFactory({});
    platform::SetOsVersionSource({});
    SetDecimalSeparator(".");
    ::unsetenv("COMSPEC");
}

} // namespace

ContextGuard::ContextGuard() : m_previousDirectory(platform::GetCurrentDirectory()) {
    if (const char* comspec = std::getenv("COMSPEC"))
        m_comspec = comspec;
    ::unsetenv("COMSPEC");
    ResetAppContext();
}

ContextGuard::~ContextGuard() {
    resetSeams();
    if (m_comspec)
        ::setenv("COMSPEC", m_comspec->c_str(), 1);
    platform::SetCurrentDirectory(m_previousDirectory);
}

TestBase::TestBase(ContextBase base) {
    m_ready = m_dir.valid() && platform::SetCurrentDirectory(m_dir.path());
    if (m_ready && base == ContextBase::Set)
        AppContext().BaseDirectory = m_dir.path();
}

} // namespace testing_support
