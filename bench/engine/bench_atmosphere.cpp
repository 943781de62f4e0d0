// One Earth-space evaluation with every part: the gases line by line, clouds,
// rain, scintillation and the total; with the station's air typed (V_t
// typed, so two more water-vapour sums) and from the reference atmosphere.
// The budget is 10 us for one evaluation.
#include "earth_space_atmosphere.h"

#include <benchmark/benchmark.h>

namespace {

EarthSpaceInput everyPart() {
    EarthSpaceInput in;
    in.freqGHz = 29.0;
    in.elevationDeg = 31.1;
    in.latitudeDeg = 51.5;
    in.stationHeightKm = 0.03;
    in.percentOfTime = 0.1;
    in.liquidWaterKgM2 = 1.7;
    in.rainRateMmH = 26.5;
    in.rainHeightKm = 2.45;
    in.tiltDeg = 45.0;
    in.antennaDiameterM = 1.2;
    in.antennaEfficiency = 0.65;
    return in;
}

void BM_EarthSpaceTypedAir(benchmark::State& state) {
    EarthSpaceInput in = everyPart();
    in.temperatureK = 283.6;
    in.pressureHpa = 1027.5;
    in.vapourDensityGm3 = 13.8;
    in.columnarVapourKgM2 = 33.7;
    in.wetRefractivity = 50.4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(EvaluateEarthSpace(in));
    }
}
BENCHMARK(BM_EarthSpaceTypedAir);

void BM_EarthSpaceReferenceAir(benchmark::State& state) {
    EarthSpaceInput in = everyPart();
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(EvaluateEarthSpace(in));
    }
}
BENCHMARK(BM_EarthSpaceReferenceAir);

} // namespace
