#include "FormatTestSupport.h"

#include "formats/ChannelNameFormatter.h"
#include "formats/FloatFormatter.h"
#include "formats/FreqFormatter.h"
#include "formats/GainFormatter.h"
#include "formats/IntFormatter.h"
#include "formats/Milliseconds.h"
#include "formats/PanFormatter.h"
#include "formats/PercentFormatter.h"
#include "formats/RatioFormatter.h"
#include "formats/SpeakerFormatters.h"
#include "formats/TimeFormatter.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Vellaris;

TEST(FreqFormatter, SwitchesUnitsAndDecimalsAtHundredAndThousand)
{
    Dsp::FreqFormatter freq;
    EXPECT_EQ(printed(freq, 99.5f), "99.50 Hz");
    EXPECT_EQ(printed(freq, 100.0f), "100.0 Hz");
    EXPECT_EQ(printed(freq, 999.9f), "999.9 Hz");
    EXPECT_EQ(printed(freq, 1000.0f), "1.00 kHz");
    EXPECT_EQ(printed(freq, 12500.0f), "12.50 kHz");
}

TEST(FreqFormatter, ScansKiloAnywhereInTheText)
{
    Dsp::FreqFormatter freq;
    EXPECT_FLOAT_EQ(scanned(freq, "2.5k").value, 2500.0f);
    EXPECT_FLOAT_EQ(scanned(freq, "1.00 kHz").value, 1000.0f);
    EXPECT_FLOAT_EQ(scanned(freq, "440 Hz").value, 440.0f);
    // Printed texts read back.
    EXPECT_FLOAT_EQ(scanned(freq, printed(freq, 12500.0f).c_str()).value, 12500.0f);
}

TEST(FreqFormatter, RejectsTextWithoutNumberAndKeepsValue)
{
    Dsp::FreqFormatter freq;
    ScanResult result = scanned(freq, "kHz", 123.0f);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.value, 123.0f);
    EXPECT_FALSE(scanned(freq, nullptr).ok);
    EXPECT_FALSE(scanned(freq, "nan").ok);
}

TEST(TimeFormatter, PrintsMillisecondsBelowOneSecond)
{
    Dsp::TimeFormatter time;
    EXPECT_EQ(printed(time, 0.005f), "5.00 ms");
    EXPECT_EQ(printed(time, 0.05f), "50.0 ms");
    EXPECT_EQ(printed(time, 0.5f), "500 ms");
    EXPECT_EQ(printed(time, 1.5f), "1.50 s");
}

TEST(TimeFormatter, BareNumbersFromTenAreMilliseconds)
{
    Dsp::TimeFormatter time;
    EXPECT_FLOAT_EQ(scanned(time, "20").value, 0.02f);
    EXPECT_FLOAT_EQ(scanned(time, "5").value, 5.0f);
    EXPECT_FLOAT_EQ(scanned(time, "20 s").value, 20.0f);
    EXPECT_FLOAT_EQ(scanned(time, "20 ms").value, 0.02f);
    EXPECT_FLOAT_EQ(scanned(time, "5 ms").value, 0.005f);
    EXPECT_FALSE(scanned(time, "ms").ok);
}

TEST(TimeFormatter, PrintedTextsReadBack)
{
    Dsp::TimeFormatter time;
    for (float seconds : {0.005f, 0.05f, 0.5f, 1.5f, 12.0f})
        EXPECT_NEAR(scanned(time, printed(time, seconds).c_str()).value, seconds, 1e-6f) << seconds;
}

TEST(GainAndRatioFormatters, PrintAndReadPlainNumbers)
{
    Dsp::GainFormatter gain;
    Dsp::RatioFormatter ratio;
    EXPECT_EQ(printed(gain, -6.0f), "-6.00 dB");
    EXPECT_EQ(printed(gain, 0.126f), "0.13 dB");
    EXPECT_FLOAT_EQ(scanned(gain, "-6.00 dB").value, -6.0f);
    EXPECT_EQ(printed(ratio, 4.0f), "4.0:1");
    EXPECT_EQ(printed(ratio, 20.0f), "20.0:1");
    EXPECT_FLOAT_EQ(scanned(ratio, "4.0:1").value, 4.0f);
    EXPECT_FALSE(scanned(ratio, ":1").ok);
}

TEST(GainFormatter, MinusInfinityReadsAsInfiniteForTheCallerToClamp)
{
    Dsp::GainFormatter gain;
    ScanResult result = scanned(gain, "-inf");
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(std::isinf(result.value) && result.value < 0);
}

TEST(PanFormatter, ShowsSideAndDistanceFromCentre)
{
    Dsp::PanFormatter pan;
    EXPECT_EQ(printed(pan, 0.5f), "< C >");
    EXPECT_EQ(printed(pan, 0.25f), "L 25");
    EXPECT_EQ(printed(pan, 0.0f), "L 50");
    EXPECT_EQ(printed(pan, 1.0f), "R 50");
    EXPECT_EQ(printed(pan, 0.75f), "R 25");
    EXPECT_FALSE(scanned(pan, "L 25").ok);
}

TEST(TextPairFormatters, PrintFirstTextForAnyNonZeroValue)
{
    LK::Format::OnOff onOff;
    LK::Format::YesNo yesNo;
    LK::Format::LowHigh lowHigh;
    EXPECT_EQ(printed(onOff, 1.0f), "On");
    EXPECT_EQ(printed(onOff, -0.5f), "On");
    EXPECT_EQ(printed(onOff, 0.0f), "Off");
    EXPECT_EQ(printed(yesNo, 1.0f), "Yes");
    EXPECT_EQ(printed(yesNo, 0.0f), "No");
    EXPECT_EQ(printed(lowHigh, 1.0f), "High");
    EXPECT_EQ(printed(lowHigh, 0.0f), "Low");
}

TEST(TextPairFormatters, ScanTextsIgnoringCaseAndDigits)
{
    LK::Format::OnOff onOff;
    LK::Format::LowHigh lowHigh;
    EXPECT_EQ(scanned(onOff, "ON").value, 1.0f);
    EXPECT_EQ(scanned(onOff, "off").value, 0.0f);
    EXPECT_EQ(scanned(onOff, "1").value, 1.0f);
    EXPECT_EQ(scanned(onOff, "0").value, 0.0f);
    EXPECT_EQ(scanned(lowHigh, "high").value, 1.0f);
    EXPECT_EQ(scanned(lowHigh, "LOW").value, 0.0f);

    ScanResult result = scanned(onOff, "yes", 0.0f);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.value, 0.0f);
    EXPECT_FALSE(scanned(onOff, "On ").ok);
    EXPECT_FALSE(scanned(onOff, "2").ok);
    EXPECT_FALSE(scanned(onOff, "").ok);
}

TEST(Milliseconds, TenthsBelowOneAreTruncated)
{
    LK::Format::Milliseconds ms;
    EXPECT_EQ(printed(ms, 0.56f), "0.5 ms");
    EXPECT_EQ(printed(ms, 0.99f), "0.9 ms");
    EXPECT_EQ(printed(ms, 0.0f), "0.0 ms");
    EXPECT_EQ(printed(ms, 1.0f), "1.0 ms");
    EXPECT_EQ(printed(ms, 12.34f), "12.3 ms");
    EXPECT_EQ(printed(ms, 500.0f), "500.0 ms");
}

TEST(Milliseconds, NegativeValuesPrintAsPlainNumbers)
{
    LK::Format::Milliseconds ms;
    EXPECT_EQ(printed(ms, -0.5f), "-0.5 ms");
}

TEST(Milliseconds, PrintedTextsReadBackWithTheirFraction)
{
    LK::Format::Milliseconds ms;
    EXPECT_FLOAT_EQ(scanned(ms, "12.3 ms").value, 12.3f);
    EXPECT_FLOAT_EQ(scanned(ms, printed(ms, 0.56f).c_str()).value, 0.5f);
    EXPECT_FLOAT_EQ(scanned(ms, "250").value, 250.0f);
    EXPECT_FALSE(scanned(ms, "ms").ok);
}

TEST(ChannelNameFormatter, ZeroIsOffOthersAreTruncatedChannelNumbers)
{
    LK::Format::ChannelNameFormatter channel;
    EXPECT_EQ(printed(channel, 0.0f), "off");
    EXPECT_EQ(printed(channel, 3.0f), "Ch 3");
    EXPECT_EQ(printed(channel, 3.9f), "Ch 3");
    EXPECT_FALSE(scanned(channel, "Ch 3").ok);
}

TEST(IntFormatter, TruncatesTowardZeroAndAddsTheUnit)
{
    Dsp::IntFormatter plain;
    LK::Format::Celsius celsius;
    LK::Format::Fahrenheit fahrenheit;
    EXPECT_EQ(printed(plain, 17.9f), "17");
    EXPECT_EQ(printed(plain, -3.7f), "-3");
    EXPECT_EQ(printed(celsius, 17.0f), "17 C");
    EXPECT_EQ(printed(fahrenheit, 63.0f), "63 F");
    EXPECT_EQ(printed(plain, 1e12f), "2147483647");
    EXPECT_EQ(printed(plain, NAN), "0");
}

TEST(IntFormatter, ScansTheWholeNumberPart)
{
    Dsp::IntFormatter plain;
    LK::Format::Celsius celsius;
    EXPECT_EQ(scanned(plain, "42").value, 42.0f);
    EXPECT_EQ(scanned(plain, " -7").value, -7.0f);
    EXPECT_EQ(scanned(plain, "12.7").value, 12.0f);
    EXPECT_EQ(scanned(celsius, printed(celsius, 17.0f).c_str()).value, 17.0f);
    ScanResult result = scanned(plain, "C", 5.0f);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.value, 5.0f);
}

TEST(FloatFormatter, TwoDecimalsAndZeroOnFailedScan)
{
    Dsp::FloatFormatter plain;
    Dsp::FloatFormatter withUnit("volts", "V");
    EXPECT_EQ(printed(plain, 1.234f), "1.23");
    EXPECT_EQ(printed(withUnit, 1.5f), "1.50 V");
    EXPECT_FLOAT_EQ(scanned(plain, "3.5").value, 3.5f);

    ScanResult result = scanned(plain, "abc", 9.0f);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.value, 0.0f);
}

TEST(PercentFormatter, RoundsToTenthsOfAPercentThenPrintsTheDecimals)
{
    Dsp::PercentFormatter percent("percent", 0);
    Dsp::PercentFormatter percent1("percent.1", 1);
    Dsp::PercentFormatter percent2("percent.2", 2);
    EXPECT_EQ(printed(percent, 0.5f), "50 %");
    EXPECT_EQ(printed(percent1, 0.1234f), "12.3 %");
    EXPECT_EQ(printed(percent1, 0.12351f), "12.4 %");
    EXPECT_EQ(printed(percent1, -0.1234f), "-12.3 %");
    EXPECT_EQ(printed(percent1, -0.12351f), "-12.4 %");
    EXPECT_EQ(printed(percent2, 0.12345f), "12.30 %");
    EXPECT_EQ(printed(percent, 1.0f), "100 %");
}

TEST(PercentFormatter, ScansPercentIntoAFraction)
{
    Dsp::PercentFormatter percent1("percent.1", 1);
    EXPECT_FLOAT_EQ(scanned(percent1, "50").value, 0.5f);
    EXPECT_FLOAT_EQ(scanned(percent1, "12.3 %").value, 0.123f);
    EXPECT_FALSE(scanned(percent1, "%").ok);
}

TEST(FormatterOutput, IsCutToTheBufferCapacity)
{
    Dsp::GainFormatter gain;
    EXPECT_EQ(printed(gain, -6.0f, nullptr, 4), "-6.");
    EXPECT_EQ(printed(gain, -6.0f, nullptr, 1), "");
    EXPECT_EQ(printed(gain, -6.0f, nullptr, 0), "untouched");
    EXPECT_EQ(printed(gain, -6.0f, nullptr, -5), "untouched");
    LK::Format::OnOff onOff;
    EXPECT_EQ(printed(onOff, 0.0f, nullptr, 3), "Of");

    Core::FormatterData noBuffer;
    noBuffer.capacity = 32;
    noBuffer.value = 1.0f;
    gain.print(noBuffer); // must not write through a null pointer
    EXPECT_EQ(noBuffer.text, nullptr);
}
