// A terrestrial hop of about 54 km over 1" elevation tiles: the whole
// evaluation (the profile sampled from the tiles, the clearance at both k,
// the least antenna heights, the diffraction and the outage), the same with
// the profile already read, and a sweep of one antenna height over 1,000
// points.
#include "budget_sheet.h"
#include "design.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kSide = 3601; // a 1" tile

// N45E007.hgt: rolling ground from 200 to 800 m with a ridge across the path.
std::filesystem::path tileFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / "quillstone-bench-hop";
        std::filesystem::create_directories(dir);
        const std::filesystem::path file = dir / "N45E007.hgt";
        if (!std::filesystem::exists(file) ||
            std::filesystem::file_size(file) != std::uintmax_t{kSide} * kSide * 2) {
            std::string bytes(static_cast<std::size_t>(kSide) * kSide * 2, '\0');
            for (int row = 0; row < kSide; ++row) {
                for (int col = 0; col < kSide; ++col) {
                    const double x = col / double(kSide - 1);
                    const double y = row / double(kSide - 1);
                    double h = 500.0 + 300.0 * std::sin(9.0 * x) * std::cos(7.0 * y);
                    if (std::abs(x + y - 1.0) < 0.01) {
                        h += 250.0;
                    }
                    const auto v = static_cast<std::uint16_t>(std::lround(h));
                    const std::size_t at = (static_cast<std::size_t>(row) * kSide + col) * 2;
                    bytes[at] = static_cast<char>(v >> 8);
                    bytes[at + 1] = static_cast<char>(v & 0xff);
                }
            }
            std::ofstream(file, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
        return dir;
    }();
    return folder;
}

void set(Design& design, ParamId id, double value) {
    design.set(id, ParamSetting{value, value, {}});
}

Design hop() {
    Design design;
    set(design, ParamId::Freq, 18000.0);
    set(design, ParamId::TxAntGain, 40.0);
    set(design, ParamId::RxAntGain, 40.0);
    set(design, ParamId::TxHeight, 40.0);
    set(design, ParamId::RxHeight, 40.0);
    set(design, ParamId::TxLatitude, 45.1);
    set(design, ParamId::TxLongitude, 7.1);
    set(design, ParamId::RxLatitude, 45.5);
    set(design, ParamId::RxLongitude, 7.5);
    set(design, ParamId::RefractivityGradient, -300.0);
    set(design, ParamId::RainRate, 42.0);
    design.set(ParamId::Terrain, ParamSetting{1.0, 1.0, {}, {tileFolder().string()}});
    return design;
}

// Each evaluation from a site a little elsewhere: its profile is sampled anew.
void BM_HopFromTiles(benchmark::State& state) {
    Design design = hop();
    double nudge = 0.0;
    for (auto _ : state) {
        nudge += 1e-7;
        set(design, ParamId::TxLatitude, 45.1 + nudge);
        const DesignPoint point = design.point();
        const BudgetSheet sheet = BudgetModel(point).evaluate(point);
        benchmark::DoNotOptimize(sheet.outage);
    }
    state.counters["points"] = static_cast<double>(
        BudgetModel(design.point()).evaluate(design.point()).terrain->heights.median.points.size());
}
BENCHMARK(BM_HopFromTiles)->Unit(benchmark::kMillisecond);

void BM_HopProfileKept(benchmark::State& state) {
    const DesignPoint point = hop().point();
    const BudgetModel model(point);
    for (auto _ : state) {
        const BudgetSheet sheet = model.evaluate(point);
        benchmark::DoNotOptimize(sheet.outage);
    }
}
BENCHMARK(BM_HopProfileKept)->Unit(benchmark::kMillisecond);

void BM_HopAntennaHeightSweep(benchmark::State& state) {
    DesignPoint point = hop().point();
    const BudgetModel model(point);
    BudgetSheet sheet;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            point.values[IndexOf(ParamId::TxHeight)] = 10.0 + 0.1 * i;
            model.evaluate(point, sheet);
            benchmark::DoNotOptimize(sheet.outage);
        }
    }
}
BENCHMARK(BM_HopAntennaHeightSweep)->Unit(benchmark::kMillisecond);

} // namespace
