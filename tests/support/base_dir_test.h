#pragma once
// GoogleTest fixtures: each test in its own temporary base directory (see
// TestBase); HardwareTest also installs a simulated driver (absent until the
// test sets its mode). A fake clock whose counter and local time a test sets.
#include "app_context.h"
#include "driver_device.h"
#include "driver_installer.h"
#include "os.h"
#include "os_version.h"
#include "simulated_driver.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class BaseDirTest : public ::testing::Test {
  protected:
    explicit BaseDirTest(TestBase::ContextBase base = TestBase::ContextBase::Unset)
        : m_contextBase(base) {}

    void SetUp() override {
        m_base.emplace(m_contextBase);
        ASSERT_TRUE(m_base->ready());
    }
    void TearDown() override { m_base.reset(); }

    std::string Path(const std::string& name) const { return m_base->path(name); }
    const std::string& Dir() const { return m_base->dir(); }

  private:
    TestBase::ContextBase m_contextBase;
    std::optional<TestBase> m_base;
};

class HardwareTest : public BaseDirTest {
  protected:
    void SetUp() override {
        BaseDirTest::SetUp();
        platform::SetDriverBackend(m_driver);
    }

    platform::SimulatedDriver& Driver() { return *m_driver; }

  private:
    std::shared_ptr<platform::SimulatedDriver> m_driver =
        std::make_shared<platform::SimulatedDriver>();
};

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

struct FakeClockState {
    int64_t frequency = 10'000'000; // 100 ns ticks
    int64_t counter = 1'000'000'000;
    platform::LocalTime now{2023, 12, 6, 14, 5, 7, 250};
    bool counterThrows = false;

    void Advance(double seconds) { counter += static_cast<int64_t>(seconds * frequency + 0.5); }
};

class ScopedFakeClock {
  public:
    ScopedFakeClock() : m_state(std::make_shared<FakeClockState>()) {
        platform::SetClock(std::make_unique<Clock>(m_state));
    }
    ~ScopedFakeClock() { platform::SetClock(nullptr); }
    ScopedFakeClock(const ScopedFakeClock&) = delete;
    ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;

    FakeClockState& operator*() { return *m_state; }
    FakeClockState* operator->() { return m_state.get(); }

  private:
    class Clock final : public platform::SystemClock {
      public:
        explicit Clock(std::shared_ptr<FakeClockState> state) : m_state(std::move(state)) {}
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

    std::shared_ptr<FakeClockState> m_state;
};

} // namespace testing_support
