// The band curves the response editor recomputes on every redraw: 16 bands (parametric and notch)
// at 512 points each, and the summed curve. Goal: the whole redraw's curves well under 100 µs.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/speaker/EqSpeaker.h"

namespace
{

EqBench::EqSpeaker& speaker()
{
    static EqBench::EqSpeaker instance;
    return instance;
}

void BM_BandCurves16x512(benchmark::State& state)
{
    Vellaris::EqCompositeComponent* eq = speaker().composite;
    const int points = int(state.range(0));
    std::vector<float> curve(size_t(points), 0.0f);
    eq->getBandCurve(curve.data(), 0, points); // the grid, once
    for (auto _ : state)
    {
        for (int band = 0; band < eq->getNumBands(); ++band)
            eq->getBandCurve(curve.data(), band, points);
        benchmark::DoNotOptimize(curve.data());
        benchmark::ClobberMemory();
    }
    state.counters["bands"] = eq->getNumBands();
}
BENCHMARK(BM_BandCurves16x512)->Arg(512)->Unit(benchmark::kMicrosecond);

void BM_SummedCurve512(benchmark::State& state)
{
    Vellaris::EqCompositeComponent* eq = speaker().composite;
    std::vector<float> curve(512);
    eq->getSummedCurve(curve.data(), 512);
    for (auto _ : state)
    {
        eq->getSummedCurve(curve.data(), 512);
        benchmark::DoNotOptimize(curve.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SummedCurve512)->Unit(benchmark::kMicrosecond);

} // namespace
