// The climate at a site from ITU-R's maps (../shared/itu/maps beside the
// repository, or $QUILLSTONE_ITU_MAPS; skipped when absent), with the map
// cache warm: 10^4 sites over Europe looked up in process, every climate
// input of an Earth-space design at 99.9 % (budget 50 ms for the 10^4).
#include "design.h"
#include "site_climate.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::filesystem::path mapsPath() {
    const char* env = std::getenv("QUILLSTONE_ITU_MAPS");
    return env != nullptr && *env != '\0' ? std::filesystem::path(env)
                                          : std::filesystem::path(QUILLSTONE_SHARED_MAPS);
}

void set(Design& design, ParamId id, double value) {
    design.set(id, ParamSetting{value, value, {}});
}

constexpr int kSites = 10000; // a 100 x 100 grid of places

void BM_SiteClimate10k(benchmark::State& state) {
    if (!std::filesystem::is_directory(mapsPath())) {
        state.SkipWithError("no ITU-R maps (set QUILLSTONE_ITU_MAPS)");
        return;
    }
    SetItuMapsFolder(mapsPath());
    Design design;
    set(design, ParamId::Path, static_cast<double>(PathKind::EarthSpace));
    set(design, ParamId::Freq, 20000.0);
    set(design, ParamId::Availability, 99.9);
    set(design, ParamId::SatelliteLongitude, 13.0);
    set(design, ParamId::Latitude, 45.0);
    set(design, ParamId::StationLongitude, 7.0);
    DesignPoint point = design.point();
    // The first pass opens the maps (and writes their cache when it is cold).
    if (LookUpClimate(point).fault) {
        state.SkipWithError("a map is missing");
        return;
    }
    std::size_t entries = 0;
    for (auto _ : state) {
        for (int i = 0; i < kSites; ++i) {
            point.values[IndexOf(ParamId::Latitude)] = 35.0 + 0.2 * (i / 100);
            point.values[IndexOf(ParamId::StationLongitude)] = -10.0 + 0.4 * (i % 100);
            const SiteClimate climate = LookUpClimate(point);
            entries += climate.entries.size();
        }
    }
    benchmark::DoNotOptimize(entries);
    state.counters["per_site_us"] =
        benchmark::Counter(static_cast<double>(kSites) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_SiteClimate10k)->Unit(benchmark::kMillisecond);

} // namespace
