// The receiver side of a budget: a 4-stage chain's system noise with its
// contributors and every figure of merit, and the DVB-S2 MODCOD choice
// (which must stay within 50 us).
#include "dvbs2.h"
#include "receiver_chain.h"
#include "sky_noise.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

ReceiverSystem fourStageSystem() {
    return {SkyNoiseTemperatureK(0.4),
            0.3,
            {{"LNA", 35.0, NoiseUnit::Kelvin, 30.0},
             {"cable", 4.0, NoiseUnit::Decibel, -4.0},
             {"downconverter", 10.0, NoiseUnit::Decibel, 20.0},
             {"demodulator", 15.0, NoiseUnit::Decibel, 0.0}}};
}

void BM_ReceiverFiguresOfMerit(benchmark::State& state) {
    ReceiverSystem system = fourStageSystem();
    const LinkEnds link{20.0, 1.0, 45.0, 205.6, 42.0, 36e6};
    int step = 0;
    for (auto _ : state) {
        // A new antenna temperature each time, as a sweep would give.
        system.antennaTemperatureK = 20.0 + (step++ % 64);
        const SystemNoise noise = EvaluateSystemNoise(system);
        const FiguresOfMerit merit = EvaluateFiguresOfMerit(link, noise.temperatureK);
        benchmark::DoNotOptimize(noise);
        benchmark::DoNotOptimize(merit);
    }
}
BENCHMARK(BM_ReceiverFiguresOfMerit);

void BM_Dvbs2AutoSelection(benchmark::State& state) {
    // Es/N0 from below the most robust MODCOD to above the strongest one.
    std::vector<double> esNo;
    for (int i = 0; i < 256; ++i) {
        esNo.push_back(-4.0 + i * 0.09);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        const auto chosen = SelectDvbs2Modcod(esNo[next], 1.0, 30e6);
        benchmark::DoNotOptimize(chosen);
        next = (next + 1) % esNo.size();
    }
}
BENCHMARK(BM_Dvbs2AutoSelection);

} // namespace
