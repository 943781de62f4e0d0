// One full recalculation with everything the display writes: nine results,
// 24 label texts and 14 slider positions.
#include "link_display.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

LinkFactors defaultFactors() {
    LinkFactors f;
    SetDefaultFactors(f);
    return f;
}

// Slider-reachable values, typed values beyond the sliders, and the
// sentinel and scientific paths.
std::vector<LinkFactors> variedFactors() {
    std::vector<LinkFactors> sets;
    for (int i = 0; i < 64; ++i) {
        LinkFactors f = defaultFactors();
        f.Range = 1.0 + i * 3.1;
        f.Freq = 200.0 + i * 51.7;
        f.TxPower = 0.1 + i * 0.3;
        f.BitRate = 0.1 + i * 460.3;
        f.MinEbNoDesired = 1.0 + (i % 50) * 0.5;
        f.LnaNoiseFigure = (i % 30) * 0.7;
        f.LnaGain = (i % 40) * 1.1;
        f.RxNoiseFigure = 0.1 + (i % 30) * 0.9;
        f.TxAntGain = -50.0 + i * 1.55;
        f.RxAntGain = (i % 50) * 0.9;
        if (i % 16 == 5) {
            f.Range = 0.0; // sentinel results
        }
        if (i % 16 == 9) {
            f.BitRate = 500000000.0; // beyond the slider
        }
        sets.push_back(f);
    }
    return sets;
}

void recalculateAndShow(const LinkFactors& factors, LinkResults& results, LinkDisplay& display) {
    CalculateLink(factors, results);
    MakeLinkDisplay(factors, results, display);
    benchmark::DoNotOptimize(display);
}

void BM_DefaultFactors(benchmark::State& state) {
    const LinkFactors factors = defaultFactors();
    LinkResults results{};
    LinkDisplay display;
    for (auto _ : state) {
        recalculateAndShow(factors, results, display);
    }
}
BENCHMARK(BM_DefaultFactors);

void BM_VariedFactors(benchmark::State& state) {
    const std::vector<LinkFactors> sets = variedFactors();
    LinkResults results{};
    LinkDisplay display;
    std::size_t next = 0;
    for (auto _ : state) {
        recalculateAndShow(sets[next], results, display);
        next = (next + 1) % sets.size();
    }
}
BENCHMARK(BM_VariedFactors);

} // namespace
