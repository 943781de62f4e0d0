// Terrain profiles from 1" .hgt tiles, written once to a temporary folder:
// a 50 km path from Turin, opening the tiles each time (the folder listed,
// the tiles mapped; the page cache warm), and ten paths through tiles already
// open. The budget is 5 ms for the first.
#include "elevation_tiles.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSamples = 3601;

// Rolling hills, written as an .hgt tile's big-endian samples.
void writeTile(const std::filesystem::path& file, int lat, int lon) {
    std::vector<char> bytes(2 * static_cast<std::size_t>(kSamples) * kSamples);
    for (int row = 0; row < kSamples; ++row) {
        const double phi = lat + 1.0 - row / (kSamples - 1.0);
        for (int col = 0; col < kSamples; ++col) {
            const double lambda = lon + col / (kSamples - 1.0);
            const auto h = static_cast<std::int16_t>(
                600.0 + 400.0 * std::sin(phi * 40.0) * std::cos(lambda * 55.0) + (row ^ col) % 17);
            const std::size_t at = 2 * (static_cast<std::size_t>(row) * kSamples + col);
            bytes[at] = static_cast<char>(static_cast<std::uint16_t>(h) >> 8);
            bytes[at + 1] = static_cast<char>(h & 0xFF);
        }
    }
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

// The folder of the two tiles N45E007 and N45E008, removed at exit.
const std::filesystem::path& tileFolder() {
    static const std::filesystem::path folder = [] {
        char name[] = "/tmp/quillstone-bench-terrain-XXXXXX";
        const char* made = ::mkdtemp(name);
        const std::filesystem::path dir = made != nullptr ? made : "";
        writeTile(dir / "N45E007.hgt", 45, 7);
        writeTile(dir / "N45E008.hgt", 45, 8);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(tileFolder(), ec);
        });
        return dir;
    }();
    return folder;
}

constexpr GeoPoint kTurin{45.07, 7.69};
constexpr GeoPoint kFiftyKmAway{45.25, 8.28};

void BM_Profile50kmOpeningTiles(benchmark::State& state) {
    const std::filesystem::path& folder = tileFolder();
    std::size_t points = 0;
    for (auto _ : state) {
        ElevationTiles tiles(folder);
        std::string error;
        const std::optional<TerrainProfile> profile =
            ProfileFromTiles(tiles, kTurin, kFiftyKmAway, error);
        if (!profile) {
            state.SkipWithError(error.c_str());
            return;
        }
        points = profile->heightM.size();
        benchmark::DoNotOptimize(profile->heightM.data());
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_Profile50kmOpeningTiles)->Unit(benchmark::kMillisecond);

void BM_TenProfilesOpenTiles(benchmark::State& state) {
    ElevationTiles tiles(tileFolder());
    std::vector<GeoPoint> ends;
    for (int i = 0; i < 10; ++i) {
        ends.push_back({45.1 + 0.08 * i, 8.2 + 0.07 * (i % 4)});
    }
    for (auto _ : state) {
        for (const GeoPoint& end : ends) {
            std::string error;
            const std::optional<TerrainProfile> profile =
                ProfileFromTiles(tiles, kTurin, end, error);
            if (!profile) {
                state.SkipWithError(error.c_str());
                return;
            }
            benchmark::DoNotOptimize(profile->heightM.data());
        }
    }
}
BENCHMARK(BM_TenProfilesOpenTiles)->Unit(benchmark::kMillisecond);

} // namespace
