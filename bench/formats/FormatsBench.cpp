// Cost per call of printing, scanning and curve evaluation, which run on every parameter change
// and meter update.
#include "formats/CurveRegistry.h"
#include "formats/FaderCurve.h"
#include "formats/FormatterRegistry.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

const float kVolumeRange[2] = {-84.0f, 10.0f};

void printWith(benchmark::State& state, const char* name, float first, float step)
{
    Core::Formatter* formatter = Core::findFormatter(name);
    if (!formatter)
    {
        state.SkipWithError("formatter not registered");
        return;
    }
    char buffer[64];
    Core::FormatterData data;
    data.text = buffer;
    data.capacity = sizeof buffer;
    data.range = kVolumeRange;
    float value = first;
    for (auto _ : state)
    {
        data.value = value;
        formatter->print(data);
        benchmark::DoNotOptimize(buffer);
        value += step;
        if (value > 9000.0f)
            value = first;
    }
}

void scanWith(benchmark::State& state, const char* name, const char* text)
{
    Core::Formatter* formatter = Core::findFormatter(name);
    if (!formatter)
    {
        state.SkipWithError("formatter not registered");
        return;
    }
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%s", text);
    Core::FormatterData data;
    data.text = buffer;
    data.capacity = sizeof buffer;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(formatter->scan(data));
        benchmark::DoNotOptimize(data.value);
    }
}

void curveBothWays(benchmark::State& state, const char* name, float min, float max, float mid)
{
    std::unique_ptr<Core::Interpolator> curve = Core::createCurve(name);
    if (!curve)
    {
        state.SkipWithError("curve not registered");
        return;
    }
    curve->setRange(min, max, mid);
    float x = 0.0f;
    for (auto _ : state)
    {
        float value = curve->normalizedToValue(x);
        benchmark::DoNotOptimize(curve->valueToNormalized(value));
        x += 0.001f;
        if (x > 1.0f)
            x = 0.0f;
    }
}

void BM_PrintGain(benchmark::State& state)
{
    printWith(state, "gain", -84.0f, 0.01f);
}
void BM_PrintFreq(benchmark::State& state)
{
    printWith(state, "freq", 20.0f, 1.0f);
}
void BM_PrintPercent1(benchmark::State& state)
{
    printWith(state, "percent.1", 0.0f, 0.0001f);
}
void BM_PrintOnOff(benchmark::State& state)
{
    printWith(state, "onoff", 0.0f, 0.5f);
}
void BM_PrintRangeText(benchmark::State& state)
{
    printWith(state, "gain/-inf/~", -84.0f, 0.01f);
}
void BM_ScanGain(benchmark::State& state)
{
    scanWith(state, "gain", "-6.00 dB");
}
void BM_ScanTime(benchmark::State& state)
{
    scanWith(state, "time", "20 ms");
}
void BM_ScanOnOff(benchmark::State& state)
{
    scanWith(state, "onoff", "off");
}
void BM_CurveLinear(benchmark::State& state)
{
    curveBothWays(state, "linear", -12.0f, 0.0f, 1.0f);
}
void BM_CurveLog(benchmark::State& state)
{
    curveBothWays(state, "log", 20.0f, 20000.0f, 1.0f);
}
void BM_CurveSkew(benchmark::State& state)
{
    curveBothWays(state, "skew", -84.0f, 10.0f, -9.0f);
}
void BM_CurveExp(benchmark::State& state)
{
    curveBothWays(state, "exp", 0.0f, 1.0f, 0.1f);
}
void BM_CurveFader(benchmark::State& state)
{
    curveBothWays(state, "fader", -84.0f, 10.0f, 1.0f);
}

void BM_FaderCurveLaw(benchmark::State& state)
{
    double position = 0.0;
    for (auto _ : state)
    {
        double gain = Vellaris::Dsp::FaderCurve::positionToGain(position);
        benchmark::DoNotOptimize(Vellaris::Dsp::FaderCurve::gainToPosition(gain));
        position += 0.001;
        if (position > 1.0)
            position = 0.0;
    }
}

void BM_FindFormatter(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Core::findFormatter("ch_name"));
}

} // namespace

BENCHMARK(BM_PrintGain);
BENCHMARK(BM_PrintFreq);
BENCHMARK(BM_PrintPercent1);
BENCHMARK(BM_PrintOnOff);
BENCHMARK(BM_PrintRangeText);
BENCHMARK(BM_ScanGain);
BENCHMARK(BM_ScanTime);
BENCHMARK(BM_ScanOnOff);
BENCHMARK(BM_CurveLinear);
BENCHMARK(BM_CurveLog);
BENCHMARK(BM_CurveSkew);
BENCHMARK(BM_CurveExp);
BENCHMARK(BM_CurveFader);
BENCHMARK(BM_FaderCurveLaw);
BENCHMARK(BM_FindFormatter);
