// The settings save a window close makes: the backup, then the new file put
// in place in one durable step. On a tmpfs (/dev/shm) the syncs cost nothing;
// on the build disk they are the save's main cost. For comparison, the same
// sixteen keys written one by one, each write a durable replace of its own.
#include "link_settings.h"
#include "profile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A private directory under `parent`, removed with its files at the end.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& parent) {
        std::string pattern = parent + "/quillstone-save-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            m_dir = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& dir() const { return m_dir; }

  private:
    std::string m_dir;
};

const char* placeOf(int place) {
    return place == 0 ? "/dev/shm" : BENCH_DISK_DIR;
}

// The settings file's path in `scratch`; "" (and the run marked) without one.
std::string settingsPathIn(const ScratchDir& scratch, benchmark::State& state) {
    if (scratch.dir().empty()) {
        state.SkipWithError("no scratch directory");
        return {};
    }
    return MakeSettingsPath(scratch.dir());
}

void saveLinkSettings(benchmark::State& state) {
    const ScratchDir scratch(placeOf(static_cast<int>(state.range(0))));
    const std::string path = settingsPathIn(scratch, state);
    if (path.empty())
        return;
    LinkFactors factors;
    SetDefaultFactors(factors);
    WindowPosition position;
    for (auto _ : state) {
        factors.Range += 1.0; // a new file each time, as after a run
        if (!SaveLinkSettings(path, factors, position)) {
            state.SkipWithError("the save failed");
            return;
        }
    }
}

void keyByKeyWrites(benchmark::State& state) {
    const ScratchDir scratch(placeOf(static_cast<int>(state.range(0))));
    const std::string path = settingsPathIn(scratch, state);
    if (path.empty())
        return;
    LinkFactors factors;
    SetDefaultFactors(factors);
    for (auto _ : state) {
        std::filesystem::remove(path);
        for (const FactorRow& row : FactorTable)
            WriteProfileDouble(path, "UserInfo", row.key, factors.*row.field);
        WriteProfileInt(path, "MiscInfo", "ScreenPosX", 688);
        WriteProfileInt(path, "MiscInfo", "ScreenPosY", 171);
    }
}

// Argument 0: tmpfs, 1: the build disk.
BENCHMARK(saveLinkSettings)->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(keyByKeyWrites)->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
