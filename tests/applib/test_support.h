#pragma once
// Shared fixtures: a private temporary directory made current for each test
// (the previous current directory is restored), file helpers, and a clock
// whose counter and local time the test sets.
#include "os.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace testing_support {

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

inline bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previous = platform::GetCurrentDirectory();
        char pattern[] = "/tmp/quillstone-core-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        ASSERT_TRUE(platform::SetCurrentDirectory(m_dir));
    }

    void TearDown() override {
        platform::SetCurrentDirectory(m_previous);
        std::error_code ignored;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    const std::string& Dir() const { return m_dir; }

  private:
    std::string m_previous;
    std::string m_dir;
};

struct FakeClockState {
    int64_t frequency = 10'000'000; // 100 ns ticks
    int64_t counter = 1'000'000'000;
    platform::LocalTime now{2023, 12, 6, 14, 5, 7, 250};
    bool counterThrows = false;

    void Advance(double seconds) { counter += static_cast<int64_t>(seconds * frequency + 0.5); }
};

class FakeClock final : public platform::SystemClock {
  public:
    explicit FakeClock(std::shared_ptr<FakeClockState> state) : m_state(std::move(state)) {}
    int64_t CounterFrequency() override { return m_state->frequency; }
    int64_t Counter() override {
        if (m_state->counterThrows)
            throw std::runtime_error("counter unavailable");
        return m_state->counter;
    }
    platform::LocalTime Now() override { return m_state->now; }

  private:
    std::shared_ptr<FakeClockState> m_state;
};

// Installs a fake clock for the life of the object; the real one afterwards.
class ScopedFakeClock {
  public:
    ScopedFakeClock() : m_state(std::make_shared<FakeClockState>()) {
        platform::SetClock(std::make_unique<FakeClock>(m_state));
    }
    ~ScopedFakeClock() { platform::SetClock(nullptr); }
    ScopedFakeClock(const ScopedFakeClock&) = delete;
    ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;

    FakeClockState& operator*() { return *m_state; }
    FakeClockState* operator->() { return m_state.get(); }

  private:
    std::shared_ptr<FakeClockState> m_state;
};

} // namespace testing_support
