#pragma once
// What every test shares: whole-file reads and writes, private temporary
// directories, and the guard that puts back what a test may change in the
// process: the application context, the seams (clock, driver backend, driver
// installer, operating-system version, decimal separator, the COMSPEC a
// process start reads) and the working directory.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {
class SimulatedDriver;
}

namespace testing_support {

std::string ReadAll(const std::string& path); // "" when unreadable
bool WriteAll(const std::string& path, std::string_view bytes);
bool Exists(const std::string& path);
// A shell script with `body` after its #! line, executable by its owner.
bool WriteScript(const std::string& path, const std::string& body);
std::vector<std::string> Lines(const std::string& text); // without line ends

// The timer divisors of the tones the speaker started on the driver, in
// order (a tone: 0xB6 to port 0x43, then the divisor's two bytes to 0x42;
// -1 for a start not followed by them).
std::vector<int> ToneDivisors(const platform::SimulatedDriver& driver);

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

// A directory removed with all it holds when the object goes: under TMPDIR
// (or /tmp), or in memory (/dev/shm where there is one) for the fuzz
// targets, whose every save syncs. Paths have no symbolic link in them.
class TempDir {
  public:
    enum class Place { Disk, Memory };

    explicit TempDir(Place place = Place::Disk);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool valid() const { return !m_dir.empty(); }
    const std::string& path() const { return m_dir; }
    std::string file(std::string_view name) const { return m_dir + "/" + std::string(name); }
    // Writes the file and returns its full path ("" when it failed).
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const { return ReadAll(file(name)); }
    bool exists(std::string_view name) const { return Exists(file(name)); }
    std::vector<std::string> entries() const; // sorted names

  private:
    std::string m_dir;
};

// A fresh context when made; when it goes, every seam at its default, a
// fresh context and the working directory as it was found. Seams a fixture
// installs before the guard is made (a member clock) are left to it.
class ContextGuard {
  public:
    ContextGuard();
    ~ContextGuard();
    ContextGuard(const ContextGuard&) = delete;
    ContextGuard& operator=(const ContextGuard&) = delete;

  private:
    std::string m_previousDirectory;
    std::optional<std::string> m_comspec;
};

// A temporary directory made the working directory and, when asked, the
// application context's base directory, under a ContextGuard.
class TestBase {
  public:
    enum class ContextBase { Unset, Set };

    explicit TestBase(ContextBase base = ContextBase::Unset);

    bool ready() const { return m_ready; } // false: not made or not entered
    const std::string& dir() const { return m_dir.path(); }
    std::string path(std::string_view name) const { return m_dir.file(name); }

  private:
    TempDir m_dir;        // removed last
    ContextGuard m_guard; // restores the working directory first
    bool m_ready = false;
};

} // namespace testing_support
