#include "formats/CurveRegistry.h"
#include "formats/FormatterRegistry.h"

#include <gtest/gtest.h>

#include "tests/AllocationCounter.h"

TEST(FormatsAllocation, PrintScanAndCurvesAllocateNothing)
{
    const float range[2] = {-84.0f, 10.0f};
    const char* formatterNames[] = {
        "freq",      "time",  "gain",  "ratio",   "pan",        "int",     "float", "percent", "percent.1",
        "percent.2", "onoff", "yesno", "lowhigh", "fahrenheit", "celsius", "ms",    "ch_name", "gain/-inf/~"};
    Core::Formatter* formatters[std::size(formatterNames)];
    for (size_t i = 0; i < std::size(formatterNames); ++i)
    {
        formatters[i] = Core::findFormatter(formatterNames[i]);
        ASSERT_NE(formatters[i], nullptr) << formatterNames[i];
    }
    const char* curveNames[] = {"linear", "log", "zoom", "skew", "exp", "ratio", "bilinear", "fader"};
    std::unique_ptr<Core::Interpolator> curves[std::size(curveNames)];
    for (size_t i = 0; i < std::size(curveNames); ++i)
    {
        curves[i] = Core::createCurve(curveNames[i]);
        ASSERT_NE(curves[i], nullptr) << curveNames[i];
    }

    long before = AllocationCounter::count();
    char buffer[64];
    for (Core::Formatter* formatter : formatters)
    {
        for (float value : {-84.0f, -0.5f, 0.0f, 0.56f, 12.34f, 999.9f, 1000.0f})
        {
            Core::FormatterData data{buffer, sizeof buffer, value, range};
            formatter->print(data);
            formatter->scan(data);
        }
    }
    for (auto& curve : curves)
    {
        for (float x : {0.0f, 0.3f, 1.0f})
            curve->valueToNormalized(curve->normalizedToValue(x));
    }
    EXPECT_EQ(AllocationCounter::count(), before);
}
