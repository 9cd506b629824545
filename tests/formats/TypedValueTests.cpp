// Values typed into a field, read through each unit's formatter, and the step grids per unit.
#include "FormatTestSupport.h"

#include "formats/FormatterRegistry.h"
#include "formats/ValueGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Vellaris::Dsp;

namespace
{

// The typed reading of `text` through the registered formatter `name` (range 0 … 20000).
ScanResult typed(const char* name, const char* text)
{
    const Core::Formatter* formatter = Core::findFormatter(name);
    EXPECT_NE(formatter, nullptr) << name;
    if (!formatter)
        return {false, 0};
    static const float range[2] = {-84.0f, 20000.0f};
    char buffer[128] = "";
    std::string(text).copy(buffer, sizeof buffer - 1);
    Core::FormatterData data;
    data.text = buffer;
    data.capacity = sizeof buffer;
    data.range = range;
    data.value = -777.0f;
    const bool ok = formatter->scanTyped(data);
    return {ok, data.value};
}

} // namespace

TEST(TypedValues, EachUnitReadsItsOwnTexts)
{
    EXPECT_FLOAT_EQ(typed("freq", "2.5k").value, 2500.0f);
    EXPECT_FLOAT_EQ(typed("freq", "1.2 kHz").value, 1200.0f);
    EXPECT_FLOAT_EQ(typed("freq", " 250 Hz ").value, 250.0f);
    EXPECT_FLOAT_EQ(typed("freq", "2,5k").value, 2500.0f) << "a decimal comma";
    EXPECT_FLOAT_EQ(typed("gain", "-6").value, -6.0f);
    EXPECT_FLOAT_EQ(typed("gain", "+3.5 dB").value, 3.5f);
    EXPECT_FLOAT_EQ(typed("gain", "\xE2\x88\x92"
                                  "6 db")
                        .value,
                    -6.0f)
        << "the minus sign the skin prints";
    EXPECT_FLOAT_EQ(typed("time", "120 ms").value, 0.12f);
    EXPECT_FLOAT_EQ(typed("time", "0.5 s").value, 0.5f);
    EXPECT_FLOAT_EQ(typed("ms", "12.5 ms").value, 12.5f);
    EXPECT_FLOAT_EQ(typed("q", "1.4").value, 1.4f);
    EXPECT_FLOAT_EQ(typed("celsius", "17 \xC2\xB0"
                                     "C")
                        .value,
                    17.0f);
    EXPECT_FLOAT_EQ(typed("celsius", "17 C").value, 17.0f);
    EXPECT_FLOAT_EQ(typed("gain/-inf/~", "-inf").value, -84.0f) << "the end text reads as the end";
    EXPECT_FLOAT_EQ(typed("onoff", " on ").value, 1.0f);
    // What the formatters print reads back.
    for (const char* name : {"freq", "gain", "time", "ms", "q", "celsius", "percent"})
    {
        const float value = name == std::string("freq") ? 1250.0f : 0.25f;
        const std::string text = printed(*Core::findFormatter(name), value);
        EXPECT_TRUE(typed(name, text.c_str()).ok) << name << ": " << text;
    }
}

TEST(TypedValues, TextsThatDoNotReadWholeAreRefused)
{
    // scan reads as far as it can; a typed value must read whole, in the field's own unit.
    for (const char* text :
         {"abc", "", "  ", "6 dBx", "1.2.3", "--6", "inf", "nan", "0x10", "1e999", "6 Hz", "-", "."})
        EXPECT_FALSE(typed("gain", text).ok) << '"' << text << '"';
    EXPECT_FALSE(typed("freq", "120 ms").ok);
    EXPECT_FALSE(typed("ms", "1.5 s").ok) << "the delay reads milliseconds only";
    EXPECT_FALSE(typed("q", "1.4 dB").ok);
    EXPECT_FALSE(typed("onoff", "maybe").ok);
    EXPECT_FLOAT_EQ(typed("gain", "abc").value, -777.0f) << "a refused text leaves the value";
}

TEST(ValueGrids, GainStepsToTheNextHalfDecibelOrTenthWithShift)
{
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, 6.26, 1, StepSize::kNormal, -15, 15), 6.5);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, 6.26, -1, StepSize::kNormal, -15, 15), 6.0);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, 6.5, 1, StepSize::kNormal, -15, 15), 7.0);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, 6.26, 1, StepSize::kShift, -15, 15), 6.3);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, -0.2, 1, StepSize::kNormal, -15, 15), 0.0);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kGain, 14.8, 3, StepSize::kNormal, -15, 15), 15.0)
        << "held at the top";
    EXPECT_DOUBLE_EQ(snapToGrid(ValueGrid::kGain, 6.26, StepSize::kNormal, -15, 15), 6.5);
    EXPECT_DOUBLE_EQ(snapToGrid(ValueGrid::kGain, 6.26, StepSize::kShift, -15, 15), 6.3);
}

TEST(ValueGrids, DelayStepsATenthOfAMillisecondOrOneWithShift)
{
    double delay = 0;
    for (int i = 0; i < 7; ++i)
        delay = stepOnGrid(ValueGrid::kDelay, delay, 1, StepSize::kNormal, 0, 500);
    EXPECT_NEAR(delay, 0.7, 1e-12);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kDelay, 12.34, 1, StepSize::kShift, 0, 500), 13.0);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kDelay, 0.0, -1, StepSize::kNormal, 0, 500), 0.0);
    EXPECT_NEAR(stepOnGrid(ValueGrid::kTime, 0.123, 1, StepSize::kNormal, 0, 1), 0.13, 1e-12);
}

TEST(ValueGrids, FrequencyStepsATwelfthOctaveOnCleanValuesAndKeepsTheIsoThirds)
{
    const double up = stepOnGrid(ValueGrid::kFrequency, 257.2, 1, StepSize::kNormal, 20, 20000);
    EXPECT_DOUBLE_EQ(up, 265.0) << "an odd value steps onto the grid";
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kFrequency, 250, 4, StepSize::kNormal, 20, 20000), 315.0)
        << "four twelfths are the next ISO third";
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kFrequency, 250, -4, StepSize::kNormal, 20, 20000), 200.0);
    // Every third-octave band centre of the ISO series is on the grid, stepped to in either direction.
    const double thirds[] = {20,   25,   31.5, 40,   50,   63,    80,    100,   125,  160,  200,
                             250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                             3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};
    for (size_t i = 0; i + 1 < std::size(thirds); ++i)
    {
        EXPECT_NEAR(stepOnGrid(ValueGrid::kFrequency, thirds[i], 4, StepSize::kNormal, 20, 20000),
                    thirds[i + 1], 1e-9 * thirds[i + 1]);
        EXPECT_NEAR(snapToGrid(ValueGrid::kFrequency, thirds[i] * 1.01, StepSize::kNormal, 20, 20000),
                    thirds[i], 1e-9 * thirds[i]);
    }
    // A twelfth of an octave is the ratio of one step, within the rounding of the series.
    for (double f = 20; f < 19000;)
    {
        const double next = stepOnGrid(ValueGrid::kFrequency, f, 1, StepSize::kNormal, 20, 20000);
        EXPECT_NEAR(std::log2(next / f), 1.0 / 12, 0.02) << f; // R40 rounds to within 1.5 %
        f = next;
    }
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kFrequency, 19500, 2, StepSize::kNormal, 20, 20000), 20000.0);
}

TEST(ValueGrids, QStepsThroughItsListWithinTheRange)
{
    double q = 0.71;
    const double expected[] = {1.0, 1.4, 2.0, 2.8, 4.0, 4.0};
    for (double next : expected)
        EXPECT_DOUBLE_EQ(q = stepOnGrid(ValueGrid::kQ, q, 1, StepSize::kNormal, 0.1, 4.0), next);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kQ, 0.8, -1, StepSize::kNormal, 0.1, 4.0), 0.71);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kQ, 0.25, -2, StepSize::kNormal, 0.1, 4.0), 0.1)
        << "the range's end";
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kQ, 4.0, 1, StepSize::kNormal, 0.1, 16.0), 5.6);
    EXPECT_DOUBLE_EQ(snapToGrid(ValueGrid::kQ, 0.75, StepSize::kNormal, 0.1, 4.0), 0.71);
}

TEST(ValueGrids, EachUnitFindsItsGridByFormatterName)
{
    EXPECT_EQ(gridForFormatter("gain"), ValueGrid::kGain);
    EXPECT_EQ(gridForFormatter("gain/-inf/~"), ValueGrid::kGain);
    EXPECT_EQ(gridForFormatter("freq"), ValueGrid::kFrequency);
    EXPECT_EQ(gridForFormatter("ms"), ValueGrid::kDelay);
    EXPECT_EQ(gridForFormatter("time"), ValueGrid::kTime);
    EXPECT_EQ(gridForFormatter("q"), ValueGrid::kQ);
    EXPECT_EQ(gridForFormatter("gains"), ValueGrid::kNone);
    EXPECT_EQ(gridForFormatter(nullptr), ValueGrid::kNone);
    EXPECT_DOUBLE_EQ(stepOnGrid(ValueGrid::kNone, 3.3, 1, StepSize::kNormal, 0, 10), 3.3);
}

TEST(Temperatures, RoomdeskShowsTheDegreeSign)
{
    EXPECT_EQ(printed(*Core::findFormatter("celsius"), 17.0f), "17 \xC2\xB0"
                                                               "C");
    EXPECT_EQ(printed(*Core::findFormatter("fahrenheit"), 63.0f), "63 \xC2\xB0"
                                                                  "F");
    EXPECT_EQ(printed(*Core::findFormatter("time"), 0.12f), "120 ms") << "the limiter's release";
}
